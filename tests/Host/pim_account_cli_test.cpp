// `lumora pim account` and `lumora pim sync` against a real radicale: an account is added only
// once the server has answered with its collections, its password kept apart from its settings,
// listed, and removed; a wrong password, an unsafe address or a taken name change nothing. A sync
// brings what another client put on the server, and one the server refuses leaves the account
// offline with its error, and the store as it was.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "Platform/Dav/dav_client.hpp"
#include "Platform/Outlook/pim_store.hpp"
#include "Platform/Sync/sync_state.hpp"
#include "lumora_process.hpp"
#include "tests/Automation/temp_folder.hpp"
#include "tests/support/radicale_server.hpp"
#include "tests/support/support_commands.hpp"

namespace lumora::tests {
namespace {

namespace fs = std::filesystem;

class PimAccountCommandLine : public ::testing::Test {
protected:
    void SetUp() override {
        // The password goes to the owner's file here: no desktop keyring answers the test.
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
        std::ofstream(temp.path() / "password") << server.kAlicePassword << "\n";
    }
    ProcessResult lumora(std::vector<std::string> args, const std::string& input = {}) {
        args.insert(args.begin(), {"--data", data().string(), "--no-launch", "pim", "account"});
        return runLumora(args, temp.path(), input);
    }
    ProcessResult sync() { return runLumora({"--data", data().string(), "--no-launch", "pim", "sync"}, temp.path()); }
    fs::path data() const { return temp.path() / "data"; }

