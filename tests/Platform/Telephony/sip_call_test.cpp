// Real calls on a SIP line: baresip places them, sipp answers as the far end on loopback.
// Without either program the tests say which is missing and are skipped.

#include <gtest/gtest.h>
#include <fcntl.h>

#include "sip_far_end.hpp"
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
    // A port that takes the INVITE and never answers it.
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    addSipLine(ntohs(address.sin_port), 2);
    const auto started = std::chrono::steady_clock::now();
    makeCall("number=0123;tapidevice=office;object=LumoraGenTAPI30.Dialer");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    expectLastBox("An error occured whilst connecting call: The line did not answer within 2 seconds", "Error");
    char invite[64] = {};
    EXPECT_GT(::recv(fd, invite, sizeof invite - 1, MSG_DONTWAIT), 0);
    EXPECT_TRUE(std::string(invite).starts_with("INVITE sip:0123@"));
    ::close(fd);
    control.call("HangupCall");  // the unanswered attempt is no call to end
    EXPECT_EQ(boxes().size(), 1u);
}

}  // namespace
}  // namespace lumora
