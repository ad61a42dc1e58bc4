// A calendar another user shares on the groupware server, seen from the grantee's desktop: bob's
// account finds alice's shared calendar, her events arrive in her mailbox in his store, the
// control opens them by "entry id@alice", and since the server lets him only read them, a change
// is refused with the store's access error and nothing is written.

#include <gtest/gtest.h>

#include "Control/calendar/appointment_store_errors.hpp"
#include "Platform/Dav/shared_collections.hpp"
#include "Platform/Outlook/pim_store.hpp"
#include "Platform/Sync/collection_pull.hpp"
#include "Platform/Sync/shared_bindings.hpp"
#include "tests/Control/support/outlook_fixture.hpp"
#include "tests/Platform/Dav/dav_test_support.hpp"
#include "tests/support/support_commands.hpp"

namespace lumora {
namespace {

constexpr int32_t kCalendar = 9;

class SharedCalendarFromServer : public testing::OutlookControlTest {
protected:
    // Through python3-caldav, alice's own client.
    void aliceAddsEvent(const std::string& calendarUrl, const std::string& uid, const std::string& summary) {
        lumora::testing::CommandResult added = lumora::testing::runCommand(
            lumora::testing::systemPython() + " " +
            (lumora::testing::testSupportFolder() / "caldav_add_event.py").string() + " " + calendarUrl +
            " alice alice-secret " + uid + " '" + summary + "'");
        ASSERT_TRUE(added.succeeded) << added.output;
    }

    // What adding bob's account does with the server's shares, and the pull that follows.
    void bobFollowsHisShares() {
        dav::DavClient bob = dav::bobOn(m_server);
        const dav::AccountHomes homes = dav::discoverHomes(bob);
        const auto shares = dav::findSharedCollections(bob, homes, dav::ensureDefaultCollections(bob, homes));
        std::shared_ptr<pim::PimStore> store = pim::PimStore::shared(dataFolder());
        const std::vector<sync::SyncBinding> bound = sync::bindSharedCollections(*store, "bob", shares);
        ASSERT_EQ(bound.size(), 1u);
        EXPECT_EQ(sync::pullCollection(*store, bob, bound[0]).created, 1);
    }

    Object alicesCalendar() {
        Object alice = mapi().getObject("CreateRecipient", "alice");
        alice.call("Resolve");
        return mapi().getObject("GetSharedDefaultFolder", alice, kCalendar);
    }

    test::RadicaleServer m_server;
};

TEST_F(SharedCalendarFromServer, AlicesSharedEventOpensFromBobsDesktopButStaysHers) {
    dav::DavClient alice = dav::aliceOn(m_server);
    alice.makeCalendar(m_server.url("/alice/shared/"), "Team", "VEVENT");
    alice.makeCalendar(m_server.url("/alice/private/"), "Private", "VEVENT");
    aliceAddsEvent(m_server.url("/alice/shared/"), "standup", "Standup");
    aliceAddsEvent(m_server.url("/alice/private/"), "dentist", "Dentist");
    bobFollowsHisShares();

    const Object items = alicesCalendar().getObject("Items");
    ASSERT_EQ(items.count(), 1);  // her private calendar stays hers
    Object standup = items.item(1);
    EXPECT_EQ(standup.get("Subject").toString(), "Standup");
    const std::string entryId = standup.get("EntryID").toString();

    EXPECT_EQ(control.call("OpenAppointment", entryId + "@alice"), Variant(""));
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0].title, "Standup");

    standup.put("Subject", "Moved");
    std::optional<Error> refused = dav::errorFrom([&] { standup.call("Save"); });
    ASSERT_TRUE(refused.has_value());
    EXPECT_EQ(control::appointmentStoreErrorMessage(*refused),
              "The request cannot be processed because of access permissions on the mail server.");
    EXPECT_AUTOMATION_ERROR(standup.call("Delete"), 0x80040123);
    // Linking it to a CRM account writes to it: refused with the store's text, and nothing kept.
    admin().call("Select", entryId);
    EXPECT_EQ(control.call("AddAppointment", "AC-5"),
              Variant("An error occured whilst saving item: The folder of alice is shared with you to read only; "
                      "nothing was changed"));
    Object reread = item(entryId);
    EXPECT_EQ(reread.get("Subject").toString(), "Standup");
    EXPECT_EQ(userProperty(reread, "ACID"), "<none>");
    EXPECT_EQ(alicesCalendar().getObject("Items").count(), 1);
}

}  // namespace
}  // namespace lumora
