#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "Automation/top_level_call.hpp"
#include "Platform/Outlook/dav_resources.hpp"
#include "Platform/Sync/account_sync.hpp"
#include "Platform/Sync/collection_push.hpp"
#include "Platform/Sync/default_bindings.hpp"
#include "Platform/Sync/pending_changes.hpp"
#include "Platform/Sync/server_entries.hpp"
#include "radicale_store_fixture.hpp"
#include "tests/support/support_commands.hpp"

namespace lumora::sync {

using pim::FolderType;
using pim::ItemClass;
using pim::ItemRecord;
using pim::tests::civilDate;

// The account "work": Calendar and Tasks follow one calendar of alice's that takes both kinds,
// Contacts her address book, on a real radicale; python3-caldav is the other client.
class AccountSyncTest : public RadicaleStoreTest {
protected:
    void SetUp() override {
        // No component set: the server takes events and tasks alike.
        m_client.send({"MKCALENDAR", m_calendarUrl,
                       "<C:mkcalendar xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:caldav\"><D:set><D:prop>"
                       "<D:displayname>Work</D:displayname></D:prop></D:set></C:mkcalendar>",
                       "application/xml; charset=utf-8", std::nullopt, {}});
        m_client.makeAddressBook(m_contactsUrl, "Contacts");
        for (auto [type, url] : {std::pair{FolderType::Calendar, m_calendarUrl},
                                 {FolderType::Tasks, m_calendarUrl}, {FolderType::Contacts, m_contactsUrl}})
            bindFolder(m_store, {folderOf(type), "work", url, "", ""});
    }

    AccountSyncResult sync() { return syncAccount(m_store, m_client, "work"); }
    const CollectionSync& of(const AccountSyncResult& result, FolderType type) {
        for (const CollectionSync& collection : result.collections)
            if (collection.folder == folderOf(type)) return collection;
        throw std::runtime_error("no such collection");
    }
    ItemRecord saveNew(FolderType type, ItemClass itemClass, const std::string& uid, std::map<std::string, std::string> fields,
                       std::vector<pim::UserPropertyRow> marks = {}) {
        ItemRecord item{.uid = uid, .folder = folderOf(type), .itemClass = itemClass, .userProperties = std::move(marks)};
        for (auto& [name, value] : fields) item.values[name] = Variant(value);
        if (itemClass == ItemClass::Appointment) item.values["Start"] = Variant(civilDate(2026, 12, 10, 14, 0));
        m_store.saveItem(item, pim::valueNames(item));
        return item;
    }
    ItemRecord load(int64_t id) {
        ItemRecord item = m_store.loadItem(id);
        m_store.loadUserProperties(item);
        return item;
    }
    std::string valueOf(int64_t id, const char* name = "Subject") { return m_store.loadItem(id).values.at(name).toString(); }
    void setValue(int64_t id, const std::string& name, const std::string& value) {
        ItemRecord item = m_store.loadItem(id);
        item.values[name] = Variant(value);
        m_store.saveItem(item, {name});
    }
    std::string hrefOf(int64_t item) { return syncedItemOf(m_store, item).value().href; }
    dav::DavReply onServer(const std::string& href) { return m_client.send({"GET", href, {}, {}, std::nullopt, {}}); }
    bool serverHas(int64_t item, const std::string& line) { return onServer(hrefOf(item)).body.find(line) != std::string::npos; }
    // The marks the resource held, as python3-icalendar or python3-vobject read them.
    nlohmann::json editElsewhere(const std::string& href, const std::string& changes) {
        lumora::testing::CommandResult edited = lumora::testing::runCommand(
            lumora::testing::systemPython() + " " + (lumora::testing::testSupportFolder() / "caldav_edit_resource.py").string() +
            " " + href + " alice alice-secret " + changes);
        EXPECT_TRUE(edited.succeeded) << edited.output;
        return edited.succeeded ? nlohmann::json::parse(edited.output) : nlohmann::json();
    }

