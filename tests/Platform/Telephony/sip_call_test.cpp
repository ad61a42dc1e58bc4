// Real calls on a SIP line: baresip places them, sipp answers as the far end on loopback.
// Without either program the tests say which is missing and are skipped.

#include <gtest/gtest.h>
#include <fcntl.h>

#include "sip_far_end.hpp"
#include "Automation/cancellation.hpp"
#include "tests/support/process_tree.hpp"
#include "tests/support/silent_sip_port.hpp"
#include "telephony_fixture.hpp"

namespace lumora {
namespace {

class SipCalls : public testing::TelephonyTest {
protected:
    void SetUp() override {
        for (const char* program : {"baresip", "sipp"})
            if (!testing::onPath(program))
                GTEST_SKIP() << program << " is not installed (scripts/install-deps.sh --with-tests installs it)";
        TelephonyTest::SetUp();
    }

    void addSipLine(int port, int waitSeconds = 20) {
        telephony::Line line = telephony::Line::sip("Office SIP", "sip:alice@127.0.0.1:" + std::to_string(port));
        line.connectWait = std::chrono::seconds(waitSeconds);
        telephony::addLine(dataFolder(), line);
    }
};

TEST_F(SipCalls, TheFarEndReceivesTheInviteAndHangingUpSendsTheBye) {
    testing::SippFarEnd farEnd(dataFolder());
    addSipLine(farEnd.port());
    makeCall("number=0123 456;tapidevice=office;object=LumoraGenTAPI30.Dialer");
    EXPECT_TRUE(boxes().empty()) << boxes().back().request.text;
    // Connect returns once the far end rings; hanging up then would cancel the INVITE. The
    // call is ended with a BYE once the far end has answered.
    ASSERT_TRUE(farEnd.answered(std::chrono::seconds(5)));
    control.call("HangupCall");
    ASSERT_TRUE(farEnd.ended(std::chrono::seconds(10)));
    const auto lines = farEnd.firstLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "INVITE sip:0123456@127.0.0.1:" + std::to_string(farEnd.port()) + " SIP/2.0");
    ASSERT_GE(lines.size(), 4u);
    EXPECT_TRUE(lines[lines.size() - 2].starts_with("BYE sip:"));
    EXPECT_EQ(lines.back(), "SIP/2.0 200 OK");
}

TEST_F(SipCalls, AnAccountThatDoesNotAnswerIsToldAfterTheLinesWait) {
    tests::SilentSipPort farEnd;
    addSipLine(farEnd.port(), 2);
    const auto started = std::chrono::steady_clock::now();
    makeCall("number=0123;tapidevice=office;object=LumoraGenTAPI30.Dialer");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    expectLastBox("An error occured whilst connecting call: The line did not answer within 2 seconds", "Error");
    ASSERT_TRUE(farEnd.receivedInvite(std::chrono::seconds(0)));
    EXPECT_TRUE(farEnd.invite().starts_with("INVITE sip:0123@"));
    control.call("HangupCall");  // the unanswered attempt is no call to end
    EXPECT_EQ(boxes().size(), 1u);
}

TEST_F(SipCalls, ACallCancelledWhileItsUserAgentStartsLeavesNeitherTheAgentNorItsFolder) {
    // The agent's private folder is made in the temporary folder this test gives it.
    const std::filesystem::path temp = dataFolder() / "tmp";
    std::filesystem::create_directories(temp);
    ::setenv("TMPDIR", temp.c_str(), 1);
    tests::SilentSipPort farEnd;
    addSipLine(farEnd.port(), 60);
    CancelFlag flag;
    flag.cancel();
    {
        ScopedCancelFlag cancelled(flag);
        makeCall("number=0123;tapidevice=office;object=LumoraGenTAPI30.Dialer");
    }
    ::unsetenv("TMPDIR");
    ASSERT_FALSE(boxes().empty());
    EXPECT_NE(boxes().back().request.text.find("User interrupt occurred"), std::string::npos)
        << boxes().back().request.text;
    EXPECT_TRUE(std::filesystem::is_empty(temp));
    EXPECT_FALSE(tests::anyNamed(tests::descendantsOf(::getpid()), "baresip"));
}

}  // namespace
}  // namespace lumora
