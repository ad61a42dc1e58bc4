// The PIM from the command line: a displayed item in the transcript of `lumora run` with its
// fields, and `lumora pim` acting as the person at the PIM against the same store.

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "lumora_process.hpp"
#include "tests/Automation/temp_folder.hpp"

namespace lumora::tests {
namespace {

using nlohmann::json;

class PimCommandLine : public ::testing::Test {
protected:
    ProcessResult lumora(std::vector<std::string> args, const std::string& input = {}) {
        args.insert(args.begin(), {"--data", (temp.path() / "data").string(), "--no-launch", "--now", "2026-12-08T09:10:00"});
        return runLumora(args, temp.path(), input);
    }
    json run(const json& steps) {
        ProcessResult result = lumora({"run", "-"}, json{{"steps", steps}}.dump());
        EXPECT_EQ(result.status, 0) << result.err;
        return json::parse(result.out)["steps"];
    }
    TempFolder temp;
};

TEST_F(PimCommandLine, ADisplayedAppointmentIsTranscribedWithItsFields) {
    json steps = run(json::array({
        {{"create", "Outlook.Application"}, {"as", "ol"}},
        {{"call", "ol"}, {"member", "CreateItem"}, {"args", {1}}, {"as", "appt"}},
        {{"put", "appt"}, {"member", "Subject"}, {"value", "Call back"}},
        {{"call", "appt"}, {"member", "display"}},
    }));
    ASSERT_EQ(steps.size(), 4u);
    const std::string file = (temp.path() / "data" / "documents" / "Call back.ics").string();
    EXPECT_EQ(steps[3]["shown"], json::array({{{"kind", "appointment"},
                                               {"title", "Call back"},
                                               {"file", file},
                                               {"detail", "Subject: Call back\nStart: 2026-12-08 09:30:00\n"
                                                          "End: 2026-12-08 10:00:00\n"}}}));
}

TEST_F(PimCommandLine, PimCommandsShareACalendarAndSelectItemsForTheObjectModel) {
    ProcessResult added = lumora({"pim", "mailbox", "add", "Pat Lee"});
    ASSERT_EQ(added.status, 0) << added.err;
    std::string storeId = json::parse(added.out)["result"];
    EXPECT_EQ(lumora({"pim", "share", "Pat Lee", "9"}).status, 0);
    EXPECT_EQ(lumora({"pim", "share", "Nobody", "9"}).status, 1);
    EXPECT_EQ(lumora({"pim", "share", "Pat Lee", "calendar"}).status, 2);

    json saved = run(json::array({
        {{"create", "Outlook.Application"}, {"as", "ol"}},
        {{"call", "ol"}, {"member", "CreateItem"}, {"args", {2}}, {"as", "contact"}},
        {{"call", "contact"}, {"member", "Save"}},
        {{"get", "contact"}, {"member", "EntryID"}},
    }));
    std::string entryId = saved[3]["result"];
    EXPECT_EQ(lumora({"pim", "select", entryId}).status, 0);
    EXPECT_EQ(lumora({"pim", "select", "00FF"}).status, 1);

    json read = run(json::array({
        {{"create", "Outlook.Application"}, {"as", "ol"}},
        {{"call", "ol"}, {"member", "GetNamespace"}, {"args", {"MAPI"}}, {"as", "ns"}},
        {{"call", "ns"}, {"member", "CreateRecipient"}, {"args", {"Pat Lee"}}, {"as", "pat"}},
        {{"call", "ns"}, {"member", "GetSharedDefaultFolder"}, {"args", {{{"$object", "pat"}}, 9}}, {"as", "cal"}},
        {{"get", "cal"}, {"member", "StoreID"}},
        {{"call", "ol"}, {"member", "ActiveExplorer"}, {"as", "explorer"}},
        {{"get", "explorer"}, {"member", "Selection"}, {"as", "selection"}},
        {{"get", "selection"}, {"member", "Count"}},
    }));
    EXPECT_EQ(read[4]["result"], storeId);
    EXPECT_EQ(read[7]["result"], 1);
}

TEST_F(PimCommandLine, ImportAndExportExchangeFilesWithOtherPrograms) {
    {
        std::ofstream(temp.path() / "people.vcf") << "BEGIN:VCARD\nVERSION:3.0\nUID:urn:uuid:ann\nN:Lee;Ann;;;\nEND:VCARD\n"
                                                      "BEGIN:VCARD\nVERSION:4.0\nFN:Bo\nEND:VCARD\n";
    }
    // The result counts the file's items; byref, how many were new and how many updated.
    const std::string people = (temp.path() / "people.vcf").string();
    ProcessResult imported = lumora({"pim", "import", people});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(json::parse(imported.out)["result"], 2);
    EXPECT_EQ(json::parse(imported.out)["byref"], json::array({people, 2, 0}));
    ProcessResult again = lumora({"pim", "import", people});
    EXPECT_EQ(json::parse(again.out)["result"], 2);
    EXPECT_EQ(json::parse(again.out)["byref"], json::array({people, 1, 1}));  // Bo has no UID to match

    ProcessResult exported = lumora({"pim", "export", "--contacts", (temp.path() / "out.vcf").string()});
    ASSERT_EQ(exported.status, 0) << exported.err;
    std::ifstream in(temp.path() / "out.vcf");
    std::string card((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(card.find("UID:urn:uuid:ann\r\nFN:Ann Lee\r\nN:Lee;Ann;;;\r\n"), std::string::npos) << card;
    EXPECT_NE(card.find("FN:Bo\r\n"), std::string::npos);

    EXPECT_EQ(lumora({"pim", "export", "--notes", "out.txt"}).status, 2);
    EXPECT_EQ(lumora({"pim", "import", (temp.path() / "missing.vcf").string()}).status, 1);
}

}  // namespace
}  // namespace lumora::tests
