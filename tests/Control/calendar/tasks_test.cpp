// Tasks through the control on a real store: showing one by entry id and what a page is told when
// it cannot be shown, the task folder list, the task list in the folder's own order, and one
// task's details with their date forms.

#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "Automation/vb/convert.hpp"
#include "Automation/vb/strings.hpp"
#include "Platform/Files/page_reach.hpp"
#include "tests/Control/support/outlook_fixture.hpp"

namespace lumora {
namespace {

constexpr int32_t kTasks = 13;
constexpr int32_t kContacts = 10;
const std::string kCard = "\xF0\x9F\x93\x87";  // a character outside the Basic Multilingual Plane

class TasksTest : public testing::OutlookControlTest {
protected:
    Object tasksFolder() { return defaultFolder(kTasks); }
    Object subfolder(const std::string& name, int32_t type = kTasks) {
        return tasksFolder().getObject("Folders").getObject("Add", name, type);
    }
    std::string saveTask(const Object& folder, const std::map<std::string, Variant>& values) {
        Object task = folder.getObject("Items").getObject("Add", int32_t{3});
        for (const auto& [name, value] : values) task.put(name, value);
        task.call("Save");
        return task.get("EntryID").toString();
    }
    std::string saveTask(const Object& folder, const std::string& subject) {
        return saveTask(folder, {{"Subject", Variant(subject)}});
    }
    static Variant at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
        return Variant(vb::toDate(vb::CivilTime{year, month, day, hour, minute, second}));
    }
};

TEST_F(TasksTest, OpenTaskShowsTheTaskOrSaysWhyItCannot) {
    const std::string id = saveTask(tasksFolder(), "Call back " + kCard);
    EXPECT_EQ(control.call("OpenTask", id), Variant(""));
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0].kind, "task");
    EXPECT_EQ(shown()[0].title, "Call back " + kCard);

    // A task in Deleted Items can still be shown; once deleted from there it is gone.
    item(id).call("Delete");
    EXPECT_EQ(control.call("OpenTask", id), Variant(""));
    item(id).call("Delete");
    EXPECT_EQ(control.call("OpenTask", id), Variant("The task cannot be found, it may have been deleted"));
    EXPECT_EQ(control.call("OpenTask", "{\"00FF\"}'"), Variant("The task cannot be found, it may have been deleted"));
    EXPECT_EQ(shown().size(), 2u);
    EXPECT_TRUE(boxes().empty());

    setFaults(testing::machineWithoutOutsideApplications());
    EXPECT_EQ(control.call("OpenTask", id), Variant("NoOutlook"));
}

TEST_F(TasksTest, APageOpeningAnotherUsersTaskIsToldItIsNotTheirs) {
    admin().call("AddMailbox", "Ann Lee");
    admin().call("Share", "Ann Lee", kTasks, true);
    Object ann = mapi().getObject("CreateRecipient", "Ann Lee");
    ann.call("Resolve");
    const std::string id = saveTask(mapi().getObject("GetSharedDefaultFolder", ann, kTasks), "Ann's task");
    admin().call("Share", "Ann Lee", kTasks, false);

    files::PageReach page({dataFolder() / "temp"});
    EXPECT_EQ(control.call("OpenTask", id), Variant("This task does not belong to you"));
    EXPECT_TRUE(shown().empty());
}

TEST_F(TasksTest, OpenTaskOnADamagedStoreGivesItsCode) {
    Registry::instance().forgetRunningInstances();
    std::ofstream(dataFolder() / "pim.sqlite", std::ios::binary | std::ios::trunc) << std::string(8192, 'Z');
    std::filesystem::remove(dataFolder() / "pim.sqlite-wal");
    EXPECT_EQ(control.call("OpenTask", "00FF"), Variant("8"));
    EXPECT_EQ(control.call("GetTaskFolderList"), Variant(""));
    expectLastBox("Could not find 'Tasks' folder.", "LumoraControl2005");
}

TEST_F(TasksTest, FolderListNamesTaskSubfoldersWithTasksOnly) {
    EXPECT_EQ(control.call("GetTaskFolderList"), Variant("Tasks#~"));
    subfolder("Empty");
    const Object contacts = subfolder("Contacts under tasks", kContacts);
    contacts.getObject("Items").getObject("Add").call("Save");
    const Object work = subfolder("Work \"A\" " + kCard);
    saveTask(work, "Plan");
    const Object home = subfolder("Home");
    saveTask(home, "Shop");
    EXPECT_EQ(control.call("GetTaskFolderList"), Variant("Tasks#~#~Work \"A\" " + kCard + "#~" +
                                                         work.get("EntryID").toString() + "#~Home#~" +
                                                         home.get("EntryID").toString() + "#"));
    EXPECT_TRUE(boxes().empty());
}

