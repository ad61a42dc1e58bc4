#pragma once
// A writer process killed in the middle of its work: the child runs `write` until it is killed
// (SIGKILL), reporting one line on the pipe each time a write has returned; the test kills it once
// it has reported at least `reportedBeforeKill` and gets every line it reported, those still in the
// pipe included. The child never returns: a failure in it ends it with exit code 2.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <set>
#include <string>

namespace lumora::testing {

// What the child calls to report a write that returned.
using ReportWrite = std::function<void(const std::string& line)>;

inline std::set<std::string> killInTheMiddleOfWrites(size_t reportedBeforeKill,
                                                     const std::function<void(const ReportWrite&)>& write) {
    int pipeEnds[2];
    EXPECT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    EXPECT_NE(child, -1);
    if (child == 0) {
        close(pipeEnds[0]);
        try {
            write([&](const std::string& line) {
                const std::string text = line + "\n";
                if (::write(pipeEnds[1], text.data(), text.size()) != static_cast<ssize_t>(text.size())) _exit(3);
            });
        } catch (...) {
        }
        _exit(2);
    }
    close(pipeEnds[1]);
    FILE* reported = fdopen(pipeEnds[0], "r");
    std::set<std::string> lines;
    char line[256];
    while (lines.size() < reportedBeforeKill && fgets(line, sizeof line, reported))
        lines.insert(std::string(line, strcspn(line, "\n")));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    // Writes that returned between the last read and the kill are in the pipe still.
    while (fgets(line, sizeof line, reported)) lines.insert(std::string(line, strcspn(line, "\n")));
    fclose(reported);
    EXPECT_TRUE(WIFSIGNALED(status)) << "the writing process ended by itself: " << WEXITSTATUS(status);
    EXPECT_GE(lines.size(), reportedBeforeKill);
    return lines;
}

}  // namespace lumora::testing
