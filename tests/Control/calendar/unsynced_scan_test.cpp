// The scan for appointments and tasks not yet in the CRM, and marking an item, through the
// control on a real store with the clock pinned: the window's edges, the marks each kind needs,
// the records' exact form, and failures.

#include <gtest/gtest.h>

#include "Automation/vb/convert.hpp"
#include "tests/Control/support/outlook_fixture.hpp"

namespace lumora {
namespace {

constexpr int32_t kCalendar = 9;
constexpr int32_t kTasks = 13;
const std::string kGuidInBraces = "{12345678-1234-1234-1234-123456789012}";

class UnsyncedScanTest : public testing::OutlookControlTest {
protected:
    void SetUp() override {
        OutlookControlTest::SetUp();
        desktop().system().pinNow(at("2026-06-15 10:00:00").toDate());  // the cut-off day is 2026-03-15
    }
    static Variant at(const std::string& text) { return Variant(*vb::parseDate(text)); }
    std::string storeId() { return defaultFolder(kCalendar).get("StoreID").toString(); }
    Object appointment(const std::string& subject, const std::string& start, const Values& marks = {}) {
        return savedItem(defaultFolder(kCalendar), {{"Subject", subject}, {"Start", at(start)}}, marks);
    }
    Object task(const std::string& subject, const Values& marks, const Values& values = {}) {
        Values all = {{"Subject", Variant(subject)}};
        all.insert(all.end(), values.begin(), values.end());
        return savedItem(defaultFolder(kTasks), all, marks);
    }
    Variant mark(const std::string& type, const Object& item, const std::string& itemId,
                 const std::string& store = "") {
        return control.call("SetItemAsLumora", type, store.empty() ? storeId() : store, item.get("EntryID"), "AC-1",
                            itemId);
    }
    static std::string id(const Object& item) { return item.get("EntryID").toString(); }
};

TEST_F(UnsyncedScanTest, AppointmentsInsideTheWindowWithoutTheExactMarkAreListed) {
    EXPECT_EQ(control.call("GetUnsyncedAppts"), Variant(storeId() + "<-!->"));

    Object tomorrow =
        savedItem(defaultFolder(kCalendar), {{"Subject", "Tomorrow"}, {"Start", at("2026-06-16 09:30:00")},
                                             {"End", at("2026-06-16 10:30:00")}, {"Location", "Hall|2"},
                                             {"Body", "Line 1\r\nx|y"}});
    appointment("Day before the cut-off", "2026-03-14 23:59:00");
    appointment("On the cut-off day", "2026-03-15 23:00:00");
    Object dayAfter = appointment("Gig \xF0\x9F\x8E\xB8", "2026-03-16 00:00:00");
    // Without a start of its own an appointment starts at the next half hour and lasts 30 minutes.
    Object undated = savedItem(defaultFolder(kCalendar), {{"Subject", "a|b"}});
    appointment("Marked", "2026-06-16 09:00:00", {{"Lumora", "true"}});
    Object capital = appointment("Capital mark", "2026-06-16 09:00:00", {{"Lumora", "TRUE"}});
    savedItem(defaultFolder(kCalendar), {{"Subject", "A note"}}, {}, "IPM.Note");

    EXPECT_EQ(control.call("GetUnsyncedAppts"),
              Variant(storeId() + "<-!->" +
                      "202606160930|Tomorrow|2026-06-16 09:30:00|2026-06-16 10:30:00|Hall2|" + id(tomorrow) +
                      "|Line 1\r\nxy#~" +
                      "202603160000|Gig \xF0\x9F\x8E\xB8|2026-03-16 00:00:00|2026-03-16 00:30:00||" + id(dayAfter) +
                      "|#~" + "202606151030|ab|2026-06-15 10:30:00|2026-06-15 11:00:00||" + id(undated) + "|#~" +
                      "202606160900|Capital mark|2026-06-16 09:00:00|2026-06-16 09:30:00||" + id(capital) + "|#~"));
    EXPECT_TRUE(boxes().empty());
}

TEST_F(UnsyncedScanTest, TasksNeedTheirCrmIdAndALongIdOrTheMarkInAnyCase) {
    task("Guid only", {{"USTID", kGuidInBraces}});
    Object markOnly = task("Mark only", {{"Lumora", "true"}},
                           {{"Status", 2}, {"Importance", 2}, {"PercentComplete", 50},
                            {"StartDate", at("2026-06-20 00:00:00")}, {"DueDate", at("2026-06-30 17:00:00")},
                            {"Body", "Do|it"}, {"Companies", "Acme|Ltd"}});
    task("Capital mark", {{"Lumora", "TRUE"}, {"USTID", "{7}"}});
    Object shortId = task("Short id", {{"USTID", "{7}"}});
    task("Old", {}, {{"StartDate", at("2026-01-01 00:00:00")}});

    EXPECT_EQ(control.call("GetUnsyncedTasks"),
              Variant(storeId() + "<-!->" + "Mark only|" + id(markOnly) +
                      "|2|2|50|2026-06-20 00:00:00|2026-06-30 17:00:00|Doit|AcmeLtd#~" + "Short id|" + id(shortId) +
                      "|0|1|0|4501-01-01 00:00:00|4501-01-01 00:00:00||#~"));

    // Marked by the page, the task is left out of the next scan.
    EXPECT_EQ(mark("task", shortId, "abc"), Variant(true));
    EXPECT_EQ(userProperty(item(id(shortId)), "USTID"), "{abc}");
    EXPECT_EQ(control.call("GetUnsyncedTasks").toString().find("Short id"), std::string::npos);
}

TEST_F(UnsyncedScanTest, SetItemAsLumoraWritesTheMarksOfTheExactItemType) {
    Object activity = task("Activity", {});
    EXPECT_EQ(mark("accountactivity", activity, kGuidInBraces), Variant(true));
    EXPECT_EQ(userProperty(item(id(activity)), "USTID"), kGuidInBraces);
    EXPECT_EQ(userProperty(item(id(activity)), "Lumora"), "true");

    Object meeting = appointment("Meeting", "2026-06-16 09:00:00", {{"Lumora", "no"}});
    EXPECT_EQ(mark("appointment", meeting, "G-1"), Variant(true));
    EXPECT_EQ(userProperty(item(id(meeting)), "Lumora"), "true");
    EXPECT_EQ(userProperty(item(id(meeting)), "guid"), "G-1");
    EXPECT_EQ(userProperty(item(id(meeting)), "ACID"), "AC-1");
    Object other = appointment("Other", "2026-06-16 09:00:00");
    EXPECT_EQ(mark("Appointment", other, "G-2"), Variant(true));
    EXPECT_EQ(userProperty(item(id(other)), "Lumora"), "true");
    EXPECT_EQ(userProperty(item(id(other)), "guid"), "<none>");

    // A megabyte of id with characters beyond the first plane is kept whole.
    const std::string longId = std::string(1 << 20, 'x') + "\xF0\x9F\x98\x80\"{}";
    EXPECT_EQ(mark("contact", other, longId), Variant(true));
    EXPECT_EQ(userProperty(item(id(other)), "LUMORAID"), longId);
}

TEST_F(UnsyncedScanTest, AnItemOutsideTheStoreOrAnAbsentOutlookIsToldAndNothingIsSaved) {
    Object meeting = appointment("Meeting", "2026-06-16 09:00:00");
    EXPECT_EQ(control.call("SetItemAsLumora", "task", storeId(), "\"{00FF}\"", "AC-1", "1"), Variant(false));
    expectLastBox("The operation failed. An object could not be found.", "LumoraControl2005");
    const std::string annsStore = admin().call("AddMailbox", "Ann Lee").toString();
    EXPECT_EQ(mark("task", meeting, "1", annsStore), Variant(false));
    EXPECT_EQ(userProperty(item(id(meeting)), "Lumora"), "<none>");

    const std::string ownStore = storeId();
    RegistryFaults faults;
    faults.failFirst = {"Outlook.Application"};
    setFaults(faults);
    EXPECT_EQ(control.call("GetUnsyncedTasks"), Variant(ownStore + "<-!->"));  // the loopback retry

    setFaults(testing::machineWithoutOutsideApplications());
    const size_t before = boxes().size();
    EXPECT_EQ(control.call("GetUnsyncedAppts"), Variant(""));
    EXPECT_EQ(mark("task", meeting, "1", "any"), Variant(false));
    ASSERT_EQ(boxes().size(), before + 2);
    expectLastBox("ActiveX component can't create object", "LumoraControl2005");
}

}  // namespace
}  // namespace lumora
