#pragma once
// Prints the benchmark results as usual and keeps each benchmark's median wall-clock time per
// iteration, for benchmarks run with repetitions whose target is a ratio of medians (work that
// starts other processes, where the mean is swayed by the odd slow start).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace lumora::bench {

class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" && run.iterations)
                m_milliseconds[run.run_name.function_name] =
                    run.real_accumulated_time * 1e3 / static_cast<double>(run.iterations);
    }

    // The median in milliseconds; 0 when the benchmark did not run.
    double milliseconds(const std::string& name) const {
        auto found = m_milliseconds.find(name);
        return found == m_milliseconds.end() ? 0 : found->second;
    }

    // "name / peer: 0.09x (median 233 ms against 2518 ms)", when both ran.
    void printRatio(const std::string& name, const std::string& peer) const {
        const double measured = milliseconds(name), against = milliseconds(peer);
        if (measured <= 0 || against <= 0) return;
        std::printf("%s / %s: %.2fx (median %.1f ms against %.1f ms)\n", name.c_str(), peer.c_str(),
                    measured / against, measured, against);
    }

private:
    std::map<std::string, double> m_milliseconds;
};

}  // namespace lumora::bench