    std::string m_calendarUrl = m_server.url("/alice/work/");
    std::string m_contactsUrl = m_server.url("/alice/contacts/");
};

pim::UserPropertyRow mark(const char* name, const char* value) { return {name, 1, Variant(std::string(value)), false}; }

TEST_F(AccountSyncTest, OneCalendarForEventsAndTasksBindsBothFolders) {
    EXPECT_EQ(bindDefaultFolders(m_store, "home", {m_calendarUrl, m_calendarUrl, m_contactsUrl}).size(), 3u);
    EXPECT_EQ(bindingsOfAccount(m_store, "home").size(), 3u);
}

TEST_F(AccountSyncTest, CreatesChangesAndDeletesOnEachSideReachTheOther) {
    const ItemRecord meeting = saveNew(FolderType::Calendar, ItemClass::Appointment, "meeting-1", {{"Subject", "Planning"}});
    const ItemRecord task = saveNew(FolderType::Tasks, ItemClass::Task, "task-1", {{"Subject", "Call back"}});
    const ItemRecord ada = saveNew(FolderType::Contacts, ItemClass::Contact, "urn:uuid:6d1f0c1e-0000-4000-8000-0000000000a1",
                                   {{"FullName", "Ada Example"}});
    EXPECT_EQ(pendingChanges(m_store, "work"), 3);
    AccountSyncResult first = sync();
    ASSERT_TRUE(first.succeeded());
    EXPECT_EQ(of(first, FolderType::Calendar).pushed + of(first, FolderType::Tasks).pushed + of(first, FolderType::Contacts).pushed, 3);
    EXPECT_EQ(pendingChanges(m_store, "work"), 0);
    EXPECT_EQ(hrefOf(meeting.id), m_calendarUrl + "meeting-1.ics");
    EXPECT_EQ(hrefOf(ada.id), m_contactsUrl + "urn-uuid-6d1f0c1e-0000-4000-8000-0000000000a1.vcf");
    EXPECT_TRUE(serverHas(task.id, "SUMMARY:Call back"));

    // Each folder passes over the other kind's members quietly, and keeps its position.
    for (const CollectionSync& collection : sync().collections) {
        EXPECT_TRUE(collection.skipped.empty()) << collection.skipped[0].reason;
        EXPECT_EQ(collection.created + collection.updated + collection.pushed, 0);
        EXPECT_FALSE(bindingOfFolder(m_store, collection.folder)->syncToken.empty());
    }

    editElsewhere(hrefOf(meeting.id), "'SUMMARY=Planning moved'");
    setValue(task.id, "Subject", "Call back today");
    AccountSyncResult changed = sync();
    EXPECT_EQ(of(changed, FolderType::Calendar).updated, 1);
    EXPECT_EQ(valueOf(meeting.id), "Planning moved");
    EXPECT_EQ(of(changed, FolderType::Tasks).pushed, 1);
    EXPECT_TRUE(serverHas(task.id, "SUMMARY:Call back today"));

    const std::string taskHref = hrefOf(task.id), adaHref = hrefOf(ada.id);
    editElsewhere(hrefOf(meeting.id), "--delete");
    m_store.deleteItem(task.id);
    m_store.deleteItem(ada.id);
    m_store.deleteItem(ada.id);  // removed for good: its address is still known to the push
    AccountSyncResult removed = sync();
    EXPECT_EQ(of(removed, FolderType::Calendar).removed, 1);
    EXPECT_EQ(m_store.loadItem(meeting.id).folder, folderOf(FolderType::DeletedItems));
    EXPECT_EQ(of(removed, FolderType::Tasks).deleted + of(removed, FolderType::Contacts).deleted, 2);
    EXPECT_EQ(onServer(taskHref).status, 404);
    EXPECT_EQ(onServer(adaHref).status, 404);
}

TEST_F(AccountSyncTest, WhatAFolderHeldBeforeItWasBoundGoesUpWithTheFirstSync) {
    const ItemRecord ada = saveNew(FolderType::Contacts, ItemClass::Contact, "ada-1", {{"FullName", "Ada Example"}});
    ASSERT_TRUE(sync().succeeded());
    // The folder now follows a new address book, and its push starts at the journal's end.
    const std::string moved = m_server.url("/alice/moved/");
    m_client.makeAddressBook(moved, "Moved");
    bindFolder(m_store, {folderOf(FolderType::Contacts), "work", moved, "", ""});
    EXPECT_EQ(pendingChanges(m_store, "work"), 1);
    // The push right after a call reads only the journal, so it leaves her to the whole sync.
    EXPECT_EQ(pendingChanges(m_store, "work", PendingReach::JournalOnly), 0);
    EXPECT_TRUE(syncAccount(m_store, m_client, "work", SyncSteps::PushOnly).collections.empty());
    const AccountSyncResult first = sync();
    EXPECT_EQ(of(first, FolderType::Contacts).pushed, 1);
    EXPECT_EQ(hrefOf(ada.id), moved + "ada-1.vcf");
    EXPECT_EQ(pendingChanges(m_store, "work"), 0);

    // A change she gets later is the journal's, and goes with the push alone.
    setValue(ada.id, "FullName", "Ada Lovelace Example");
    EXPECT_EQ(pendingChanges(m_store, "work", PendingReach::JournalOnly), 1);
    const AccountSyncResult pushed = syncAccount(m_store, m_client, "work", SyncSteps::PushOnly);
    ASSERT_EQ(pushed.collections.size(), 1u);
    EXPECT_EQ(pushed.collections[0].pushed, 1);
    EXPECT_TRUE(serverHas(ada.id, "FN:Ada Lovelace Example"));
}

TEST_F(AccountSyncTest, MarksSurviveAnotherClientsEditAndItsOwnMarksArrive) {
    const ItemRecord meeting = saveNew(FolderType::Calendar, ItemClass::Appointment, "meeting-2", {{"Subject", "Review"}},
                                       {mark("ACID", "{8A1F}"), mark("Lumora", "true"), mark("guid", "g-1")});
    const ItemRecord ada = saveNew(FolderType::Contacts, ItemClass::Contact, "ada-2",
                                   {{"FullName", "Ada Example"}, {"User1", "one"}, {"User2", "two"}, {"User3", "three"}},
                                   {mark("ACID", "{77}"), mark("Lumora", ""), mark("guid", "g-2")});
    ASSERT_TRUE(sync().succeeded());

    EXPECT_EQ(editElsewhere(hrefOf(meeting.id), "'SUMMARY=Review moved' X-LUMORA-PROP-ACID={9B2C}"),
              (nlohmann::json{{"X-LUMORA-PROP-ACID", "{8A1F}"}, {"X-LUMORA-PROP-LUMORA", "true"}, {"X-LUMORA-PROP-GUID", "g-1"}}));
    const nlohmann::json cardMarks = editElsewhere(hrefOf(ada.id), "'FN=Ada Lovelace' X-LUMORA-PROP-USTID=DE1");
    EXPECT_EQ(cardMarks.size(), 6u) << cardMarks;
    EXPECT_EQ(cardMarks.value("X-LUMORA-USER3", ""), "three");
    ASSERT_TRUE(sync().succeeded());

    std::map<std::string, std::string> props;
    for (const pim::UserPropertyRow& row : load(meeting.id).userProperties) props[row.name] = row.value.toString();
    EXPECT_EQ(props, (std::map<std::string, std::string>{{"ACID", "{9B2C}"}, {"Lumora", "true"}, {"guid", "g-1"}}));
    EXPECT_EQ(valueOf(meeting.id), "Review moved");
    EXPECT_EQ(valueOf(ada.id, "FullName"), "Ada Lovelace");
    EXPECT_EQ(valueOf(ada.id, "User1") + valueOf(ada.id, "User2") + valueOf(ada.id, "User3"), "onetwothree");
    EXPECT_EQ(load(ada.id).userProperties.size(), 4u);  // ACID, Lumora, guid, and the USTID another client added
}

TEST_F(AccountSyncTest, TheServerWinsAConflictAndUndoingItsEntrySendsThePersonsVersion) {
    const ItemRecord meeting = saveNew(FolderType::Calendar, ItemClass::Appointment, "meeting-3", {{"Subject", "Budget"}});
    const ItemRecord task = saveNew(FolderType::Tasks, ItemClass::Task, "task-3", {{"Subject", "Report"}});
    const ItemRecord ada = saveNew(FolderType::Contacts, ItemClass::Contact, "ada-3", {{"FullName", "Ada Example"}});
    ASSERT_TRUE(sync().succeeded());

    setValue(meeting.id, "Subject", "Budget (mine)");
    editElsewhere(hrefOf(meeting.id), "'SUMMARY=Budget (theirs)'");
    m_store.deleteItem(task.id);  // deleted here, changed there: it comes back
    editElsewhere(hrefOf(task.id), "'SUMMARY=Report v2'");
    setValue(ada.id, "FullName", "Ada Mine");  // changed here, deleted there: kept in Deleted Items
    editElsewhere(hrefOf(ada.id), "--delete");
    AccountSyncResult result = sync();
    ASSERT_TRUE(result.succeeded());
    const std::vector<SyncConflict>& conflicts = of(result, FolderType::Calendar).conflicts;
    ASSERT_EQ(conflicts.size(), 1u);
    EXPECT_EQ(conflicts[0].entryId, meeting.entryId);
    EXPECT_EQ(conflicts[0].subject, "Budget (theirs)");
    EXPECT_EQ(valueOf(meeting.id), "Budget (theirs)");
    ASSERT_EQ(of(result, FolderType::Tasks).conflicts.size(), 1u);
    EXPECT_EQ(of(result, FolderType::Tasks).conflicts[0].kind, SyncConflict::Kind::DeletedHereChangedThere);
    EXPECT_EQ(m_store.loadItem(task.id).folder, folderOf(FolderType::Tasks));
    EXPECT_EQ(valueOf(task.id), "Report v2");
    EXPECT_EQ(of(result, FolderType::Contacts).conflicts.size(), 1u);
    EXPECT_EQ(m_store.loadItem(ada.id).folder, folderOf(FolderType::DeletedItems));
    EXPECT_EQ(valueOf(ada.id, "FullName"), "Ada Mine");
    EXPECT_EQ(pendingChanges(m_store, "work"), 0);

    EXPECT_EQ(pim::undoEntry(m_store, conflicts[0].journalEntry, false).putBack, 1);
    EXPECT_EQ(valueOf(meeting.id), "Budget (mine)");
    EXPECT_EQ(pendingChanges(m_store, "work"), 1);
    AccountSyncResult again = sync();
    EXPECT_EQ(of(again, FolderType::Calendar).pushed, 1);
    EXPECT_TRUE(of(again, FolderType::Calendar).conflicts.empty());
    EXPECT_TRUE(serverHas(meeting.id, "SUMMARY:Budget (mine)"));

    // Another item already at the address made of a new item's UID: the new one takes a name of its own.
    m_client.put(m_calendarUrl + "meeting-5.ics", dav::eventText("someone-else", "Theirs"), dav::kCalendarType, {});
    const ItemRecord fifth = saveNew(FolderType::Calendar, ItemClass::Appointment, "meeting-5", {{"Subject", "Mine"}});
    EXPECT_TRUE(sync().succeeded());
    EXPECT_EQ(valueOf(fifth.id), "Mine");
    EXPECT_NE(hrefOf(fifth.id), m_calendarUrl + "meeting-5.ics");
    EXPECT_TRUE(serverHas(fifth.id, "UID:meeting-5"));

    // Changed on the server between a pull and the push: the 412 settles it the same way.
    setValue(meeting.id, "Subject", "Budget (mine again)");
    editElsewhere(hrefOf(meeting.id), "'SUMMARY=Budget (theirs again)'");
    PushResult pushed = pushCollection(m_store, m_client, *bindingOfFolder(m_store, folderOf(FolderType::Calendar)));
    EXPECT_EQ(pushed.pushed, 0);
    EXPECT_EQ(pushed.conflicts.size(), 1u);
    EXPECT_EQ(valueOf(meeting.id), "Budget (theirs again)");
}

TEST_F(AccountSyncTest, AnUnreachableServerOrAWrongPasswordLosesAndChangesNothing) {
    const ItemRecord meeting = saveNew(FolderType::Calendar, ItemClass::Appointment, "meeting-4", {{"Subject", "Offsite"}});
    ASSERT_TRUE(sync().succeeded());
    setValue(meeting.id, "Subject", "Offsite (moved)");
    saveNew(FolderType::Contacts, ItemClass::Contact, "bea-4", {{"FullName", "Bea Example"}});

    m_server.stopServing();
    AccountSyncResult away = sync();
    ASSERT_EQ(away.collections.size(), 3u);
    for (const CollectionSync& collection : away.collections) EXPECT_TRUE(collection.failure);
    EXPECT_EQ(pendingChanges(m_store, "work"), 2);
    m_server.serveAgain();

    m_client.put(m_calendarUrl + "new.ics", dav::eventText("new-4", "Arrives later"), dav::kCalendarType,
                 dav::WriteCondition::createOnly());
    const size_t entries = journalSize();
    dav::DavClient wrong({m_server.url("/"), "alice", "not-her-password"});
    for (const CollectionSync& collection : syncAccount(m_store, wrong, "work").collections) {
        ASSERT_TRUE(collection.failure);
        EXPECT_EQ(collection.failure->number(), errorOf(dav::DavError::Unauthorized).number());
    }
    EXPECT_EQ(journalSize(), entries);
    EXPECT_EQ(pendingChanges(m_store, "work"), 2);

    AccountSyncResult back = sync();
    ASSERT_TRUE(back.succeeded());
    EXPECT_EQ(of(back, FolderType::Calendar).created, 1);
    EXPECT_EQ(of(back, FolderType::Calendar).pushed + of(back, FolderType::Contacts).pushed, 2);
    EXPECT_TRUE(serverHas(meeting.id, "SUMMARY:Offsite (moved)"));
    EXPECT_EQ(pendingChanges(m_store, "work"), 0);
}

TEST_F(AccountSyncTest, AMalformedResourceIsNamedWhileTheRestArrivesAndACallerInACallKeepsItsEntryApart) {
    // Beyond what the PIM reads of one resource, even as the server sends it again unfolded: refused unread.
    std::string huge = dav::eventText("huge", "Huge"), description = "DESCRIPTION:";
    while (description.size() < pim::kMaxResourceBytes * 9 / 8) description += std::string(73, 'x') + "\r\n ";
    huge.insert(huge.find("END:VEVENT"), description + "x\r\n");
    m_client.put(m_calendarUrl + "huge.ics", huge, dav::kCalendarType, dav::WriteCondition::unconditional());
    m_client.put(m_calendarUrl + "fine.ics", dav::eventText("fine", "Fine"), dav::kCalendarType, dav::WriteCondition::unconditional());
    AccountSyncResult result = [&] {
        TopLevelCall call("lumora pim sync");
        return sync();
    }();
    const CollectionSync& calendar = of(result, FolderType::Calendar);
    EXPECT_EQ(calendar.created, 1);
    ASSERT_EQ(calendar.skipped.size(), 1u);
    EXPECT_EQ(calendar.skipped[0].href, m_calendarUrl + "huge.ics");
    EXPECT_NE(calendar.skipped[0].reason.find("4 MB"), std::string::npos) << calendar.skipped[0].reason;
    EXPECT_EQ(pim::listHistory(m_store, {1, std::nullopt}).at(0).what, kPullJournalWhat);
}

}  // namespace lumora::sync
