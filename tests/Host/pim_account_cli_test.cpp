// `lumora pim account` against a real radicale: an account is added only once the server has
// answered with its collections, its password kept apart from its settings, listed, and removed;
// a wrong password, an unsafe address or a taken name change nothing.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "Platform/Dav/dav_client.hpp"
#include "Platform/Outlook/pim_store.hpp"
#include "Platform/Sync/sync_state.hpp"
#include "lumora_process.hpp"
#include "tests/Automation/temp_folder.hpp"
#include "tests/support/radicale_server.hpp"

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

}  // namespace
}  // namespace lumora::tests
