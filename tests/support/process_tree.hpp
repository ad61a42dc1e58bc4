#pragma once
// The processes a test's program started, read from /proc: to show that helpers (a converter,
// a SIP user agent) end with the call or the program that started them.

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace lumora::tests {

struct ProcessInfo {
    pid_t pid = 0;
    pid_t parent = 0;
    char state = '?';
    std::string name;  // the command name, as ps shows it
};

// Nothing when the process is gone.
inline std::optional<ProcessInfo> processInfo(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), {});
    const size_t open = stat.find('('), close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos) return std::nullopt;
    ProcessInfo info;
    info.pid = pid;
    info.name = stat.substr(open + 1, close - open - 1);
    std::istringstream rest(stat.substr(close + 2));
    rest >> info.state >> info.parent;
    return info;
}

// Running, not a zombie waiting to be collected.
inline bool processAlive(pid_t pid) {
    const auto info = processInfo(pid);
    return info && info->state != 'Z' && info->state != 'X';
}

// Every live process below `root`, children before grandchildren.
inline std::vector<ProcessInfo> descendantsOf(pid_t root) {
    std::vector<ProcessInfo> all;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        if (auto info = processInfo(static_cast<pid_t>(std::stol(name)))) all.push_back(*info);
    }
    std::vector<ProcessInfo> found;
    std::vector<pid_t> parents{root};
    for (size_t next = 0; next < parents.size(); ++next)
        for (const ProcessInfo& info : all)
            if (info.parent == parents[next] && info.state != 'Z') {
                found.push_back(info);
                parents.push_back(info.pid);
            }
    return found;
}

inline bool anyNamed(const std::vector<ProcessInfo>& processes, const std::string& prefix) {
    for (const ProcessInfo& info : processes)
        if (info.name.rfind(prefix, 0) == 0) return true;
    return false;
}

}  // namespace lumora::tests