    test::RadicaleServer server;
    TempFolder temp;
};

TEST_F(PimAccountCommandLine, AnAccountIsAddedOnceTheServerAnswersAndItsPasswordIsKeptApart) {
    const std::string url = server.url("/");
    const ProcessResult added = lumora({"add", url, "--user", "alice", "--password-file", (temp.path() / "password").string()});
    ASSERT_EQ(added.status, 0) << added.out << added.err;
    const std::string name = "alice@127.0.0.1:" + std::to_string(server.port());
    EXPECT_NE(added.out.find("Added " + name + ": 3 collections on " + url + ", 3 default folders bound"),
              std::string::npos) << added.out;
    {
        std::shared_ptr<pim::PimStore> store = pim::PimStore::shared(data());
        std::vector<std::string> followed;
        for (const sync::SyncBinding& binding : sync::bindingsOfAccount(*store, name))
            followed.push_back(binding.collectionUrl.substr(url.size()));
        std::ranges::sort(followed);
        EXPECT_EQ(followed, (std::vector<std::string>{"alice/calendar/", "alice/contacts/", "alice/tasks/"}));
    }
    const std::string settings = readWhole(data() / "accounts.json");
    EXPECT_NE(settings.find("/alice/"), std::string::npos) << settings;
    EXPECT_EQ(settings.find(server.kAlicePassword), std::string::npos);
    struct stat info {};
    ASSERT_EQ(stat((data() / "credentials.json").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_NE(readWhole(data() / "credentials.json").find(server.kAlicePassword), std::string::npos);

    const ProcessResult again = lumora({"add", url, "--user", "alice"}, std::string(server.kAlicePassword) + "\n");
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("There is an account named alice@127.0.0.1"), std::string::npos) << again.err;

    const ProcessResult listed = lumora({"list"});
    EXPECT_NE(listed.out.find("alice@127.0.0.1:" + std::to_string(server.port()) + "\t" + url + "\talice\tnever synced"),
              std::string::npos) << listed.out;
    const ProcessResult removed = lumora({"remove", "alice@127.0.0.1:" + std::to_string(server.port())});
    EXPECT_EQ(removed.status, 0) << removed.err;
    EXPECT_NE(lumora({"list"}).out.find("No accounts"), std::string::npos);
    EXPECT_EQ(readWhole(data() / "credentials.json").find(server.kAlicePassword), std::string::npos);
    pim::PimStore afterwards(data());
    EXPECT_TRUE(sync::bindingsOfAccount(afterwards, name).empty());
}

TEST_F(PimAccountCommandLine, AnAccountsSharesBecomeTheirOwnersFoldersToReadOnly) {
    dav::DavClient alice({server.url("/"), std::string(server.kAlice), std::string(server.kAlicePassword)});
    alice.makeCalendar(server.url("/alice/shared/"), "Team", "VEVENT");
    const ProcessResult added = lumora({"add", server.url("/"), "--user", "bob", "--name", "work"},
                                       std::string(server.kBobPassword) + "\n");
    ASSERT_EQ(added.status, 0) << added.out << added.err;
    EXPECT_NE(added.out.find("3 default folders bound, 1 folder shared by other users;"), std::string::npos)
        << added.out;
    std::shared_ptr<pim::PimStore> store = pim::PimStore::shared(data());
    const std::optional<pim::MailboxRow> owner = store->mailboxByName("alice");
    ASSERT_TRUE(owner.has_value());
    const int64_t calendar = store->defaultFolder(owner->id, pim::FolderType::Calendar).id;
    EXPECT_EQ(sync::bindingOfFolder(*store, calendar)->collectionUrl, server.url("/alice/shared/"));
    EXPECT_EQ(store->shareAccess(owner->id, pim::FolderType::Calendar, store->currentMailbox().id),
              pim::ShareAccess::ReadOnly);
    EXPECT_EQ(sync::bindingsOfAccount(*store, "work").size(), 4u);
}

TEST_F(PimAccountCommandLine, AWrongPasswordAnUnsafeAddressOrAnUnreachableServerKeepNothing) {
    const ProcessResult wrong = lumora({"add", server.url("/"), "--user", "alice"}, "not-her-password\n");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.err.find("401"), std::string::npos) << wrong.err;
    EXPECT_EQ(wrong.err.find("not-her-password"), std::string::npos) << wrong.err;
    const ProcessResult unsafe = lumora({"add", "http://dav.example.com/", "--user", "alice"}, "secret\n");
    EXPECT_EQ(unsafe.status, 1);
    EXPECT_NE(unsafe.err.find("http"), std::string::npos) << unsafe.err;
    const ProcessResult unreachable = lumora({"add", "http://127.0.0.1:9/", "--user", "alice"}, "secret\n");
    EXPECT_EQ(unreachable.status, 1) << unreachable.out;
    for (const char* file : {"accounts.json", "credentials.json"}) EXPECT_FALSE(fs::exists(data() / file)) << file;
    EXPECT_EQ(lumora({"add", server.url("/")}).status, 2);
}

TEST_F(PimAccountCommandLine, ASyncBringsTheServersChangesAndARefusedOneLeavesTheAccountOffline) {
    const std::string url = server.url("/");
    ASSERT_EQ(lumora({"add", url, "--user", "alice", "--name", "team", "--password-file",
                      (temp.path() / "password").string()}).status, 0);
    const lumora::testing::CommandResult added = lumora::testing::runCommand(
        lumora::testing::systemPython() + " " + (lumora::testing::testSupportFolder() / "caldav_add_event.py").string() +
        " " + server.url("/alice/calendar/") + " alice alice-secret kickoff-1 'Project kickoff'");
    ASSERT_TRUE(added.succeeded) << added.output;
    // A calendar made on another device since: the sync finds it and brings its event to a subfolder.
    dav::DavClient({url, "alice", std::string(server.kAlicePassword)}).makeCalendar(server.url("/alice/holidays/"),
                                                                                   "Holidays", "VEVENT");
    const std::string addEvent =
        lumora::testing::systemPython() + " " + (lumora::testing::testSupportFolder() / "caldav_add_event.py").string();
    const std::string holidays = server.url("/alice/holidays/");
    ASSERT_TRUE(
        lumora::testing::runCommand(addEvent + " " + holidays + " alice alice-secret xmas-1 Christmas").succeeded);

    const ProcessResult synced = sync();
    ASSERT_EQ(synced.status, 0) << synced.out << synced.err;
    EXPECT_NE(synced.out.find("team: synced\n  Calendar: 1 arrived (1 new, 0 changed, 0 to Deleted Items)"),
              std::string::npos) << synced.out;
    EXPECT_NE(synced.out.find("  Calendar\\Holidays: 1 arrived (1 new"), std::string::npos) << synced.out;
    EXPECT_NE(lumora({"list"}).out.find("\tsynced\tlast sync "), std::string::npos);

    // The server now refuses the kept password, as after a change of password elsewhere.
    std::string credentials = readWhole(data() / "credentials.json");
    credentials.replace(credentials.find(server.kAlicePassword), server.kAlicePassword.size(), "an-old-password");
    std::ofstream(data() / "credentials.json", std::ios::trunc) << credentials;
    lumora::testing::runCommand(lumora::testing::systemPython() + " " +
                                (lumora::testing::testSupportFolder() / "caldav_add_event.py").string() + " " +
                                server.url("/alice/calendar/") + " alice alice-secret review-1 'Design review'");
    const ProcessResult refused = sync();
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("team: The server refused the user name or password (401"), std::string::npos)
        << refused.err;
    EXPECT_EQ(refused.err.find("an-old-password"), std::string::npos);
    const std::string listed = lumora({"list"}).out;
    EXPECT_NE(listed.find("\toffline\tlast sync "), std::string::npos) << listed;
    EXPECT_NE(listed.find("last error: The server refused"), std::string::npos) << listed;
    EXPECT_NE(listed.find("next attempt "), std::string::npos) << listed;
    std::shared_ptr<pim::PimStore> store = pim::PimStore::shared(data());
    const int64_t calendar = store->defaultFolder(store->currentMailbox().id, pim::FolderType::Calendar).id;
    EXPECT_EQ(store->itemIds(calendar).size(), 1u);
}

}  // namespace
}  // namespace lumora::tests
