// SIP lines against a real PBX: kamailio on loopback with digest authentication, registered
// lines placing and taking calls through it, and the sound that flows on them (a tone sent from a
// file, recorded at the other end). Without baresip, sipp or kamailio the tests are skipped.

#include <gtest/gtest.h>

#include <signal.h>

#include <thread>

#include "Platform/Telephony/line_agent.hpp"
#include "sip_far_end.hpp"
#include "telephony_fixture.hpp"
#include "tests/support/process_tree.hpp"
#include "tests/support/silent_sip_port.hpp"
#include "tests/support/sip_pbx.hpp"
#include "tests/support/sipp_agents.hpp"
#include "tests/support/wav_tone.hpp"

namespace lumora {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using telephony::Registration;

class RegisteredLines : public testing::TelephonyTest {
protected:
    void SetUp() override {
        for (const char* program : {"baresip", "sipp"})
            if (!testing::onPath(program)) GTEST_SKIP() << program << " is not installed (scripts/install-deps.sh --with-tests)";
        if (!testing::SipPbx::available()) GTEST_SKIP() << "kamailio is not installed (scripts/install-deps.sh --with-tests)";
        TelephonyTest::SetUp();
        desktop().setCallStates(states);
    }
    void TearDown() override {
        // The kept agents of the registered lines go with the test's lines.
        telephony::keepOnlyAgentsOf({});
        EXPECT_FALSE(tests::anyNamed(tests::descendantsOf(::getpid()), "baresip"));
        TelephonyTest::TearDown();
    }

    telephony::Line line(const std::string& name, const std::string& account, const std::string& password) {
        telephony::Line added = telephony::Line::sip(name, account, password);
        added.registers = true;
        return added;
    }
    telephony::Line add(telephony::Line added) {
        telephony::addLine(dataFolder(), added);
        return added;
    }

    // The reports so far, gathered over the test.
    const std::vector<desktop::CallState>& reports() {
        for (auto& state : states->take()) seen.push_back(std::move(state));
        return seen;
    }
    bool reported(const std::string& state, std::chrono::seconds wait = std::chrono::seconds(10)) {
        const auto deadline = Clock::now() + wait;
        do {
            for (const auto& report : reports())
                if (report.state == state) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        } while (Clock::now() < deadline);
        return false;
    }
    std::vector<std::string> stateNames() {
        std::vector<std::string> names;
        for (const auto& report : reports()) names.push_back(report.state);
        return names;
    }

    // The newest recording of what a line heard, in the folder of its sound file.
    static fs::path heardIn(const fs::path& folder) {
        fs::path newest;
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().filename().string().ends_with("-dec.wav") && entry.path() > newest) newest = entry.path();
        return newest;
    }

    std::shared_ptr<desktop::RecordedCallStates> states = std::make_shared<desktop::RecordedCallStates>();
    std::vector<desktop::CallState> seen;
};

TEST_F(RegisteredLines, TheRightPasswordRegistersAndAWrongOneFailsWithThePbxsReasonAndPlacesNoCall) {
    testing::SipPbx pbx({{"201", "right-pass"}});
    const auto right = add(line("Desk", pbx.uriOf("201"), "right-pass"));
    const auto wrong = add(line("Wrong desk", pbx.uriOf("201"), "wrong-pass"));
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    EXPECT_EQ(telephony::keptAgent(right, right.password)->waitRegistered(deadline).state, Registration::State::Registered);
    const Registration refused = telephony::keptAgent(wrong, wrong.password)->waitRegistered(deadline);
    EXPECT_EQ(refused.state, Registration::State::Failing);
    EXPECT_NE(refused.reason.find("403"), std::string::npos) << refused.reason;
    EXPECT_EQ(telephony::registrationText(refused), "failing: " + refused.reason);

    makeCall("number=202;tapidevice=wrong;object=LumoraGenTAPI30.Dialer");
    ASSERT_FALSE(boxes().empty());
    EXPECT_NE(boxes().back().request.text.find("The line is not registered with its PBX: " + refused.reason),
              std::string::npos)
        << boxes().back().request.text;
    EXPECT_EQ(stateNames(), std::vector<std::string>{"failed"});
}

