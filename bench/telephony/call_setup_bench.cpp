// The time from a page's MakeCall to the INVITE on the wire, on a SIP line over loopback,
// against sipp calling sipp in the same run: both INVITEs reach the same sipp answering on
// loopback, which stamps each on arrival. MakeCall's time includes starting the line's own
// baresip; sipp's includes starting sipp. Reported as manual time per call, and the ratio.
// Needs baresip (baresip-core) and sipp (sip-tester); without them the benchmarks say so.

#include <benchmark/benchmark.h>

#include "Automation/registry.hpp"
#include "Host/startup.hpp"
#include "Platform/Desktop/headless_desktop.hpp"
#include "Platform/Telephony/line_list.hpp"
#include "tests/Automation/temp_folder.hpp"
#include "tests/Platform/Telephony/sip_far_end.hpp"

namespace {

using namespace lumora;
using SystemClock = std::chrono::system_clock;

struct Rig {
    tests::TempFolder folder;
    std::unique_ptr<testing::SippFarEnd> farEnd;
    Object control;
    size_t invitesSeen = 0;

    Rig() {
        host::StartupOptions options;
        options.dataFolder = folder.path() / "data";
        host::startHost(options);
        farEnd = std::make_unique<testing::SippFarEnd>(folder.path(), 100000);
        telephony::addLine(options.dataFolder,
                           telephony::Line::sip("Bench SIP", "sip:bench@127.0.0.1:" + std::to_string(farEnd->port())));
        control = Registry::instance().createObject("LumoraControl2005.LumoraCtrl2005");
    }

    // The arrival of the next INVITE, once sipp has logged it.
    std::optional<SystemClock::time_point> nextInvite() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            const auto times = farEnd->inviteTimes();
            if (times.size() > invitesSeen) return times[invitesSeen++];
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return std::nullopt;
    }
};

// Made at the first benchmark and ended after the last, so sipp is stopped by its pid.
std::unique_ptr<Rig> shared;

Rig* rig() {
    if (!shared && testing::onPath("baresip") && testing::onPath("sipp")) shared = std::make_unique<Rig>();
    return shared.get();
}

double secondsBetween(SystemClock::time_point from, SystemClock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

void MakeCallToInvite(benchmark::State& state) {
    Rig* r = rig();
    if (!r) return state.SkipWithError("baresip (baresip-core) or sipp (sip-tester) is not installed");
    double total = 0;
    for (auto _ : state) {
        const auto started = SystemClock::now();
        r->control.call("MakeCall", "number=0123456;tapidevice=bench;object=LumoraGenTAPI30.Dialer");
        const auto invite = r->nextInvite();
        if (!invite) return state.SkipWithError("the INVITE did not arrive");
        state.SetIterationTime(secondsBetween(started, *invite));
        total += secondsBetween(started, *invite);
        r->control.call("HangupCall");
    }
    state.counters["ms_per_call"] = 1000 * total / static_cast<double>(state.iterations());
}

void SippCallsSipp(benchmark::State& state) {
    Rig* r = rig();
    if (!r) return state.SkipWithError("baresip (baresip-core) or sipp (sip-tester) is not installed");
    double total = 0;
    for (auto _ : state) {
        const auto started = SystemClock::now();
        // At sipp's default pace of 10 calls a second its first INVITE waits 100 ms; -r 1000
        // lets it leave as soon as sipp is up, as MakeCall's does.
        testing::SippProcess caller({"-sn", "uac", "127.0.0.1:" + std::to_string(r->farEnd->port()), "-i", "127.0.0.1",
                                     "-p", std::to_string(testing::freeUdpPort()), "-m", "1", "-r", "1000", "-nostdin"},
                                    r->folder.path() / "sipp-caller.out");
        const auto invite = r->nextInvite();
        if (!invite) return state.SkipWithError("the INVITE did not arrive");
        state.SetIterationTime(secondsBetween(started, *invite));
        total += secondsBetween(started, *invite);
        caller.ended(std::chrono::seconds(10));
    }
    state.counters["ms_per_call"] = 1000 * total / static_cast<double>(state.iterations());
}

BENCHMARK(SippCallsSipp)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(MakeCallToInvite)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    shared.reset();
    benchmark::Shutdown();
    return 0;
}
