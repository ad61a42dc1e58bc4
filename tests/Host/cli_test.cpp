// The lumora command line run as a process against a private data folder: call, run scripts
// with answers, clicks and failing steps, members, register and unregister, usage errors.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "Automation/error.hpp"
#include "lumora_process.hpp"
#include "sample_class.hpp"
#include "tests/Automation/temp_folder.hpp"

namespace lumora::tests {
namespace {

using nlohmann::json;

class LumoraCommandLine : public ::testing::Test {
protected:
    void SetUp() override {
        ProcessResult registered = lumora({"register", LUMORA_SAMPLE_SERVER_MODULE});
        ASSERT_EQ(registered.status, 0) << registered.err;
    }
    ProcessResult lumora(std::vector<std::string> args, const std::string& input = {}) {
        args.insert(args.begin(), {"--data", (temp.path() / "data").string(), "--no-launch"});
        return runLumora(args, temp.path(), input);
    }
    json runScript(const json& script, int expectedStatus = 0) {
        ProcessResult run = lumora({"run", "-"}, script.dump());
        EXPECT_EQ(run.status, expectedStatus) << run.err;
        return json::parse(run.out)["steps"];
    }
    TempFolder temp;
};

TEST_F(LumoraCommandLine, CallPrintsTheResultAndByReferenceValues) {
    ProcessResult greeting = lumora({"call", kSampleProgId, "Greet", "Ann"});
    ASSERT_EQ(greeting.status, 0) << greeting.err;
    json entry = json::parse(greeting.out);
    EXPECT_EQ(entry["result"], "Hello, Ann!");
    EXPECT_TRUE(entry["error"].is_null());
    EXPECT_EQ(entry["step"], 0);

    EXPECT_EQ(json::parse(lumora({"call", kSampleProgId, "Twice", "21"}).out)["byref"], json::array({42}));
    EXPECT_EQ(json::parse(lumora({"call", kSampleProgId, "Echo", R"({"$i2": 7})"}).out)["result"], json({{"$i2", 7}}));
    EXPECT_EQ(json::parse(lumora({"call", kSampleProgId, "Echo", "C:\\temp\\a b.docx"}).out)["result"],
              "C:\\temp\\a b.docx");
}

TEST_F(LumoraCommandLine, OptionsMayFollowTheCommandAndPinTheClock) {
    ProcessResult now = lumora({"call", kSampleProgId, "Now", "--now", "2026-12-08T09:00:00"});
    ASSERT_EQ(now.status, 0) << now.err;
    EXPECT_EQ(json::parse(now.out)["result"], json({{"$date", "2026-12-08T09:00:00"}}));
    EXPECT_EQ(json::parse(lumora({"call", kSampleProgId, "Echo", "--", "--literal"}).out)["result"], "--literal");
}

TEST_F(LumoraCommandLine, RelativeFoldersAreTakenFromWhereTheCommandRuns) {
    std::filesystem::create_directories(temp.path() / "work");
    ProcessResult registered = runLumora({"--data", "data", "register", LUMORA_SAMPLE_SERVER_MODULE}, temp.path(), {},
                                         temp.path() / "work");
    ASSERT_EQ(registered.status, 0) << registered.err;
    ProcessResult greeting = runLumora({"--data", "data", "--temp", "scratch/new", "call", kSampleProgId, "Greet", "Ann"},
                                       temp.path(), {}, temp.path() / "work");
    ASSERT_EQ(greeting.status, 0) << greeting.err;
    EXPECT_EQ(json::parse(greeting.out)["result"], "Hello, Ann!");
    EXPECT_TRUE(std::filesystem::exists(temp.path() / "work" / "data" / "registry.json"));
    EXPECT_TRUE(std::filesystem::is_directory(temp.path() / "work" / "scratch" / "new"));  // made for the controls
}

TEST_F(LumoraCommandLine, ATempFolderThatCannotBeMadeIsAUsageError) {
    std::ofstream(temp.path() / "plain") << "a file";
    for (const std::string& folder : {(temp.path() / "plain").string(), (temp.path() / "plain" / "below").string()}) {
        ProcessResult refused = lumora({"--temp", folder, "call", kSampleProgId, "Greet", "Ann"});
        EXPECT_EQ(refused.status, 2) << folder;
        EXPECT_EQ(refused.err.rfind("lumora: --temp: ", 0), 0u) << refused.err;
        EXPECT_NE(refused.err.find("'" + folder + "'"), std::string::npos) << refused.err;
        EXPECT_TRUE(refused.out.empty());
    }
}

TEST_F(LumoraCommandLine, AFailingCallExitsOneWithTheError) {
    ProcessResult failed = lumora({"call", kSampleProgId, "Fail", "No template"});
    EXPECT_EQ(failed.status, 1);
    json error = json::parse(failed.out)["error"];
    EXPECT_EQ(error["number"], kObjectErrorBase + kSampleErrorOffset);
    EXPECT_EQ(error["description"], "No template");
    EXPECT_EQ(error["source"], "LumoraHostTest.Sample.Fail");
    EXPECT_EQ(json::parse(lumora({"call", "Nobody.Home", "X"}).out)["error"]["number"], 429);
}

TEST_F(LumoraCommandLine, ScriptAnswersBoxesAndGoesOnAfterAFailingStep) {
    json steps = runScript({{"now", "2026-01-02T03:04:05"},
                            {"steps",
                             {{{"create", kSampleProgId}, {"as", "s"}},
                              {{"call", "s"}, {"member", "Ask"}, {"args", {"Save?", {{"$i2", 4}}, "CRM"}}, {"answers", {7}}},
                              {{"call", "s"}, {"member", "Ask"}, {"args", {"Save?", {{"$i2", 4}}}}},
                              {{"call", "s"}, {"member", "Fail"}, {"args", {"boom"}}},
                              {{"call", "s"}, {"member", "Child"}, {"as", "child"}},
                              {{"put", "child"}, {"member", "Caption"}, {"value", "Quote"}},
                              {{"get", "child"}, {"member", "Caption"}},
                              {{"call", "s"}, {"member", "Echo"}, {"args", {{{"$object", "child"}}}}},
                              {{"call", "s"}, {"member", "Now"}}}}});
    ASSERT_EQ(steps.size(), 9u);
    EXPECT_EQ(steps[1]["result"], json({{"$i2", 7}}));
    EXPECT_EQ(steps[1]["messageBoxes"],
              json::parse(R"([{"text": "Save?", "title": "CRM", "buttons": 4, "answer": 7}])"));
    EXPECT_EQ(steps[2]["messageBoxes"][0]["answer"], 6) << "an unanswered Yes/No box takes Yes";
    EXPECT_EQ(steps[2]["messageBoxes"][0]["title"], "LumoraHostTest");
    EXPECT_EQ(steps[3]["error"]["description"], "boom");
    EXPECT_EQ(steps[3]["result"], json({{"$empty", true}}));
    EXPECT_TRUE(steps[4]["error"].is_null());
    EXPECT_EQ(steps[6]["result"], "Quote");
    EXPECT_EQ(steps[7]["result"], steps[4]["result"]);
    EXPECT_EQ(steps[8]["result"], json({{"$date", "2026-01-02T03:04:05"}}));
}

TEST_F(LumoraCommandLine, AStreamedRunPrintsEachStepsEntryAsALineOfItsOwn) {
    const json script = {{"steps",
                          {{{"create", kSampleProgId}, {"as", "s"}},
                           {{"call", "s"}, {"member", "Fail"}, {"args", {"boom"}}},
                           {{"call", "s"}, {"member", "Greet"}, {"args", {"Ann"}}}}}};
    const json whole = runScript(script);
    for (const auto& args : {std::vector<std::string>{"run", "--stream", "-"}, {"run", "-", "--stream"}}) {
        ProcessResult streamed = lumora(args, script.dump());
        ASSERT_EQ(streamed.status, 0) << streamed.err;
        std::istringstream lines(streamed.out);
        json entries = json::array();
        for (std::string line; std::getline(lines, line);) entries.push_back(json::parse(line));
        EXPECT_EQ(entries, whole);
    }
    EXPECT_EQ(lumora({"run", "--streams", "-"}, script.dump()).status, 2);
    // After "--" it names the script.
    EXPECT_NE(lumora({"run", "--", "--stream"}).err.find("cannot read the script '--stream'"), std::string::npos);
}

TEST_F(LumoraCommandLine, ScriptedClicksReachTheWindowAndAreTranscribed) {
    json steps = runScript({{"steps",
                             {{{"create", kSampleProgId}, {"as", "s"}},
                              {{"call", "s"},
                               {"member", "Progress"},
                               {"args", {10}},
                               {"clicks", {{{"window", "frmProgress"}, {"button", "cmdCancel"}, {"afterPumps", 2}}}}}}}});
    EXPECT_EQ(steps[1]["result"], 2);
    json window = steps[1]["windows"].at(0);
    EXPECT_EQ(window["opened"]["name"], "frmProgress");
    EXPECT_EQ(window["final"]["labels"][0]["caption"], "Step 2");
    EXPECT_EQ(window["events"], json::parse(R"([{"kind": "click", "control": "cmdCancel"}])"));
    EXPECT_TRUE(window["closed"]);
}

TEST_F(LumoraCommandLine, InjectedFaultsAndFailedCreatesLeaveNamesAsNothing) {
    json steps = runScript({{"steps",
                             {{{"set", {{"absent", {kSampleProgId}}}}},
                              {{"create", kSampleProgId}, {"as", "s"}},
                              {{"call", "s"}, {"member", "Echo"}, {"args", {1}}},
                              {{"set", json::object()}},
                              {{"create", kSampleProgId}, {"as", "s"}},
                              {{"call", "s"}, {"member", "Echo"}, {"args", {1}}}}}});
    EXPECT_EQ(steps[1]["error"]["number"], 429);
    EXPECT_EQ(steps[2]["error"]["number"], 91);
    EXPECT_EQ(steps[5]["result"], 1);
}

TEST_F(LumoraCommandLine, AMalformedScriptNamesTheStepAndRunsNothing) {
    auto malformed = [&](const json& script) {
        ProcessResult run = lumora({"run", "-"}, script.dump());
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.out.empty()) << run.out;
        return run.err;
    };
    json create = {{"create", kSampleProgId}, {"as", "s"}};
    EXPECT_NE(malformed({{"steps", {create, create, create, {{"call", "s"}, {"member", 5}}}}})
                  .find("step 3: 'member' must be a string"),
              std::string::npos);
    EXPECT_NE(malformed({{"steps", {{{"call", "ghost"}, {"member", "Echo"}}}}}).find("step 0: no object is named 'ghost'"),
              std::string::npos);
    EXPECT_NE(malformed({{"steps", {create, {{"call", "s"}, {"membr", "Echo"}}}}}).find("step 1: unknown key 'membr'"),
              std::string::npos);
    EXPECT_NE(malformed({{"steps", {create, {{"call", "s"}, {"member", "Ask"}, {"answers", {"Yes"}}}}}})
                  .find("step 1: 'answers'"),
              std::string::npos);
    EXPECT_EQ(lumora({"run", "-"}, "{\"steps\": [").status, 2);
    EXPECT_EQ(lumora({"run", (temp.path() / "absent.json").string()}).status, 2);
}

TEST_F(LumoraCommandLine, MembersListsDispatchIdsKindsAndParameters) {
    ProcessResult members = lumora({"members", kSampleProgId});
    ASSERT_EQ(members.status, 0) << members.err;
    EXPECT_NE(members.out.find("0x60030004  method  Greet(name, [greeting], [punctuation])\n"), std::string::npos)
        << members.out;
    EXPECT_NE(members.out.find("0x6003000a  get     Caption\n"), std::string::npos);
    EXPECT_NE(members.out.find("0x6003000a  put     Caption = value\n"), std::string::npos);
}

TEST_F(LumoraCommandLine, UnregisteredServersCanNoLongerBeCreated) {
    ASSERT_EQ(lumora({"unregister", LUMORA_SAMPLE_SERVER_MODULE}).status, 0);
    EXPECT_EQ(json::parse(lumora({"call", kSampleProgId, "Echo", "1"}).out)["error"]["number"], 429);
    ProcessResult notALibrary = lumora({"register", (temp.path() / "stdin").string()});
    EXPECT_EQ(notALibrary.status, 1);
    EXPECT_NE(notALibrary.err.find("stdin"), std::string::npos) << notALibrary.err;
}

// The deliverables built beside the program are registered by the first command that needs them.
TEST_F(LumoraCommandLine, TheDesktopControlAnswersFromAFreshDataFolder) {
    ProcessResult version = lumora({"call", "LumoraControl2005.LumoraCtrl2005", "GetVersion"});
    ASSERT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(json::parse(version.out)["result"], "5.8.7");

    json steps = runScript({{"steps",
                             {{{"create", "LumoraControl2005.LumoraCtrl2005"}, {"as", "ctl"}},
                              {{"call", "ctl"}, {"member", "CreateMessage"}, {"args", {"Save?", {{"$i2", 4}}, "CRM"}},
                               {"answers", {7}}}}}});
    EXPECT_EQ(steps[1]["result"], json({{"$i2", 7}}));
    EXPECT_EQ(steps[1]["messageBoxes"][0]["title"], "CRM");

    ProcessResult members = lumora({"members", "LumoraControl2005.LumoraCtrl2005"});
    EXPECT_EQ(members.out.substr(0, members.out.find('\n')), "0x68030000  put     ServerName = value");
    EXPECT_NE(members.out.find("0x60030016  method  GetVersion()\n"), std::string::npos);
}

TEST_F(LumoraCommandLine, AScriptThatNeverEndsOrIsAFolderIsRefusedClearly) {
    ProcessResult endless = lumora({"run", "/dev/zero"});
    EXPECT_EQ(endless.status, 2);
    EXPECT_EQ(endless.err, "lumora: run: the script is larger than 64 MiB\n");
    ProcessResult folder = lumora({"run", temp.path().string()});
    EXPECT_EQ(folder.status, 2);
    EXPECT_EQ(folder.err, "lumora: run: '" + temp.path().string() + "' is a folder, not a script\n");
}

TEST_F(LumoraCommandLine, DrivesAreKeptInTheDataFolderAndGivenForOneRun) {
    const std::string data = (temp.path() / "data").string();
    const std::string quotes = (temp.path() / "quotes").string();
    std::filesystem::create_directories(quotes);
    std::ofstream(quotes + "/q.txt") << "q";
    // "C:" stands for the documents folder, made when a path on it is first used.
    EXPECT_EQ(json::parse(lumora({"drives"}).out), json({{"C:", data + "/documents"}}));
    EXPECT_FALSE(std::filesystem::exists(data + "/documents"));
    EXPECT_EQ(json::parse(lumora({"call", "Scripting.FileSystemObject", "FolderExists", "C:\\"}).out)["result"], true);
    EXPECT_TRUE(std::filesystem::is_directory(data + "/documents"));

    ProcessResult added = lumora({"drives", "add", "q", quotes});
    ASSERT_EQ(added.status, 0) << added.err;
    EXPECT_EQ(json::parse(added.out), json({{"C:", data + "/documents"}, {"Q:", quotes}}));
    EXPECT_EQ(json::parse(readWhole(data + "/drives.json")), json({{"Q:", quotes}}));
    EXPECT_EQ(json::parse(lumora({"call", "Scripting.FileSystemObject", "FileExists", "Q:\\q.txt"}).out)["result"], true);

    // For one run, a drive given on the command line; the saved table stays as it was.
    ProcessResult given = lumora({"--drive", "C:=" + quotes, "call", "Scripting.FileSystemObject", "FileExists", "C:\\q.txt"});
    EXPECT_EQ(json::parse(given.out)["result"], true) << given.err;
    EXPECT_EQ(lumora({"--drive", "C:" + quotes, "drives"}).status, 2);

    EXPECT_EQ(json::parse(lumora({"drives", "remove", "Q:"}).out), json({{"C:", data + "/documents"}}));
    EXPECT_EQ(lumora({"drives", "remove", "Q:"}).status, 2);
    EXPECT_EQ(json::parse(lumora({"call", "Scripting.FileSystemObject", "FileExists", "Q:\\q.txt"}).out)["result"], false);
    // The command line runs as the local user and keeps its local paths.
    EXPECT_EQ(json::parse(lumora({"call", "Scripting.FileSystemObject", "FileExists", quotes + "/q.txt"}).out)["result"], true);
}

TEST_F(LumoraCommandLine, UsageErrorsExitTwo) {
    EXPECT_EQ(lumora({}).status, 2);
    EXPECT_EQ(lumora({"frobnicate"}).status, 2);
    EXPECT_EQ(lumora({"call", kSampleProgId}).status, 2);
    EXPECT_EQ(lumora({"call", kSampleProgId, "Echo", "--bogus"}).status, 2);
    EXPECT_EQ(lumora({"--now", "tomorrow", "call", kSampleProgId, "Echo", "1"}).status, 2);
    ProcessResult help = lumora({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--no-launch"), std::string::npos);
}

TEST_F(LumoraCommandLine, HelpFitsEightyColumnsAndVersionNamesEveryControl) {
    ProcessResult help = lumora({"--help"});
    std::istringstream lines(help.out);
    for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 80u) << line;
    EXPECT_NE(help.out.find("  serve [--port N]"), std::string::npos);

    ProcessResult version = lumora({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out,
              "lumora 5.8.7\n  LumoraControl2005.LumoraCtrl2005 5.8.7\n  LumoraGenTAPI30.Dialer 1.0.1\n"
              "  LumoraMailContl.LumoraMailCtrl 5.1.9\n");
}

TEST_F(LumoraCommandLine, ALocaleTheSystemDoesNotKnowIsWarnedAbout) {
    ProcessResult unknown = lumora({"--locale", "xx_QQ", "call", kSampleProgId, "Echo", "1"});
    EXPECT_EQ(unknown.status, 0);
    EXPECT_EQ(unknown.err.rfind("lumora: warning: --locale 'xx_QQ' is not a locale this system knows", 0), 0u)
        << unknown.err;
    ProcessResult known = lumora({"--locale", "en_GB", "call", kSampleProgId, "Echo", "1"});
    EXPECT_EQ(known.err, "");
}

TEST_F(LumoraCommandLine, SampleTemplateIsWrittenIntoTheFolderNamed) {
    ProcessResult written = lumora({"sample-template", (temp.path() / "templates").string()});
    ASSERT_EQ(written.status, 0) << written.err;
    std::string listed;
    for (const char* name : {"Welcome letter.dotx", "Seminar invitation.dotx", "Welcome letter record.xml",
                             "Seminar invitation record.xml", "Quote.docx", "QuoteHtml.docx", "QuoteLines.htm",
                             "Quote.xml", "Campaign letter.docx", "Campaign recipients.xml"}) {
        listed += (temp.path() / "templates" / name).string() + "\n";
        EXPECT_TRUE(std::filesystem::is_regular_file(temp.path() / "templates" / name)) << name;
    }
    EXPECT_EQ(written.out, listed);
    EXPECT_EQ(lumora({"sample-template"}).status, 2);
}

}  // namespace
}  // namespace lumora::tests