TEST_F(RegisteredLines, ACallBetweenTwoRegisteredLinesRingsAnswersCarriesBothTonesAndHangsUp) {
    testing::SipPbx pbx({{"201", "ann-pass"}, {"202", "bob-pass"}});
    const fs::path annSound = dataFolder() / "ann", bobSound = dataFolder() / "bob";
    fs::create_directories(annSound);
    fs::create_directories(bobSound);
    // Two of our agents agree on Opus, whose sound runs at 48 kHz in stereo.
    testing::writeToneWav(annSound / "tone.wav", 1000, 10, 48000, 2);
    testing::writeToneWav(bobSound / "tone.wav", 400, 10, 48000, 2);
    auto ann = line("Ann", pbx.uriOf("201"), "ann-pass");
    ann.audio = "file:" + (annSound / "tone.wav").string();
    add(ann);
    auto bob = line("Bob", pbx.uriOf("202"), "bob-pass");
    bob.audio = "file:" + (bobSound / "tone.wav").string();
    auto bobAgent = telephony::keptAgent(add(bob), bob.password);
    ASSERT_EQ(bobAgent->waitRegistered(Clock::now() + std::chrono::seconds(10)).state, Registration::State::Registered);

    makeCall("number=202;tapidevice=ann;object=LumoraGenTAPI30.Dialer");
    EXPECT_TRUE(boxes().empty()) << boxes().back().request.text;
    // Bob's line rings; he answers.
    const std::string incoming = bobAgent->waitIncoming(Clock::now() + std::chrono::seconds(5));
    ASSERT_FALSE(incoming.empty());
    auto bobStates = std::make_shared<desktop::RecordedCallStates>();
    desktop::CallState bobCall;
    bobCall.line = "Bob";
    auto bobWatch = std::make_shared<telephony::CallWatch>("", bobCall, bobStates);
    bobAgent->answer(incoming, bobWatch);
    ASSERT_TRUE(reported("answered"));

    std::this_thread::sleep_for(std::chrono::seconds(3));
    control.call("HangupCall");
    ASSERT_TRUE(bobWatch->waitOver(Clock::now() + std::chrono::seconds(5)));
    EXPECT_EQ(bobWatch->reason(), "hung up by the other end");
    EXPECT_EQ(stateNames(), (std::vector<std::string>{"ringing", "answered", "ended"}));
    ASSERT_TRUE(reports().back().seconds.has_value());
    EXPECT_GE(*reports().back().seconds, 2);
    EXPECT_EQ(reports().back().reason, "hung up here");

    // Each end heard the other's tone for most of the three seconds.
    for (const auto& [folder, tone] : {std::pair{annSound, 400.0}, std::pair{bobSound, 1000.0}}) {
        const auto heard = testing::readWav(heardIn(folder));
        EXPECT_GT(heard.soundSeconds(), 2.0) << folder;
        EXPECT_GT(heard.toneShare(tone), 0.8) << folder;
    }
}

TEST_F(RegisteredLines, AnEchoingFarEndSendsBackTheToneInTheNegotiatedG711) {
    const fs::path sound = dataFolder() / "sound";
    fs::create_directories(sound);
    testing::writeToneWav(sound / "tone.wav", 1000, 10);
    testing::SippFarEnd farEnd(dataFolder(), 1, true);
    auto direct = telephony::Line::sip("Echo", "sip:desk@127.0.0.1:" + std::to_string(farEnd.port()));
    direct.audio = "file:" + (sound / "tone.wav").string();
    add(direct);
    makeCall("number=0123;tapidevice=echo;object=LumoraGenTAPI30.Dialer");
    ASSERT_TRUE(reported("answered"));
    std::this_thread::sleep_for(std::chrono::seconds(3));
    control.call("HangupCall");
    ASSERT_TRUE(reported("ended"));
    // The offer names Opus and G.711; sipp takes G.711 mu-law, and what comes back is the tone.
    const std::string messages = farEnd.messages();
    EXPECT_NE(messages.find("opus/48000"), std::string::npos);
    EXPECT_NE(messages.find("PCMU/8000"), std::string::npos);
    const auto heard = testing::readWav(heardIn(sound));
    EXPECT_EQ(heard.rate, 8000);
    EXPECT_GT(heard.soundSeconds(), 2.0);
    EXPECT_GT(heard.toneShare(1000), 0.8);
}

TEST_F(RegisteredLines, ALineWhoseSoundDeviceDoesNotWorkStillCallsAndSaysSoOnce) {
    testing::SippFarEnd farEnd(dataFolder(), 2);
    auto direct = telephony::Line::sip("Quiet", "sip:desk@127.0.0.1:" + std::to_string(farEnd.port()));
    direct.audio = "lumora-no-such-device";
    add(direct);
    for (int call = 0; call < 2; ++call) {
        makeCall("number=0123;tapidevice=quiet;object=LumoraGenTAPI30.Dialer");
        ASSERT_TRUE(boxes().empty()) << boxes().back().request.text;
        control.call("HangupCall");
    }
    std::vector<std::string> notices;
    for (const auto& report : reports())
        if (!report.notice.empty()) notices.push_back(report.notice);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_TRUE(notices[0].starts_with("The line 'Quiet' has no sound: the sound device 'lumora-no-such-device' does "
                                       "not work"))
        << notices[0];
    EXPECT_EQ(std::count_if(seen.begin(), seen.end(), [](const auto& r) { return r.state == "ended"; }), 2);
}

