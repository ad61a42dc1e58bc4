#pragma once
// Runs the built lumora program as a separate process, the way a person or a script does, and
// collects its exit status and output.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace lumora::tests {

struct ProcessResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string readWhole(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs $LUMORA_BUILD_DIR/bin/lumora with args; input is its standard input. Output goes through
// files in `scratch`, so a large transcript cannot fill a pipe and stall the test. The program
// runs in `workingFolder` when one is given.
inline ProcessResult runLumora(const std::vector<std::string>& args, const std::filesystem::path& scratch,
                               const std::string& input = {}, const std::filesystem::path& workingFolder = {}) {
    const char* buildDir = std::getenv("LUMORA_BUILD_DIR");
    std::string program = std::filesystem::absolute(std::string(buildDir ? buildDir : ".") + "/bin/lumora").string();
    auto in = scratch / "stdin", out = scratch / "stdout", err = scratch / "stderr";
    std::ofstream(in, std::ios::binary) << input;

    pid_t child = fork();
    if (child == 0) {
        dup2(open(in.c_str(), O_RDONLY), 0);
        dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        if (!workingFolder.empty() && chdir(workingFolder.c_str()) != 0) _exit(126);
        std::vector<char*> argv{program.data()};
        std::vector<std::string> copies(args);
        for (auto& arg : copies) argv.push_back(arg.data());
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    ProcessResult result;
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) result.status = WEXITSTATUS(status);
    result.out = readWhole(out);
    result.err = readWhole(err);
    return result;
}

}  // namespace lumora::tests
