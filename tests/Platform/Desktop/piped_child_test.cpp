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

TEST(PipedChild, AProgramThatIsNotInstalledDoesNotStart) {
    EXPECT_FALSE(PipedChild::start({"lumora-no-such-program"}));
}

}  // namespace
}  // namespace lumora::desktop::process