TEST_F(RegisteredLines, APbxThatNeverAnswersTheRegistrationIsToldWithinSeconds) {
    tests::SilentSipPort pbx;
    add(line("Desk", "sip:201@127.0.0.1:" + std::to_string(pbx.port()), "pass"));
    const auto started = Clock::now();
    makeCall("number=202;tapidevice=desk;object=LumoraGenTAPI30.Dialer");
    EXPECT_LT(Clock::now() - started, std::chrono::seconds(10));
    ASSERT_FALSE(boxes().empty());
    EXPECT_NE(boxes().back().request.text.find("The line is not registered with its PBX: the PBX 127.0.0.1 does not answer"),
              std::string::npos)
        << boxes().back().request.text;
}

TEST_F(RegisteredLines, APbxThatGoesMidCallLeavesTheCallToBeHungUpAtOnce) {
    testing::SipPbx pbx({{"201", "ann-pass"}, {"202", "bob-pass"}});
    testing::SippAnsweringPhone bob(pbx, {"202", "bob-pass"}, dataFolder());
    add(line("Ann", pbx.uriOf("201"), "ann-pass"));
    makeCall("number=202;tapidevice=ann;object=LumoraGenTAPI30.Dialer");
    ASSERT_TRUE(reported("answered"));
    pbx.stop();
    const auto started = Clock::now();
    control.call("HangupCall");
    EXPECT_LT(Clock::now() - started, std::chrono::seconds(3));
    EXPECT_TRUE(reported("ended"));
    EXPECT_TRUE(boxes().empty());
}

TEST_F(RegisteredLines, AUserAgentKilledMidCallEndsTheCallAndTheNextCallStartsAnother) {
    testing::SipPbx pbx({{"201", "ann-pass"}, {"202", "bob-pass"}});
    testing::SippAnsweringPhone bob(pbx, {"202", "bob-pass"}, dataFolder(), 2);
    add(line("Ann", pbx.uriOf("201"), "ann-pass"));
    makeCall("number=202;tapidevice=ann;object=LumoraGenTAPI30.Dialer");
    ASSERT_TRUE(reported("answered"));
    for (const auto& process : tests::descendantsOf(::getpid()))
        if (process.name == "baresip") ::kill(process.pid, SIGKILL);
    ASSERT_TRUE(reported("ended"));
    EXPECT_EQ(reports().back().reason, "the SIP user agent ended");
    control.call("HangupCall");

    makeCall("number=202;tapidevice=ann;object=LumoraGenTAPI30.Dialer");
    EXPECT_TRUE(boxes().empty()) << boxes().back().request.text;
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (Clock::now() < deadline && reports().back().state != "answered")
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(reports().back().state, "answered");
    control.call("HangupCall");
}

TEST_F(RegisteredLines, FiftyCallsInARowEachRingAnswerAndEndOnOneAgent) {
    constexpr int kCalls = 50;
    testing::SipPbx pbx({{"201", "ann-pass"}, {"202", "bob-pass"}});
    testing::SippAnsweringPhone bob(pbx, {"202", "bob-pass"}, dataFolder(), kCalls);
    add(line("Ann", pbx.uriOf("201"), "ann-pass"));
    for (int call = 1; call <= kCalls; ++call) {
        makeCall("number=202;tapidevice=ann;object=LumoraGenTAPI30.Dialer");
        ASSERT_TRUE(boxes().empty()) << "call " << call << ": " << boxes().back().request.text;
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (Clock::now() < deadline && (reports().empty() || reports().back().state != "answered"))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_EQ(reports().back().state, "answered") << "call " << call;
        control.call("HangupCall");
        ASSERT_EQ(reports().back().state, "ended") << "call " << call;
    }
    EXPECT_EQ(std::count_if(seen.begin(), seen.end(), [](const auto& r) { return r.state == "ended"; }), kCalls);
    const auto processes = tests::descendantsOf(::getpid());
    EXPECT_EQ(std::count_if(processes.begin(), processes.end(), [](const auto& p) { return p.name == "baresip"; }), 1);
    EXPECT_TRUE(bob.ended(std::chrono::seconds(10)));
    EXPECT_EQ(bob.exitCode(), 0);
}

}  // namespace
}  // namespace lumora
