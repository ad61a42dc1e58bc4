// A trivial call from a page over the bridge's WebSocket on loopback, against the same call
// made in-process through a session (what `lumora call` does): round-trip p50 and p99, calls
// per second from one page, one after another and pipelined, and the ratio to in-process.
// Target: p50 under 1 ms.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>
#include <chrono>
#include <filesystem>
#include <vector>

#include "Automation/registry.hpp"
#include "Host/bridge/bridge_server.hpp"
#include "Host/session.hpp"

namespace {

using namespace lumora;
namespace beast = boost::beast;
namespace websocket = beast::websocket;
namespace net = boost::asio;
using tcp = net::ip::tcp;
using nlohmann::json;
using Clock = std::chrono::steady_clock;

constexpr const char* kProgId = "LumoraBench.Trivial";

class Trivial : public Dispatch {
public:
    const TypeInfo& typeInfo() const override {
        static const TypeInfo info = [] {
            TypeInfo t("Trivial");
            t.method<Trivial>("GetVersion", 0x60030016, {}, 0, [](Trivial&, Args&) { return Variant("5.8.7"); });
            return t;
        }();
        return info;
    }
};

void registerTrivial() {
    static bool done = [] {
        Registry::instance().setDataFolder(std::filesystem::temp_directory_path() / "lumora-bench-data");
        Registry::instance().registerBuiltin(ClassInfo{kProgId, "", {}, [] { return makeObject<Trivial>(); }, false});
        return true;
    }();
    (void)done;
}

// A page on the other end: a plain synchronous WebSocket client.
struct Page {
    explicit Page(uint16_t port) : ws(io) {
        ws.next_layer().connect(tcp::endpoint(net::ip::make_address_v4("127.0.0.1"), port));
        ws.next_layer().set_option(tcp::no_delay(true));
        ws.set_option(websocket::stream_base::decorator([port](websocket::request_type& request) {
            request.set(beast::http::field::origin, "http://127.0.0.1:" + std::to_string(port));
        }));
        ws.handshake("127.0.0.1:" + std::to_string(port), "/rpc");
        ws.text(true);
        object = roundTrip(json{{"jsonrpc", "2.0"}, {"id", 0}, {"method", "create"}, {"params", {{"progId", kProgId}}}}
                               .dump())["result"]["object"];
        call = json{{"jsonrpc", "2.0"}, {"id", 1}, {"method", "call"},
                    {"params", {{"object", object}, {"member", "GetVersion"}, {"args", json::array()}}}}
                   .dump();
    }
    json roundTrip(const std::string& text) {
        ws.write(net::buffer(text));
        return read();
    }
    json read() {
        buffer.clear();
        ws.read(buffer);
        return json::parse(beast::buffers_to_string(buffer.data()));
    }

    net::io_context io;
    websocket::stream<tcp::socket> ws;
    beast::flat_buffer buffer;
    int64_t object = 0;
    std::string call;
};

std::unique_ptr<bridge::BridgeServer> startBridge() {
    registerTrivial();
    bridge::ServerOptions options;
    options.port = 0;
    options.page.desktop.launchPrograms = false;
    options.page.creatable.push_back(kProgId);
    auto server = std::make_unique<bridge::BridgeServer>(options);
    server->start();
    return server;
}

void InProcessCall(benchmark::State& state) {
    registerTrivial();
    host::Session session;
    host::ObjectId id = session.create(kProgId);
    json args = json::array();
    for (auto _ : state) benchmark::DoNotOptimize(session.call(id, "GetVersion", MemberKind::Method, args));
    state.counters["calls_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void WebSocketRoundTrip(benchmark::State& state) {
    auto server = startBridge();
    Page page(server->port());
    std::vector<double> latenciesUs;
    latenciesUs.reserve(1 << 16);
    for (auto _ : state) {
        auto start = Clock::now();
        benchmark::DoNotOptimize(page.roundTrip(page.call));
        latenciesUs.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    std::sort(latenciesUs.begin(), latenciesUs.end());
    auto at = [&](double q) { return latenciesUs[static_cast<size_t>(q * (latenciesUs.size() - 1))]; };
    state.counters["p50_us"] = at(0.50);
    state.counters["p99_us"] = at(0.99);
    state.counters["calls_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// Calls per second when the page sends a burst and reads the answers: the worker runs them one
// at a time while the network thread keeps reading.
void WebSocketPipelined(benchmark::State& state) {
    auto server = startBridge();
    Page page(server->port());
    const int64_t burst = state.range(0);
    for (auto _ : state) {
        for (int64_t i = 0; i < burst; ++i) page.ws.write(net::buffer(page.call));
        for (int64_t i = 0; i < burst; ++i) benchmark::DoNotOptimize(page.read());
    }
    state.counters["calls_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations() * burst), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(InProcessCall);
BENCHMARK(WebSocketRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(WebSocketPipelined)->Arg(64)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The ratio of the WebSocket round trip to the in-process call is printed after the table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            double perCall = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
            if (run.benchmark_name().starts_with("InProcessCall")) m_inProcessNs = perCall;
            if (run.benchmark_name().starts_with("WebSocketRoundTrip")) m_roundTripNs = perCall;
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        if (m_inProcessNs > 0 && m_roundTripNs > 0)
            GetOutputStream() << "WebSocket round trip / in-process call: " << m_roundTripNs / m_inProcessNs << "x ("
                              << m_roundTripNs / 1000 << " us vs " << m_inProcessNs / 1000 << " us)\n";
    }

private:
    double m_inProcessNs = 0;
    double m_roundTripNs = 0;
};

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
