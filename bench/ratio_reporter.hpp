#pragma once
// Prints the benchmark results as usual, keeps each benchmark's time per iteration, and then
// prints how many times slower each measured form is than its peer, the targets being ratios.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <initializer_list>
#include <map>
#include <string>

namespace lumora::bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    enum class Clock { Cpu, Real };
    explicit RatioReporter(Clock clock = Clock::Cpu) : m_clock(clock) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                m_nanoseconds[run.run_name.function_name] = perIteration(run);
                // Benchmarks run with several arguments are told apart by their full name.
                m_nanoseconds[run.benchmark_name()] = perIteration(run);
            }
    }

    // "name / peer: 2.1x (… ns against … ns per iteration)" for each name measured.
    void printRatios(const char* peerName, std::initializer_list<const char*> names) const {
        auto peer = m_nanoseconds.find(peerName);
        if (peer == m_nanoseconds.end() || peer->second <= 0) return;
        for (const char* name : names) {
            auto measured = m_nanoseconds.find(name);
            if (measured != m_nanoseconds.end())
                std::printf("%s / %s: %.1fx (%.1f ns against %.2f ns of %s time per iteration)\n", name, peerName,
                            measured->second / peer->second, measured->second, peer->second,
                            m_clock == Clock::Cpu ? "CPU" : "real");
        }
    }

    // The time per iteration of a benchmark, in nanoseconds; 0 when it did not run.
    double nanoseconds(const char* name) const {
        auto found = m_nanoseconds.find(name);
        return found == m_nanoseconds.end() ? 0 : found->second;
    }

private:
    double perIteration(const Run& run) const {
        const double seconds = m_clock == Clock::Cpu ? run.cpu_accumulated_time : run.real_accumulated_time;
        return run.iterations ? seconds * 1e9 / static_cast<double>(run.iterations) : 0;
    }

    Clock m_clock;
    std::map<std::string, double> m_nanoseconds;
};

}  // namespace lumora::bench
