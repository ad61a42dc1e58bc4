// The groupware accounts kept in the data folder: added, found, updated and removed across
// reopenings, in a file of the owner's alone, and a damaged list refused without loss.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "Automation/error.hpp"
#include "Host/accounts/account_registry.hpp"

namespace lumora {
namespace {

namespace fs = std::filesystem;

class AccountRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "lumora-accounts-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override { fs::remove_all(folder); }
    fs::path folder;
};

TEST_F(AccountRegistryTest, AccountsOutliveTheRegistryAndNamesAreUnique) {
    {
        host::AccountRegistry registry(folder);
        EXPECT_TRUE(registry.accounts().empty());
        registry.add({"team", "https://dav.example.com/", "pat", "/pat/", "/pat/cal/", "/pat/card/"});
        registry.add({"home", "http://127.0.0.1:5232/", "lee"});
        try {
            registry.add({"team", "https://other.example.com/", "kim"});
            FAIL() << "a second account named team";
        } catch (const Error& e) {
            EXPECT_NE(e.description().find("There is an account named team already"), std::string::npos);
        }
        host::GroupwareAccount synced = *registry.find("team");
        synced.lastSync = 1765274400000;
        synced.lastError = "";
        synced.failures = 2;
        synced.retryAt = 1765274460000;
        registry.update(synced);
    }
    host::AccountRegistry reopened(folder);
    ASSERT_EQ(reopened.accounts().size(), 2u);
    EXPECT_EQ(reopened.find("team")->calendarHome, "/pat/cal/");
    EXPECT_EQ(reopened.find("team")->lastSync, 1765274400000);
    EXPECT_EQ(reopened.find("team")->failures, 2);
    EXPECT_EQ(reopened.find("team")->retryAt, 1765274460000);
    reopened.remove("home");
    EXPECT_THROW(reopened.remove("home"), Error);
    EXPECT_EQ(host::AccountRegistry(folder).accounts().size(), 1u);
    struct stat info {};
    ASSERT_EQ(stat((folder / "accounts.json").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(AccountRegistryTest, AListThatIsNoAccountListIsRefusedAndKept) {
    for (const std::string text : {"{\"name\": \"team\"}", "[{\"serverUrl\": \"https://x\"}]", "[{\"name\": 5}]"}) {
        std::ofstream(folder / "accounts.json", std::ios::trunc) << text;
        fs::permissions(folder / "accounts.json", fs::perms::owner_read | fs::perms::owner_write);
        try {
            host::AccountRegistry registry(folder);
            FAIL() << text;
        } catch (const Error& e) {
            EXPECT_NE(e.description().find("could not be read"), std::string::npos) << e.description();
        }
        std::ifstream in(folder / "accounts.json");
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), text);
    }
}

}  // namespace
}  // namespace lumora
