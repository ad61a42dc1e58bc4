// A helper kept running and spoken to in lines: answers come back in order, a silent helper
// times out, one that died fails the write without ending the host, and ending the helper ends
// what it started.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>

#include "Platform/Desktop/piped_child.hpp"

namespace lumora::desktop::process {
namespace {

using namespace std::chrono_literals;

TEST(PipedChild, AnswersLineByLineAndEndsWhenItsInputCloses) {
    auto child = PipedChild::start({"sh", "-c", "while read line; do echo \"got $line\"; done"});
    ASSERT_TRUE(child);
    ASSERT_TRUE(child->writeLine("one"));
    ASSERT_TRUE(child->writeLine("two"));
    EXPECT_EQ(child->readLine(5s), "got one");
    EXPECT_EQ(child->readLine(5s), "got two");
    child->stop(5s);
}

TEST(PipedChild, ASilentHelperTimesOutAndStoppingEndsItsWholeGroup) {
    auto child = PipedChild::start({"sh", "-c", "sleep 30 & sleep 30; echo late"});
    ASSERT_TRUE(child);
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(child->readLine(200ms), std::nullopt);
    child->stop(0ms);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 10s);
}

TEST(PipedChild, WritingToAHelperThatEndedFailsAndTheHostLivesOn) {
    auto child = PipedChild::start({"true"});
    ASSERT_TRUE(child);
    EXPECT_EQ(child->readLine(5s), std::nullopt);  // its output ended with it
    bool failed = false;
    for (int attempt = 0; attempt < 100 && !failed; ++attempt) failed = !child->writeLine(std::string(4096, 'x'));
    EXPECT_TRUE(failed);
    sigset_t pending;
    sigpending(&pending);
    EXPECT_FALSE(sigismember(&pending, SIGPIPE));
}

// A browser's debugging pipe: NUL-ended records on descriptors 3 and 4, long enough to fill the
// pipe both ways, while the program's standard streams stay shut.
TEST(PipedChild, LongRecordsTravelOverDescriptorsThreeAndFour) {
    const char* echo =
        "import os, sys\n"
        "print('stray', flush=True)\n"
        "data = b''\n"
        "while not data.endswith(b'\\0'):\n"
        "    data += os.read(3, 1 << 16)\n"
        "view = memoryview(data.upper())\n"
        "while view:\n"
        "    view = view[os.write(4, view):]\n";
    auto child = PipedChild::start({"python3", "-c", echo}, Channel::DescriptorsThreeAndFour);
    ASSERT_TRUE(child);
    const std::string record(3 << 20, 'a');
    ASSERT_TRUE(child->writeRecord(record, '\0', std::chrono::steady_clock::now() + 20s));
    const auto answer = child->readRecord(std::chrono::steady_clock::now() + 20s, '\0', 4 << 20);
    ASSERT_TRUE(answer);
    EXPECT_EQ(*answer, std::string(3 << 20, 'A'));
    child->stop(5s);
}

TEST(PipedChild, ARecordBeyondItsLimitOrItsDeadlineIsRefused) {
    auto child = PipedChild::start({"python3", "-c", "import os, time; os.write(4, b'x' * 200000); time.sleep(30)"},
                                   Channel::DescriptorsThreeAndFour);
    ASSERT_TRUE(child);
    EXPECT_EQ(child->readRecord(std::chrono::steady_clock::now() + 10s, '\0', 100000), std::nullopt);
    // Nobody reads its descriptor 3: a record larger than the pipe holds gives up at the deadline.
    const auto before = std::chrono::steady_clock::now();
    EXPECT_FALSE(child->writeRecord(std::string(1 << 20, 'x'), '\0', before + 300ms));
    EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);
    EXPECT_TRUE(child->running());
    child->stop(0ms);
}

TEST(PipedChild, AProgramThatIsNotInstalledDoesNotStart) {
    EXPECT_FALSE(PipedChild::start({"lumora-no-such-program"}));
}

}  // namespace
}  // namespace lumora::desktop::process
