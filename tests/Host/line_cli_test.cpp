// `lumora lines` with SIP lines against a real PBX (kamailio on loopback): a line with a password
// registers, its password kept apart from the line list; `lines list` shows how each line's
// registration stands. `lumora run` transcripts record the calls' progress, and a host killed in
// the middle of a call takes its user agent along.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <nlohmann/json.hpp>
#include <thread>

#include "lumora_process.hpp"
#include "tests/Automation/temp_folder.hpp"
#include "tests/support/process_tree.hpp"
#include "tests/support/silent_sip_port.hpp"
#include "tests/support/sip_pbx.hpp"

namespace lumora::tests {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

bool installed(const char* program) { return std::system((std::string("command -v ") + program + " >/dev/null").c_str()) == 0; }

class SipLineCommandLine : public ::testing::Test {
protected:
    void SetUp() override {
        if (!installed("baresip") || !testing::SipPbx::available())
            GTEST_SKIP() << "baresip or kamailio is not installed (scripts/install-deps.sh --with-tests)";
        // The password goes to the owner's file here: no desktop keyring answers the test.
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
    ProcessResult lumora(std::vector<std::string> args, const std::string& input = {}) {
        args.insert(args.begin(), {"--data", data().string(), "--no-launch"});
        return runLumora(args, temp.path(), input);
    }
    fs::path passwordFile(const std::string& password) {
        const fs::path file = temp.path() / ("password-" + std::to_string(++m_files));
        std::ofstream(file) << password << "\n";
        return file;
    }
    json runScript(const json& script) {
        const ProcessResult run = lumora({"run", "-"}, script.dump());
        EXPECT_EQ(run.status, 0) << run.err;
        return json::parse(run.out)["steps"];
    }
    fs::path data() const { return temp.path() / "data"; }

    TempFolder temp;

private:
    int m_files = 0;
};

const json kMakeCall = {{"call", "d"}, {"member", "MakeCall"},
                        {"args", {"number=202;tapidevice=desk;object=LumoraGenTAPI30.Dialer"}}};

TEST_F(SipLineCommandLine, ALineWithAPasswordRegistersAndTheListShowsHowEachLineStands) {
    testing::SipPbx pbx({{"201", "right-pass"}});
    ProcessResult added = lumora({"lines", "add", "sip", "Desk", "--account", pbx.uriOf("201"), "--password-file",
                                  passwordFile("right-pass").string()});
    ASSERT_EQ(added.status, 0) << added.err;
    EXPECT_NE(added.out.find("it registers as " + pbx.uriOf("201")), std::string::npos) << added.out;
    EXPECT_NE(added.out.find("credentials.json"), std::string::npos) << added.out;
    ASSERT_EQ(lumora({"lines", "add", "sip", "Wrong", "--account", pbx.uriOf("201"), "--password-file",
                      passwordFile("wrong-pass").string()}).status, 0);
    ASSERT_EQ(lumora({"lines", "add", "sip", "Direct", "--account", "sip:desk@127.0.0.1:5999"}).status, 0);

    // The line list keeps no password; the owner's file does, readable by the owner alone.
    EXPECT_EQ(readWhole(data() / "lines.json").find("pass"), std::string::npos);
    struct stat kept {};
    ASSERT_EQ(::stat((data() / "credentials.json").c_str(), &kept), 0);
    EXPECT_EQ(kept.st_mode & 0777, 0600u);

    const ProcessResult listed = lumora({"lines", "list"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    const json lines = json::parse(listed.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0]["state"], "registered");
    EXPECT_EQ(lines[0]["password"], true);
    EXPECT_EQ(lines[1]["state"], "failing: 403 Forbidden");
    EXPECT_EQ(lines[2]["state"], "not registering");
    EXPECT_EQ(listed.out.find("right-pass"), std::string::npos);

    // A password the user agent cannot carry is refused before anything is kept.
    const ProcessResult refused = lumora({"lines", "add", "sip", "Bad", "--account", pbx.uriOf("201"),
                                          "--password-file", passwordFile("has a blank").string()});
    EXPECT_NE(refused.status, 0);
    EXPECT_NE(refused.err.find("without blanks"), std::string::npos) << refused.err;
    ASSERT_EQ(lumora({"lines", "remove", "Desk"}).status, 0);
    EXPECT_EQ(readWhole(data() / "credentials.json").find("right-pass"), std::string::npos);
}

TEST_F(SipLineCommandLine, TheTranscriptRecordsTheCallRingingAnsweredAndEndedWithItsLength) {
    ASSERT_EQ(lumora({"lines", "add", "loopback", "Desk"}).status, 0);
    const json steps = runScript({{"steps",
                                   {{{"create", "LumoraGenTAPI30.Dialer"}, {"as", "d"}},
                                    kMakeCall,
                                    {{"call", "d"}, {"member", "HangupCall"}}}}});
    ASSERT_EQ(steps.size(), 3u);
    ASSERT_EQ(steps[1]["calls"].size(), 2u);
    EXPECT_EQ(steps[1]["calls"][0]["state"], "ringing");
    EXPECT_EQ(steps[1]["calls"][0]["line"], "Desk");
    EXPECT_EQ(steps[1]["calls"][0]["number"], "202");
    EXPECT_EQ(steps[1]["calls"][1]["state"], "answered");
    ASSERT_EQ(steps[2]["calls"].size(), 1u);
    EXPECT_EQ(steps[2]["calls"][0]["state"], "ended");
    EXPECT_EQ(steps[2]["calls"][0]["seconds"], 0);
    EXPECT_EQ(steps[2]["calls"][0]["call"], steps[1]["calls"][0]["call"]);
}

TEST_F(SipLineCommandLine, AHostKilledMidCallTakesItsUserAgentAlong) {
    SilentSipPort farEnd;
    ASSERT_EQ(lumora({"lines", "add", "sip", "Desk", "--account", "sip:desk@127.0.0.1:" + std::to_string(farEnd.port()),
                      "--wait", "60"}).status, 0);
    const json script = {{"steps", {{{"create", "LumoraGenTAPI30.Dialer"}, {"as", "d"}}, kMakeCall}}};
    RunningLumora host({"--data", data().string(), "--no-launch", "run", "-"}, temp.path(), script.dump());
    ASSERT_TRUE(farEnd.receivedInvite(std::chrono::seconds(20)));
    std::vector<pid_t> agents;
    for (const auto& process : descendantsOf(host.pid()))
        if (process.name == "baresip") agents.push_back(process.pid);
    ASSERT_EQ(agents.size(), 1u);
    host.kill();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < deadline && processAlive(agents[0]))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(processAlive(agents[0]));
}

}  // namespace
}  // namespace lumora::tests
