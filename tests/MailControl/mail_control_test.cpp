// The mail-campaign control answers every member with its own result: its version, the
// campaign's own texts for what it cannot run, and errors for the builders without a trap.

#include <gtest/gtest.h>

#include "tests/Control/support/deliverable_fixture.hpp"

namespace lumora {
namespace {

class MailControl : public testing::DeliverableTest {
protected:
    void SetUp() override {
        DeliverableTest::SetUp();
        mail = create("LumoraMailContl.LumoraMailCtrl");
    }
    std::string run(const std::string& medium) {
        return mail.call("RunCampaign", Variant(), medium, "Subject", "<html>body</html>", "letter.dotx", "")
            .toString();
    }
    Object mail;
};

TEST_F(MailControl, AnUnknownMediumIsReturnedWithoutTouchingAnyApplication) {
    EXPECT_EQ(run("3"), "Unknown Campaign Medium");
    EXPECT_EQ(run(""), "Unknown Campaign Medium");
    EXPECT_TRUE(boxes().empty());
}

TEST_F(MailControl, CampaignFailuresComeBackAsTextsWithTheirStagePrefix) {
    // No recipient document at all.
    EXPECT_EQ(run("0"), "Error Retrieving email addresses: Type mismatch");
    EXPECT_EQ(run("1"), "Error Retrieving email addresses: Type mismatch");
    EXPECT_EQ(run("2"), "Error reading supplied XML: Type mismatch");
}

TEST_F(MailControl, BuildersWithoutATrapLetTheirErrorReachTheCaller) {
    for (const char* member : {"BuildAddressList", "BuildFaxAddressList"}) {
        try {
            mail.call(member, Variant());
            ADD_FAILURE() << member << " must fail";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), 13) << member;  // no document to read
        }
    }
}

}  // namespace
}  // namespace lumora