TEST_F(TasksTest, TaskListKeepsTheFolderOrderAndLeavesOutUnnamedTasksAndOtherItems) {
    const Object work = subfolder("Work");
    const std::string zulu = saveTask(work, "Zulu");
    saveTask(work, "");
    Object note = work.getObject("Items").getObject("Add", "IPM.Note");
    note.put("Subject", "A mail");
    note.call("Save");
    const std::string alpha = saveTask(work, "Alpha " + kCard);

    std::vector<Variant> arguments = {Variant(work.get("EntryID").toString() + "#")};
    EXPECT_EQ(callWith("GetFolderTaskItems", arguments), Variant("Zulu#~" + zulu + "#~Alpha " + kCard + "#~" + alpha + "#~"));
    EXPECT_EQ(arguments[0], work.get("EntryID"));
    EXPECT_EQ(control.call("GetFolderTaskItems", ""), Variant(""));  // the default folder holds none
    EXPECT_TRUE(boxes().empty());

    EXPECT_EQ(control.call("GetFolderTaskItems", "{\"no such folder\"}"), Variant(""));
    expectLastBox("An error occurred running GetFolderTaskItems", "LumoraControl2005");
}

TEST_F(TasksTest, DetailsGiveFourteenValuesWithDatesToTheMillisecondAndTheFolderIdLast) {
    const Object work = subfolder("Work");
    const std::string body(1 << 20, 'b');
    const std::string id = saveTask(
        work, {{"BillingInformation", Variant("Acme " + kCard)}, {"Body", Variant(body)}, {"Complete", Variant(true)},
               {"DateCompleted", at(2006, 3, 31, 17, 5)}, {"DueDate", at(2006, 4, 1, 9, 0, 30)},
               {"Importance", Variant(int32_t{2})}, {"PercentComplete", Variant(int32_t{100})},
               {"Sensitivity", Variant(int32_t{3})}, {"StartDate", at(2006, 3, 1)}, {"Status", Variant(int32_t{2})},
               {"Subject", Variant("Plan")}, {"TeamTask", Variant(true)}});
    const std::string folderId = work.get("EntryID").toString();
    EXPECT_EQ(control.call("ImportTask", folderId, id),
              Variant("Acme " + kCard + "#~" + body + "#~1#~2006-03-31 17:05:00.000#~2006-04-01 09:00:30.000#~2#~100#~3#~" +
                      "2006-03-01 00:00:00.000#~2#~Plan#~1#~" + id + "#~" + folderId));

    // Without a completion date the value is empty; without a due date it is the year 4501.
    const std::string bare = saveTask(tasksFolder(), "Bare");
    EXPECT_EQ(control.call("ImportTask", "", bare),
              Variant("#~#~0#~#~4501-01-01 00:00:00.000#~1#~0#~0#~4501-01-01 00:00:00.000#~0#~Bare#~0#~" + bare +
                      "#~" + tasksFolder().get("EntryID").toString()));
    EXPECT_TRUE(boxes().empty());
}

TEST_F(TasksTest, DetailsOfATaskOrFolderThatIsNotThereNameTheStep) {
    const std::string id = saveTask(tasksFolder(), "Plan");
    EXPECT_EQ(control.call("ImportTask", "", id + "\"}"), Variant(""));
    expectLastBox("An error occurred running ImportTask\r\nObject variable or With block variable not set\r\n"
                  "Retrieving task information",
                  "LumoraControl2005");
    EXPECT_EQ(control.call("ImportTask", tasksFolder().get("EntryID").toString() + "#", id), Variant(""));
    expectLastBox("An error occurred running ImportTask\r\nThe operation failed. An object could not be found.\r\n"
                  "Accessing chosen folder",
                  "LumoraControl2005");
    setFaults(testing::machineWithoutOutsideApplications());
    EXPECT_EQ(control.call("GetTaskFolderList"), Variant(""));
    EXPECT_EQ(control.call("GetFolderTaskItems", ""), Variant(""));
    EXPECT_EQ(control.call("ImportTask", "", id), Variant(""));
    EXPECT_EQ(boxes().size(), 5u);
    expectLastBox("Outlook does not appear to be installed", "LumoraControl2005");
}

}  // namespace
}  // namespace lumora
