// Account passwords in a file of the owner's and in a real desktop keyring (gnome-keyring on a
// private session bus): kept, read back, forgotten, and never exposed or half-written.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>

#include "Automation/error.hpp"
#include "Host/accounts/credential_store.hpp"
#include "tests/support/support_commands.hpp"

namespace lumora {
namespace {

namespace fs = std::filesystem;

class CredentialStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "lumora-credentials-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override { fs::remove_all(folder); }
    static std::string fileText(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static std::string errorText(const std::function<void()>& work) {
        try {
            work();
        } catch (const Error& e) {
            return e.description();
        }
        return "no error";
    }
    fs::path folder;
};

TEST_F(CredentialStoreTest, AFileOfTheOwnersKeepsReadsAndForgetsPasswords) {
    const fs::path file = folder / "credentials.json";
    auto store = host::fileCredentials(file);
    EXPECT_EQ(store->load("team"), std::nullopt);
    store->save("team", "p\"ä ss;\n");
    store->save("other", "second");
    EXPECT_EQ(store->load("team"), "p\"ä ss;\n");
    struct stat info {};
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    store->forget("team");
    store->forget("never kept");
    EXPECT_EQ(host::fileCredentials(file)->load("team"), std::nullopt);
    EXPECT_EQ(host::fileCredentials(file)->load("other"), "second");
    EXPECT_FALSE(fs::exists(file.string() + ".new"));
}

TEST_F(CredentialStoreTest, AFileOthersMayReadOrThatIsDamagedIsRefusedAndLeftAsItWas) {
    const fs::path file = folder / "credentials.json";
    auto store = host::fileCredentials(file);
    store->save("team", "secret");
    chmod(file.c_str(), 0644);
    const std::string exposed = errorText([&] { store->load("team"); });
    EXPECT_NE(exposed.find("may be read by others"), std::string::npos) << exposed;
    EXPECT_EQ(exposed.find("secret"), std::string::npos) << exposed;
    EXPECT_NE(errorText([&] { store->save("team", "new"); }), "no error");
    chmod(file.c_str(), 0600);
    EXPECT_EQ(store->load("team"), "secret");

    std::ofstream(file, std::ios::trunc) << "{\"team\": 42";
    EXPECT_NE(errorText([&] { store->save("team", "new"); }).find("could not be read"), std::string::npos);
    EXPECT_EQ(fileText(file), "{\"team\": 42");
}

TEST_F(CredentialStoreTest, APasswordThatCannotBeWrittenLeavesNoFileBehind) {
    std::ofstream(folder / "not-a-folder") << "x";
    const fs::path file = folder / "not-a-folder" / "credentials.json";
    EXPECT_NE(errorText([&] { host::fileCredentials(file)->save("team", "secret"); }).find("could not be saved"),
              std::string::npos);
    EXPECT_EQ(fs::directory_iterator(folder)->path().filename(), "not-a-folder");
}

// gnome-keyring's Secret Service on a session bus of the test's own, unlocked with a made-up
// login password, as a desktop session has it.
class PrivateKeyring {
public:
    explicit PrivateKeyring(const fs::path& home) {
        const testing::CommandResult bus = testing::runCommand("dbus-daemon --session --fork --print-address=1 --print-pid=1");
        if (!bus.succeeded) return;
        const size_t lineEnd = bus.output.find('\n');
        m_address = bus.output.substr(0, lineEnd);
        m_busPid = std::atoi(bus.output.c_str() + lineEnd + 1);
        const std::string keyring = "HOME='" + home.string() + "' DBUS_SESSION_BUS_ADDRESS='" + m_address +
                                    "' sh -c 'printf login | gnome-keyring-daemon --unlock --components=secrets'";
        m_started = testing::runCommand(keyring).succeeded;
        setenv("DBUS_SESSION_BUS_ADDRESS", m_address.c_str(), 1);
    }
    ~PrivateKeyring() {
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
        // The keyring daemon leaves with its bus.
        if (m_busPid > 0) kill(m_busPid, SIGTERM);
    }
    bool running() const { return m_started; }

private:
    std::string m_address;
    int m_busPid = 0;
    bool m_started = false;
};

TEST_F(CredentialStoreTest, TheDesktopKeyringKeepsPasswordsWhenOneRunsAndTheFileOtherwise) {
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    EXPECT_EQ(host::openCredentialStore(folder)->place(), (folder / "credentials.json").string());

    PrivateKeyring keyring(folder);
    ASSERT_TRUE(keyring.running()) << "dbus-daemon and gnome-keyring-daemon are test dependencies";
    auto store = host::openCredentialStore(folder);
    ASSERT_EQ(store->place(), "the desktop keyring");
    store->save("team", "s3cret ä");
    EXPECT_EQ(store->load("team"), "s3cret ä");
    EXPECT_EQ(store->load("nobody"), std::nullopt);
    store->forget("team");
    EXPECT_EQ(store->load("team"), std::nullopt);
    EXPECT_FALSE(fs::exists(folder / "credentials.json"));
}

}  // namespace
}  // namespace lumora
