// Contacts written by a process that dies or may not write: a SIGKILL in the middle of a run of
// AddContact calls leaves an intact store holding every contact whose call returned, and a
// read-only store is refused with the member's own failure and left untouched.

#include <sys/wait.h>
#include <unistd.h>

#include <set>

#include "Platform/Outlook/pim_store.hpp"
#include "Platform/Outlook/sqlite_handles.hpp"
#include "contact_fixture.hpp"
#include "tests/support/killed_writer.hpp"

namespace lumora {
namespace {

constexpr size_t kCallsBeforeKill = 40;

class ContactCrashTest : public testing::ContactControlTest {
protected:
    // Lets go of every store connection this process holds.
    void closeStore() {
        control.call("CleanUpOutlook");
        Registry::instance().forgetRunningInstances();
    }
};

TEST_F(ContactCrashTest, KilledInARunOfAddContactTheStoreIsIntactAndHoldsEveryReturnedContact) {
    const std::set<std::string> returned = testing::killInTheMiddleOfWrites(kCallsBeforeKill, [&](auto report) {
        setContactFolder("Contacts");
        for (int i = 0;; ++i) {
            const std::string name = "Contact " + std::to_string(i);
            addContact(name, "Permanent");
            report(name);
        }
    });
    ASSERT_GE(returned.size(), kCallsBeforeKill);

    {
        pim::PimStore reopened(dataFolder());
        pim::Statement check(reopened.database(), "PRAGMA integrity_check");
        ASSERT_TRUE(check.step());
        EXPECT_EQ(check.text(0), "ok");
    }
    const std::vector<std::string> names = lastNames(contactsFolder());
    const std::set<std::string> stored(names.begin(), names.end());
    for (const std::string& name : returned) EXPECT_TRUE(stored.count(name)) << name;
}

// The child drops to an unprivileged user, since root writes read-only files.
TEST_F(ContactCrashTest, AReadOnlyStoreIsToldAsAMissingFolderAndNothingIsWritten) {
    setContactFolder("Contacts");
    addContact("Before", "Permanent");
    closeStore();
    namespace fs = std::filesystem;
    const fs::path file = dataFolder() / "pim.sqlite";
    ASSERT_FALSE(fs::exists(dataFolder() / "pim.sqlite-wal"));
    fs::permissions(dataFolder(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                      fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const auto before = fs::last_write_time(file);
    const uintmax_t size = fs::file_size(file);

    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
        try {
            setContactFolder("Contacts");
            if (boxes().empty() || boxes().back().request.text != "Could not find contacts folder") _exit(3);
            addContact("During", "Permanent");
            _exit(4);
        } catch (const Error& e) {
            _exit(e.number() == 91 ? 0 : 5);
        } catch (...) {
            _exit(6);
        }
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(fs::last_write_time(file), before);
    EXPECT_EQ(fs::file_size(file), size);
    EXPECT_EQ(lastNames(contactsFolder()), std::vector<std::string>{"Before"});
}

}  // namespace
}  // namespace lumora
