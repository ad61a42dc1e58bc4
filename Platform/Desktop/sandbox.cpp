#include "sandbox.hpp"

#include <iostream>
#include <map>
#include <mutex>
#include <set>

#include "Automation/cancellation.hpp"
#include "child_process.hpp"

namespace lumora::desktop::sandbox {

namespace fs = std::filesystem;

namespace {

// The folders at the root that merged-/usr systems make links into /usr, and others keep as
// folders of their own: each is recreated inside as it is outside.
constexpr const char* kRootProgramFolders[] = {"/bin", "/sbin", "/lib", "/lib32", "/lib64", "/libx32"};
// Settings nearly every program reads and that say nothing about the person: fonts and their
// cache (without it each start rebuilds it), the loader's cache, the system's program choices.
constexpr const char* kSystemSettings[] = {"/etc/fonts", "/etc/ld.so.cache", "/etc/alternatives", "/etc/localtime",
                                           "/var/cache/fontconfig"};
constexpr auto kProbeTimeout = std::chrono::seconds(10);
constexpr const char* kSystemPath = "/usr/local/bin:/usr/bin:/bin";

std::vector<std::string> systemView(const fs::path& bubblewrap) {
    // Neither --die-with-parent, which ties the sandbox to the thread that started it (a warm
    // helper started by one page's worker must outlive that worker), nor --new-session, which
    // takes the helper out of the process group its starter ends it by: the library's ways of
    // running a program already give it a session of its own without a terminal, and a helper
    // ends when its input, which the host's end closes, closes.
    std::vector<std::string> args{bubblewrap.string(),
                                  "--unshare-all",  // no network but a loopback of its own, its own process tree
                                  "--cap-drop", "ALL",
                                  "--ro-bind", "/usr", "/usr"};
    for (const char* folder : kRootProgramFolders) {
        std::error_code error;
        const fs::file_status status = fs::symlink_status(folder, error);
        if (fs::is_symlink(status)) {
            const fs::path target = fs::read_symlink(folder, error);
            if (!error) args.insert(args.end(), {"--symlink", target.string(), folder});
        } else if (fs::is_directory(status)) {
            args.insert(args.end(), {"--ro-bind", folder, folder});
        }
    }
    for (const char* setting : kSystemSettings) args.insert(args.end(), {"--ro-bind-try", setting, setting});
    // Programs that a confined script starts by name are looked for where the sandbox has
    // programs: the host's own PATH may name folders the sandbox does not show.
    args.insert(args.end(), {"--proc", "/proc", "--dev", "/dev", "--tmpfs", "/tmp", "--setenv", "TMPDIR", "/tmp",
                             "--setenv", "PATH", kSystemPath});
    return args;
}

// Whether bubblewrap can make a sandbox here: it may be installed and still be refused the
// namespaces (a container without them, a kernel that forbids them to unprivileged users).
bool sandboxWorks(const fs::path& bubblewrap) {
    static std::mutex mutex;
    static std::map<fs::path, bool> known;
    std::lock_guard lock(mutex);
    if (const auto found = known.find(bubblewrap); found != known.end()) return found->second;
    std::vector<std::string> probe = systemView(bubblewrap);
    probe.insert(probe.end(), {"--", "/usr/bin/true"});
    const bool works = process::captureOutput(probe, std::chrono::duration_cast<std::chrono::milliseconds>(kProbeTimeout)).has_value();
    // A probe cut short by a cancelled call says nothing about the machine; remembering it would
    // leave every later conversion unconfined.
    if (!works) checkCancelled();
    known.emplace(bubblewrap, works);
    return works;
}

}  // namespace

std::optional<std::vector<std::string>> confinedCommand(const std::vector<std::string>& argv, const View& view) {
    const std::optional<fs::path> bubblewrap = process::findProgram("bwrap");
    if (!bubblewrap || argv.empty() || view.writable.empty() || !sandboxWorks(*bubblewrap)) return std::nullopt;
    std::vector<std::string> args = systemView(*bubblewrap);
    for (const fs::path& path : view.readOnly) args.insert(args.end(), {"--ro-bind-try", path.string(), path.string()});
    // Bound after the private /tmp, so a work folder under /tmp shows through it.
    const std::string work = view.writable.string();
    args.insert(args.end(), {"--bind", work, work, "--setenv", "HOME", work, "--chdir", work, "--"});
    args.insert(args.end(), argv.begin(), argv.end());
    return args;
}

void warnUnconfined(std::string_view helper) {
    static std::mutex mutex;
    static std::set<std::string, std::less<>> warned;
    std::lock_guard lock(mutex);
    if (!warned.emplace(helper).second) return;
    std::cerr << "lumora: warning: " << helper
              << " runs without a sandbox (bubblewrap is not installed, or this system refuses it namespaces), so "
                 "the documents it reads can reach the network and files outside its work folder\n"
              << std::flush;
}

}  // namespace lumora::desktop::sandbox
