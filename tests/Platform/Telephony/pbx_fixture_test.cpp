// The PBX the telephony tests call through: a real kamailio on loopback, with sipp as its users.
// Without kamailio or sipp the tests say which is missing and are skipped.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "tests/support/sip_pbx.hpp"
#include "tests/support/sipp_agents.hpp"

namespace lumora::testing {
namespace {

const SipUser kAnn{"ann", "annpass"};
const SipUser kBob{"bob", "bobpass"};

class PbxFixture : public ::testing::Test {
protected:
    void SetUp() override {
        if (!SipPbx::available()) GTEST_SKIP() << "kamailio is not installed (scripts/install-deps.sh --with-tests)";
        if (!onPath("sipp")) GTEST_SKIP() << "sipp is not installed (scripts/install-deps.sh --with-tests)";
        std::string pattern = (std::filesystem::temp_directory_path() / "lumora-pbx-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
    }

    std::filesystem::path folder;
};

TEST_F(PbxFixture, RegistersTheRightPasswordAndRefusesAWrongOneOrAnUnknownUser) {
    SipPbx pbx({kAnn, kBob});
    const SippRegistration accepted = registerWithSipp(pbx, kAnn, folder);
    EXPECT_EQ(accepted.status, 200) << pbx.log();
    ASSERT_EQ(accepted.firstLines.size(), 4u);
    EXPECT_EQ(accepted.firstLines[1], "SIP/2.0 401 Unauthorized");

    EXPECT_EQ(registerWithSipp(pbx, {"ann", "bobpass"}, folder).status, 403);
    EXPECT_EQ(registerWithSipp(pbx, {"carol", "carolpass"}, folder).status, 403);
}

TEST_F(PbxFixture, AnnCallsBobsPhoneThroughThePbxAndTheCallEndsWithBye) {
    SipPbx pbx({kAnn, kBob});
    SippAnsweringPhone phone(pbx, kBob, folder);
    SippCaller caller(pbx, kAnn, "bob", folder, std::chrono::milliseconds(500));
    ASSERT_TRUE(caller.ended(std::chrono::seconds(20)));
    EXPECT_EQ(caller.exitCode(), 0) << pbx.log();
    ASSERT_TRUE(phone.ended(std::chrono::seconds(10)));
    EXPECT_EQ(phone.exitCode(), 0);

    // The PBX challenged the INVITE, then proxied it to the phone's registered contact; the
    // caller's ACK and BYE came through the PBX along its Record-Route.
    const auto callerLines = caller.firstLines();
    EXPECT_NE(std::find(callerLines.begin(), callerLines.end(), "SIP/2.0 407 Proxy Authentication Required"),
              callerLines.end());
    const std::string contact = "sip:bob@127.0.0.1:" + std::to_string(phone.port());
    const std::vector<std::string> expected{"INVITE " + contact + " SIP/2.0", "SIP/2.0 180 Ringing", "SIP/2.0 200 OK",
                                            "ACK " + contact + ";transport=UDP SIP/2.0",
                                            "BYE " + contact + ";transport=UDP SIP/2.0", "SIP/2.0 200 OK"};
    EXPECT_EQ(phone.firstLines(), expected);
}

TEST_F(PbxFixture, CallsToAUserWithoutAPhoneOrToAStrangerAreRefused) {
    SipPbx pbx({kAnn, kBob});
    SippCaller toBob(pbx, kAnn, "bob", folder);
    ASSERT_TRUE(toBob.ended(std::chrono::seconds(20)));
    EXPECT_EQ(toBob.lastStatus(), 480);
    EXPECT_EQ(toBob.exitCode(), 1);

    SippCaller toStranger(pbx, kAnn, "carol", folder);
    ASSERT_TRUE(toStranger.ended(std::chrono::seconds(20)));
    EXPECT_EQ(toStranger.lastStatus(), 404);
}

TEST_F(PbxFixture, AStoppedPbxNoLongerHoldsItsPort) {
    SipPbx pbx({kAnn});
    ASSERT_TRUE(udpPortTaken(pbx.port()));
    const auto stopping = std::chrono::steady_clock::now();
    pbx.stop();
    // SIGTERM is enough: the SIGKILL that follows after 5 s is for a kamailio that hangs.
    EXPECT_LT(std::chrono::steady_clock::now() - stopping, std::chrono::seconds(4));
    EXPECT_FALSE(pbx.running());
    // Its worker processes shared the socket: a free port means none of them is left.
    EXPECT_FALSE(udpPortTaken(pbx.port()));
}

}  // namespace
}  // namespace lumora::testing
