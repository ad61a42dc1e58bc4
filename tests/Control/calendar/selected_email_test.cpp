// The e-mails selected in the PIM's explorer, captured for the CRM's add button through the
// control on a real store: identities and text records, the ten-item limit, an empty selection,
// items that are not e-mails, and Outlook absent, stopped or unreadable.

#include <gtest/gtest.h>

#include <fstream>

#include "Automation/vb/strings.hpp"
#include "tests/Control/support/outlook_fixture.hpp"

namespace lumora {
namespace {

constexpr int32_t kInbox = 6;
constexpr int32_t kContacts = 10;
const std::string kFace = "\xF0\x9F\x98\x80";  // a character outside the Basic Multilingual Plane
const std::string kNotInstalled =
    "Unable to add the e-mail as Microsoft Outlook does not appear to be installed. Please check that Microsoft "
    "Outlook is installed on this machine and configured for your use.";

class SelectedEmailTest : public testing::OutlookControlTest {
protected:
    Object inbox() { return defaultFolder(kInbox); }
    std::string savedMail(const std::string& subject, const std::string& sender = "Bo Lee",
                          const std::string& to = "ann@example.com") {
        return savedItem(inbox(), {{"Subject", Variant(subject)}, {"SenderName", Variant(sender)}, {"To", Variant(to)}})
            .get("EntryID")
            .toString();
    }
    void select(const std::vector<std::string>& entryIds) {
        std::vector<Variant> ids(entryIds.begin(), entryIds.end());
        admin().invoke("Select", MemberKind::Method, ids);
    }
    std::string storeId() { return inbox().get("StoreID").toString(); }
};

TEST_F(SelectedEmailTest, SelectedMailsGiveTheirIdentitiesAndDetailsInSelectionOrder) {
    const std::string first = savedMail("Offer \\ 17 " + kFace, "Lee, Bo", "\"Ann\" <ann@example.com>");
    const std::string second = savedMail("Re: Offer");
    select({first});
    EXPECT_EQ(control.call("GetOutlookSelection"), Variant(first + "," + storeId()));
    EXPECT_EQ(control.call("GetOutlookSelectionString"),
              Variant(first + "\\" + storeId() + "\\Offer \\ 17 " + kFace + "\\Lee, Bo\\\"Ann\" <ann@example.com>\\"));

    select({second, first});
    EXPECT_EQ(control.call("GetOutlookSelection"), Variant(second + "," + storeId() + "," + first + "," + storeId()));
    const std::string text = control.call("GetOutlookSelectionString").toString();
    EXPECT_EQ(text.find(second + "\\" + storeId() + "\\Re: Offer\\Bo Lee\\ann@example.com\\\\\\" + first + "\\"), 0u)
        << text;
    EXPECT_TRUE(boxes().empty());
}

TEST_F(SelectedEmailTest, TenItemsAreTakenElevenOrNoneAreRefused) {
    std::vector<std::string> ids;
    for (int i = 0; i < 11; ++i) ids.push_back(savedMail("Mail " + std::to_string(i)));
    select(std::vector<std::string>(ids.begin(), ids.begin() + 10));
    EXPECT_EQ(vb::split(control.call("GetOutlookSelection").toString(), ",").size(), 20u);
    EXPECT_TRUE(boxes().empty());

    select(ids);
    EXPECT_EQ(control.call("GetOutlookSelectionString"), Variant(""));
    expectLastBox("You cannot add more than 10 items at a time. Please select 10 items or less and try again.", "Lumora");

    select({});
    EXPECT_EQ(control.call("GetOutlookSelection"), Variant(""));
    expectLastBox("Please select an item to add", "Select an item", 64);
}

TEST_F(SelectedEmailTest, ItemsThatAreNotMailsGiveTheirIdentityButNoDetails) {
    const std::string contact = savedItem(defaultFolder(kContacts), {{"LastName", Variant("Lee")}}).get("EntryID").toString();
    select({contact});
    EXPECT_EQ(control.call("GetOutlookSelection"), Variant(contact + "," + defaultFolder(kContacts).get("StoreID").toString()));
    EXPECT_TRUE(boxes().empty());
    // A contact has no sender: reading one stops the capture.
    EXPECT_EQ(control.call("GetOutlookSelectionString"), Variant("No Outlook"));
    expectLastBox(kNotInstalled, "Unable to add email", 64);
}

TEST_F(SelectedEmailTest, WithoutARunningOutlookNothingIsCaptured) {
    select({savedMail("Offer")});
    RegistryFaults stopped;
    stopped.notRunning = {"Outlook.Application"};
    setFaults(stopped);
    EXPECT_EQ(control.call("GetOutlookSelection"), Variant("No Outlook"));
    expectLastBox(kNotInstalled, "Unable to add email", 64);
    setFaults(testing::machineWithoutOutsideApplications());
    EXPECT_EQ(control.call("GetOutlookSelectionString"), Variant("No Outlook"));
    EXPECT_EQ(boxes().size(), 2u);
}

TEST_F(SelectedEmailTest, ASelectionThatCannotBeReadSaysHowToAddMails) {
    Registry::instance().forgetRunningInstances();
    std::ofstream(dataFolder() / "pim.sqlite", std::ios::binary | std::ios::trunc) << std::string(8192, 'Z');
    std::filesystem::remove(dataFolder() / "pim.sqlite-wal");
    EXPECT_EQ(control.call("GetOutlookSelection"), Variant("No Outlook"));
    expectLastBox("Error encountered. Please select the emails in Outlook and switch directly to the Lumora Emails "
                  "screen to perform the Add function",
                  "Unable to add e-mail", 64);
}

}  // namespace
}  // namespace lumora
