// The PIM's history, undo and trash from the command line, against a store the object model
// wrote through `lumora run`: what the person reads, and the exit status a script checks.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "Platform/Outlook/sqlite_handles.hpp"
#include "lumora_process.hpp"
#include "tests/Automation/temp_folder.hpp"

namespace lumora::tests {
namespace {

using nlohmann::json;

class PimHistoryCommandLine : public ::testing::Test {
protected:
    ProcessResult lumora(std::vector<std::string> args) {
        args.insert(args.begin(), {"--data", (temp.path() / "data").string(), "--no-launch"});
        return runLumora(args, temp.path());
    }
    std::vector<std::string> linesOf(std::vector<std::string> args, int status = 0) {
        ProcessResult result = lumora(args);
        EXPECT_EQ(result.status, status) << result.out << result.err;
        std::vector<std::string> lines;
        std::istringstream out(result.out);
        for (std::string line; std::getline(out, line);) lines.push_back(line);
        return lines;
    }
    json run(json steps) {
        steps.insert(steps.begin(), json{{"create", "Outlook.Application"}, {"as", "ol"}});
        steps.insert(steps.begin() + 1, json{{"call", "ol"}, {"member", "GetNamespace"}, {"args", {"MAPI"}}, {"as", "ns"}});
        ProcessResult result = runLumora({"--data", (temp.path() / "data").string(), "--no-launch", "run", "-"},
                                         temp.path(), json{{"steps", steps}}.dump());
        EXPECT_EQ(result.status, 0) << result.err;
        return json::parse(result.out)["steps"];
    }
    // A contact saved by the object model; its entry id.
    std::string addContact(const std::string& first, const std::string& last) {
        return run(json::array({
            {{"call", "ol"}, {"member", "CreateItem"}, {"args", {2}}, {"as", "c"}},
            {{"put", "c"}, {"member", "FirstName"}, {"value", first}},
            {{"put", "c"}, {"member", "LastName"}, {"value", last}},
            {{"call", "c"}, {"member", "Save"}},
            {{"get", "c"}, {"member", "EntryID"}},
        }))[6]["result"];
    }
    void rename(const std::string& entryId, const std::string& last) {
        run(json::array({{{"call", "ns"}, {"member", "GetItemFromID"}, {"args", {entryId}}, {"as", "c"}},
                         {{"put", "c"}, {"member", "LastName"}, {"value", last}},
                         {{"call", "c"}, {"member", "Save"}}}));
    }
    std::string lastName(const std::string& entryId) {
        return run(json::array({{{"call", "ns"}, {"member", "GetItemFromID"}, {"args", {entryId}}, {"as", "c"}},
                                {{"get", "c"}, {"member", "LastName"}}}))[3]["result"];
    }
    void remove(const std::string& entryId) {
        run(json::array({{{"call", "ns"}, {"member", "GetItemFromID"}, {"args", {entryId}}, {"as", "c"}},
                         {{"call", "c"}, {"member", "Delete"}}}));
    }
    // The number that starts a history line.
    static int64_t entryOf(const std::string& line) { return std::stoll(line.substr(0, line.find(' '))); }

