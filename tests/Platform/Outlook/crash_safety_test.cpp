// A process killed (SIGKILL) in the middle of a run of contact saves leaves a store that passes
// SQLite's integrity check and holds every contact whose save had returned.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <set>
#include <string>

#include "Platform/Outlook/sqlite_handles.hpp"
#include "pim_fixture.hpp"

namespace lumora::pim::tests {
namespace {

constexpr int kSavesBeforeKill = 40;

// Saves contacts until killed, writing each entry id to the pipe once its save has returned.
[[noreturn]] void saveContactsForever(int pipeOut) {
    try {
        Object contacts = Registry::instance()
                              .createObject("Outlook.Application")
                              .getObject("GetNamespace", "MAPI")
                              .getObject("GetDefaultFolder", 10);
        for (int i = 0;; ++i) {
            Object contact = contacts.getObject("Items").getObject("Add");
            contact.put("LastName", "Contact " + std::to_string(i));
            contact.put("User1", "Lumora");
            contact.call("Save");
            std::string line = contact.get("EntryID").toString() + "\n";
            if (write(pipeOut, line.data(), line.size()) != static_cast<ssize_t>(line.size())) _exit(3);
        }
    } catch (...) {
        _exit(2);
    }
}

TEST_F(PimTest, KilledInARunOfSavesTheStoreIsIntactAndHoldsEveryReturnedSave) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        close(pipeEnds[0]);
        saveContactsForever(pipeEnds[1]);
    }
    close(pipeEnds[1]);
    FILE* reported = fdopen(pipeEnds[0], "r");
    ASSERT_NE(reported, nullptr);
    std::set<std::string> returned;
    char line[256];
    while (returned.size() < kSavesBeforeKill && fgets(line, sizeof line, reported))
        returned.insert(std::string(line, strcspn(line, "\n")));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    // Saves that returned between the last read and the kill are in the pipe still.
    while (fgets(line, sizeof line, reported)) returned.insert(std::string(line, strcspn(line, "\n")));
    fclose(reported);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saving process ended by itself: " << WEXITSTATUS(status);
    ASSERT_GE(returned.size(), static_cast<size_t>(kSavesBeforeKill));

    PimStore reopened = store();
    Statement check(reopened.database(), "PRAGMA integrity_check");
    ASSERT_TRUE(check.step());
    EXPECT_EQ(check.text(0), "ok");
    for (const std::string& entryId : returned) EXPECT_TRUE(reopened.itemIdByEntryId(entryId)) << entryId;
    int64_t contacts = reopened.defaultFolder(reopened.currentMailbox().id, FolderType::Contacts).id;
    EXPECT_GE(reopened.itemIds(contacts).size(), returned.size());
}

}  // namespace
}  // namespace lumora::pim::tests
