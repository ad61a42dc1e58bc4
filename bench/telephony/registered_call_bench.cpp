// Calls on a SIP line registered at a real PBX (kamailio on loopback), the callees sipp phones
// registered at the same PBX. Each call is one repetition; the medians are reported.
//
// - RegisteredLineMakeCallToInvite: from a page's MakeCall (the control and its Dialer) on the
//   line "Ann", whose kept agent registered before timing starts, to the INVITE's arrival at bob's
//   phone, as that sipp stamps it. It includes the call's way through the control to the agent,
//   the PBX's proxy challenge and the INVITE sent again with credentials, and the PBX relaying it.
// - SippCallerInviteToArrival, the floor: sipp registered as carol calls bob through the same PBX,
//   from the time stamp carol's sipp gives its first INVITE as sent to the arrival at bob's phone:
//   the same challenge, second INVITE and relay, without sipp's start or its registration (its
//   time from launch is shown as the counter from_launch_ms).
// - FirstAudioAfterAnswer: from the 200 OK that dave's phone sends (its sipp's stamp) to the
//   first RTP packet of the line's microphone (a WAV file) at the media port dave's answer names,
//   a socket of this benchmark. It includes the PBX relaying the 200 OK, the agent's ACK and the
//   start of its audio. Its target is absolute, under 100 ms; no peer runs.
// Needs kamailio, baresip (baresip-core) and sipp (sip-tester); without them the run says so and
// measures nothing. A line that does not register skips the line's two benchmarks, saying why.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "Automation/registry.hpp"
#include "Host/startup.hpp"
#include "Platform/Telephony/line_agent.hpp"
#include "Platform/Telephony/line_list.hpp"
#include "bench/median_reporter.hpp"
#include "rtp_listener.hpp"
#include "tests/Automation/temp_folder.hpp"
#include "tests/support/sipp_agents.hpp"
#include "tests/support/wav_tone.hpp"

