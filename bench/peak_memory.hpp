#pragma once
// The growth of the peak resident memory while one piece of work runs, in KiB: measured in a
// child process that prepares the work, then does it once, so that what the benchmark did
// before (and the preparation) does not hide it. -1 when the child could not report.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

namespace lumora::bench {

struct PeakMemory {
    long growthKiB = -1;  // while the work ran, beyond the preparation's
    long peakKiB = -1;    // the child's whole peak: what the work and its preparation took together
};

// `prepare` sets the work up and returns it; only the returned work is measured. What the work
// holds is released before the child leaves. Measured in a child forked from this process, so
// the whole peak counts what this process held at the fork: measure before anything large.
inline PeakMemory peakMemory(const std::function<std::function<void()>()>& prepare) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return {};
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        std::function<void()> work = prepare();
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        work();
        rusage after{};
        getrusage(RUSAGE_SELF, &after);
        const PeakMemory measured{after.ru_maxrss - before.ru_maxrss, after.ru_maxrss};
        work = nullptr;  // lets go of what the preparation made (a store's folder) before leaving
        _exit(write(pipeEnds[1], &measured, sizeof measured) == sizeof measured ? 0 : 1);
    }
    close(pipeEnds[1]);
    PeakMemory measured;
    if (read(pipeEnds[0], &measured, sizeof measured) != sizeof measured) measured = {};
    close(pipeEnds[0]);
    waitpid(child, nullptr, 0);
    return measured;
}

inline long peakGrowthKiB(const std::function<std::function<void()>()>& prepare) {
    return peakMemory(prepare).growthKiB;
}

// "measured / floor peak memory growth: … KiB against … KiB (…x)"; a floor that needed no memory
// beyond its preparation has no ratio to give.
inline void printPeakGrowth(const char* measured, const char* floor, long measuredKiB, long floorKiB) {
    std::printf("%s / %s peak memory growth: %ld KiB against %ld KiB", measured, floor, measuredKiB, floorKiB);
    if (floorKiB > 0) std::printf(" (%.1fx)", static_cast<double>(measuredKiB) / static_cast<double>(floorKiB));
    std::printf("\n");
}

}  // namespace lumora::bench
