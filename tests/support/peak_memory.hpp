#pragma once
// The process's peak resident memory, for tests that a piece of work stays within a bound
// instead of taking the memory first and failing afterwards. Linux keeps the peak in VmHWM and
// starts it again from the present size when "5" is written to clear_refs.

#include <cstddef>
#include <fstream>
#include <string>

namespace lumora::testing {

inline void resetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

// The peak since the last reset, in bytes; 0 when the system does not say.
inline size_t peakMemoryBytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stoul(line.substr(6)) * 1024;
    return 0;
}

inline size_t currentMemoryBytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stoul(line.substr(6)) * 1024;
    return 0;
}

}  // namespace lumora::testing