namespace {

using namespace lumora;
using SystemClock = std::chrono::system_clock;
using testing::SipLoggedMessage;
using testing::SipUser;

// Dialled as numbers, so the users are numbers.
const SipUser kAnn{"201", "ann-pass"}, kBob{"202", "bob-pass"}, kCarol{"203", "carol-pass"}, kDave{"204", "dave-pass"};
constexpr int kCalls = 20;
constexpr auto kWait = std::chrono::seconds(10);

std::vector<SystemClock::time_point> invitesReceived(const std::vector<SipLoggedMessage>& messages) {
    std::vector<SystemClock::time_point> times;
    for (const SipLoggedMessage& message : messages)
        if (!message.sent && message.firstLine.starts_with("INVITE ")) times.push_back(message.time);
    return times;
}

std::optional<SystemClock::time_point> firstInviteSent(const std::vector<SipLoggedMessage>& messages) {
    for (const SipLoggedMessage& message : messages)
        if (message.sent && message.firstLine.starts_with("INVITE ")) return message.time;
    return std::nullopt;
}

// The first 200 OK sent after each INVITE received: the answers to the calls, not to their BYEs.
std::vector<SystemClock::time_point> answersSent(const std::vector<SipLoggedMessage>& messages) {
    std::vector<SystemClock::time_point> times;
    bool invited = false;
    for (const SipLoggedMessage& message : messages) {
        if (!message.sent && message.firstLine.starts_with("INVITE ")) invited = true;
        if (invited && message.sent && message.firstLine == "SIP/2.0 200 OK") {
            times.push_back(message.time);
            invited = false;
        }
    }
    return times;
}

// The `index`th (from 0) of the times `read` finds, once there, within the wait.
template <typename Read>
std::optional<SystemClock::time_point> nth(size_t index, Read read) {
    const auto deadline = std::chrono::steady_clock::now() + kWait;
    do {
        const auto times = read();
        if (times.size() > index) return times[index];
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
}

double secondsBetween(SystemClock::time_point from, SystemClock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

struct Rig {
    tests::TempFolder folder;
    testing::SipPbx pbx{{kAnn, kBob, kCarol, kDave}};
    bench::RtpListener media;
    testing::SippAnsweringPhone bob{pbx, kBob, folder.path(), 10 * kCalls};
    testing::SippAnsweringPhone dave{pbx, kDave, folder.path(), 10 * kCalls, media.port()};
    Object control;
    std::string lineProblem;

    Rig() {
        host::StartupOptions options;
        options.dataFolder = folder.path() / "data";
        host::startHost(options);
        // A 440 Hz tone as the line's microphone, as G.711 runs: 8 kHz mono.
        testing::writeToneWav(folder.path() / "tone.wav", 440, 1);
        telephony::Line ann = telephony::Line::sip("Ann", pbx.uriOf(kAnn.name), kAnn.password);
        ann.registers = true;
        ann.audio = "file:" + (folder.path() / "tone.wav").string();
        telephony::addLine(options.dataFolder, ann);
        try {
            control = Registry::instance().createObject("LumoraControl2005.LumoraCtrl2005");
        } catch (const std::exception& e) {
            lineProblem = std::string("the page's control could not be made: ") + e.what();
            return;
        }
        lineProblem = registerLine(telephony::readLines(options.dataFolder).at(0));
    }

    // Starts the line's kept agent, as calls find it, and waits for its registration: "" once
    // registered, otherwise why not.
    static std::string registerLine(const telephony::Line& line) {
        for (const std::string& problem : telephony::startRegistrations({line})) return problem;
        const auto agent = telephony::keptAgent(line, telephony::linePassword(line));
        const auto registration = agent->waitRegistered(std::chrono::steady_clock::now() + kWait);
        if (registration.state == telephony::Registration::State::Registered) return {};
        return "the line Ann did not register: " + telephony::registrationText(registration);
    }

    void makeCall(const SipUser& callee) {
        control.call("MakeCall", "number=" + callee.name + ";tapidevice=Ann;object=LumoraGenTAPI30.Dialer");
    }
};

std::unique_ptr<Rig> shared;
void RegisteredLineMakeCallToInvite(benchmark::State& state) {
    Rig* r = shared.get();
    for (auto _ : state) {
        const size_t seen = invitesReceived(r->bob.messages()).size();
        const auto started = SystemClock::now();
        r->makeCall(kBob);
        const auto invite = nth(seen, [&] { return invitesReceived(r->bob.messages()); });
        r->control.call("HangupCall");
        if (!invite) return state.SkipWithError("the INVITE did not reach bob's phone");
        state.SetIterationTime(secondsBetween(started, *invite));
    }
}

void SippCallerInviteToArrival(benchmark::State& state) {
    Rig* r = shared.get();
    for (auto _ : state) {
        const size_t seen = invitesReceived(r->bob.messages()).size();
        const auto launched = SystemClock::now();
        testing::SippCaller carol(r->pbx, kCarol, kBob.name, r->folder.path(), std::chrono::milliseconds(100));
        const auto invite = nth(seen, [&] { return invitesReceived(r->bob.messages()); });
        const auto sent = firstInviteSent(carol.messages());
        carol.ended(kWait);
        if (!invite || !sent) return state.SkipWithError("carol's INVITE did not reach bob's phone");
        state.SetIterationTime(secondsBetween(*sent, *invite));
        state.counters["from_launch_ms"] = 1000 * secondsBetween(launched, *invite);
    }
}

void FirstAudioAfterAnswer(benchmark::State& state) {
    Rig* r = shared.get();
    for (auto _ : state) {
        const size_t answered = answersSent(r->dave.messages()).size();
        r->makeCall(kDave);
        const auto answer = nth(answered, [&] { return answersSent(r->dave.messages()); });
        const auto audio = answer ? r->media.firstAfter(*answer, kWait) : std::nullopt;
        r->control.call("HangupCall");
        if (!answer) return state.SkipWithError("dave's phone did not answer");
        if (!audio) return state.SkipWithError("no audio came after the answer");
        state.SetIterationTime(secondsBetween(*answer, *audio));
    }
}

void add(const char* name, void (*benchmark)(benchmark::State&)) {
    benchmark::RegisterBenchmark(name, benchmark)
        ->UseManualTime()
        ->Iterations(1)
        ->Repetitions(kCalls)
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMillisecond);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!testing::SipPbx::available() || !testing::onPath("baresip") || !testing::onPath("sipp")) {
        std::printf("skipped: kamailio, baresip (baresip-core) or sipp (sip-tester) is not installed\n");
        return 0;
    }
    try {
        shared = std::make_unique<Rig>();
    } catch (const std::exception& e) {
        std::printf("skipped: the PBX and its phones did not start: %s\n", e.what());
        return 0;
    }
    add("SippCallerInviteToArrival", SippCallerInviteToArrival);
    if (shared->lineProblem.empty()) {
        add("RegisteredLineMakeCallToInvite", RegisteredLineMakeCallToInvite);
        add("FirstAudioAfterAnswer", FirstAudioAfterAnswer);
    } else {
        std::printf("skipped the line's benchmarks: %s\n", shared->lineProblem.c_str());
    }
    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio("RegisteredLineMakeCallToInvite", "SippCallerInviteToArrival");
    if (const double audio = reporter.milliseconds("FirstAudioAfterAnswer"); audio > 0)
        std::printf("FirstAudioAfterAnswer: median %.1f ms (target: under 100 ms)\n", audio);
    shared.reset();
    benchmark::Shutdown();
    return 0;
}
