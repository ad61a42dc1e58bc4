// The price of late binding: one call of the same member function made directly in C++, late
// bound by name through Object (the name found in the class's hashed member table), and late
// bound through a dispatch id resolved once beforehand. The class declares as many members as
// the desktop control does, so the tables are of a realistic size. The ratios of the late-bound
// forms to the direct call are printed after the results.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "Automation/object.hpp"

namespace {

using namespace lumora;

constexpr int kMembersLikeTheDesktopControl = 54;

class Counter : public Dispatch {
public:
    // The member function every variant ends in. Kept out of line so the direct call is a call.
    [[gnu::noinline]] int32_t add(int32_t amount) {
        m_total += amount;
        return m_total;
    }

    const TypeInfo& typeInfo() const override {
        static const TypeInfo info = [] {
            TypeInfo t("Counter");
            for (int i = 1; i < kMembersLikeTheDesktopControl; ++i)
                t.method<Counter>("Member" + std::to_string(i), i, {}, 0, [](Counter&, Args&) { return Variant(); });
            t.method<Counter>("Add", kMembersLikeTheDesktopControl, {"amount"}, 1,
                              [](Counter& c, Args& args) { return Variant(c.add(args[0].toI4())); });
            return t;
        }();
        return info;
    }

private:
    int32_t m_total = 0;
};

void directCall(benchmark::State& state) {
    auto counter = std::make_shared<Counter>();
    for (auto _ : state) benchmark::DoNotOptimize(counter->add(1));
}
BENCHMARK(directCall);

void lateBoundByName(benchmark::State& state) {
    Object counter = makeObject<Counter>();
    for (auto _ : state) benchmark::DoNotOptimize(counter.call("Add", 1));
}
BENCHMARK(lateBoundByName);

void lateBoundByDispatchId(benchmark::State& state) {
    Object counter = makeObject<Counter>();
    const DispId add = counter.idOf("Add");
    std::vector<Variant> slots;
    for (auto _ : state) {
        slots.assign(1, Variant(1));
        benchmark::DoNotOptimize(counter.invoke(add, MemberKind::Method, slots));
    }
}
BENCHMARK(lateBoundByDispatchId);

// Prints the results as usual and keeps each benchmark's time per call for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) m_nanoseconds[run.run_name.function_name] = perCall(run);
    }

    void printRatios() const {
        auto direct = m_nanoseconds.find("directCall");
        if (direct == m_nanoseconds.end() || direct->second <= 0) return;
        for (const char* name : {"lateBoundByName", "lateBoundByDispatchId"}) {
            auto late = m_nanoseconds.find(name);
            if (late != m_nanoseconds.end())
                std::printf("%s / directCall: %.1fx (%.1f ns against %.2f ns of CPU time per call)\n", name, late->second / direct->second,
                            late->second, direct->second);
        }
    }

private:
    static double perCall(const Run& run) {
        return run.iterations ? run.cpu_accumulated_time * 1e9 / static_cast<double>(run.iterations) : 0;
    }
    std::map<std::string, double> m_nanoseconds;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