    TempFolder temp;
};

TEST_F(PimHistoryCommandLine, HistoryListsEntriesAndUndoRefusesWhatALaterCallChangedUntilForced) {
    const std::string lee = addContact("Ann", "Lee");
    rename(lee, "Li");
    rename(lee, "Lo");

    std::vector<std::string> history = linesOf({"pim", "history"});
    ASSERT_EQ(history.size(), 3u);
    EXPECT_NE(history[0].find("created 0, changed 1, moved 0, removed 0  "), std::string::npos)
        << history[0];
    EXPECT_NE(history[2].find("created 1, changed 0"), std::string::npos) << history[2];
    const int64_t firstRename = entryOf(history[1]);
    const int64_t secondRename = entryOf(history[0]);

    std::vector<std::string> refused = linesOf({"pim", "undo", std::to_string(firstRename)}, 1);
    EXPECT_EQ(refused, (std::vector<std::string>{
                           "nothing of entry " + std::to_string(firstRename) + " was undone",
                           "left alone, entry " + std::to_string(secondRename) +
                               " touched it again (--force undoes it anyway): " + lee}));
    EXPECT_EQ(lastName(lee), "Lo");

    std::vector<std::string> forced = linesOf({"pim", "undo", std::to_string(firstRename), "--force"});
    ASSERT_EQ(forced.size(), 1u);
    EXPECT_TRUE(forced[0].starts_with("undid entry " + std::to_string(firstRename) + " as entry ")) << forced[0];
    EXPECT_EQ(lastName(lee), "Lee");
    history = linesOf({"pim", "history", "--limit", "1"});
    ASSERT_EQ(history.size(), 1u);
    const int64_t undo = entryOf(history[0]);
    EXPECT_TRUE(history[0].ends_with("lumora pim undo " + std::to_string(firstRename) + " --force  (undoes " +
                                     std::to_string(firstRename) + ")"))
        << history[0];

    // Undoing the undo redoes: the name it replaced comes back.
    EXPECT_EQ(linesOf({"pim", "undo", std::to_string(undo)}).size(), 1u);
    EXPECT_EQ(lastName(lee), "Lo");

    EXPECT_EQ(linesOf({"pim", "history", "--item", lee, "--limit", "2"}).size(), 2u);
    EXPECT_EQ(linesOf({"pim", "history", "--item", "00FF"}), std::vector<std::string>{"no entries"});
    EXPECT_EQ(linesOf({"pim", "history", "--prune", "--limit", "1"})[0], "pruned 0 entries");

    ProcessResult unknown = lumora({"pim", "undo", "99999"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("no entry 99999"), std::string::npos) << unknown.err;
    EXPECT_EQ(lumora({"pim", "undo", "last"}).status, 2);
    EXPECT_EQ(lumora({"pim", "history", "--limit"}).status, 2);
    EXPECT_EQ(lumora({"pim", "trash", "burn"}).status, 2);
}

TEST_F(PimHistoryCommandLine, TrashListsRestoresAndEmptiesByAge) {
    const std::string ann = addContact("Ann", "Lee");
    const std::string bo = addContact("Bo", "Ma");
    const std::string cy = addContact("Cy", "Ng");
    for (const std::string& entryId : {ann, bo, cy}) remove(entryId);

    std::vector<std::string> trash = linesOf({"pim", "trash", "list"});
    ASSERT_EQ(trash.size(), 3u);
    EXPECT_TRUE(trash[0].starts_with(cy + "  contact  \"Ng, Cy\"  from Contacts  deleted ")) << trash[0];

    EXPECT_EQ(linesOf({"pim", "trash", "restore", ann, "00FF"}),
              (std::vector<std::string>{"restored " + ann + " to Contacts", "no such item: 00FF"}));
    EXPECT_EQ(linesOf({"pim", "trash", "restore", ann}, 1), std::vector<std::string>{"not in Deleted Items: " + ann});
    EXPECT_EQ(lastName(ann), "Lee");

    {
        pim::Database db(temp.path() / "data" / "pim.sqlite");
        db.execute("UPDATE items SET deleted_at = deleted_at - 10 * 86400000 WHERE entry_id = '" + bo + "'");
    }
    EXPECT_EQ(linesOf({"pim", "trash", "empty", "--older-than", "5"}), std::vector<std::string>{"removed 1 item for good"});
    trash = linesOf({"pim", "trash", "list"});
    ASSERT_EQ(trash.size(), 1u);
    EXPECT_TRUE(trash[0].starts_with(cy)) << trash[0];
    const int64_t emptied = entryOf(linesOf({"pim", "history", "--limit", "1"})[0]);
    EXPECT_EQ(linesOf({"pim", "trash", "empty"}), std::vector<std::string>{"removed 1 item for good"});
    EXPECT_EQ(linesOf({"pim", "trash", "list"}), std::vector<std::string>{"Deleted Items is empty"});

    EXPECT_EQ(linesOf({"pim", "undo", std::to_string(emptied)}, 1),
              (std::vector<std::string>{"nothing of entry " + std::to_string(emptied) + " was undone",
                                        "removed for good, cannot come back: " + bo}));
}

}  // namespace
}  // namespace lumora::tests
