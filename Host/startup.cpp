#include "startup.hpp"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>

#include "Automation/registry.hpp"
#include "Automation/traps.hpp"
#include "server_library.hpp"
#include "stand_ins.hpp"

namespace lumora::host {

namespace {

std::filesystem::path homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return {};
}

// True when the registry already has a working registration of the deliverable that ships beside
// this program. A registration of another build's copy does not count: the deliverables share this
// build's runtime libraries, so the host keeps them to its own copy, and one left behind by an older
// build or another checkout is renewed.
bool isRegistered(const std::filesystem::path& bundledLibrary) {
    std::error_code ec;
    for (const auto& server : Registry::instance().servers()) {
        if (server.library.filename() != bundledLibrary.filename()) continue;
        if (!std::filesystem::is_regular_file(server.library, ec)) continue;
        if (!std::filesystem::exists(bundledLibrary, ec) || std::filesystem::equivalent(server.library, bundledLibrary, ec))
            return true;
    }
    return false;
}

std::string hresultText(int32_t hresult) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<uint32_t>(hresult));
    return text;
}

}  // namespace

std::filesystem::path defaultDataFolder() {
    // The XDG base-directory rules ignore a relative XDG_DATA_HOME.
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg && std::filesystem::path(xdg).is_absolute())
        return std::filesystem::path(xdg) / "lumora";
    return homeFolder() / ".local" / "share" / "lumora";
}

std::filesystem::path programFolder() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path() : exe.parent_path();
}

const std::vector<std::string>& deliverableLibraryNames() {
    static const std::vector<std::string> names{"libLumoraControl2005.so", "libLumoraGenTAPI30.so",
                                                "libLumoraMailContl.so"};
    return names;
}

void ensureDeliverablesRegistered(const std::filesystem::path& libraryFolder, StartupReport& report) {
    for (const auto& name : deliverableLibraryNames()) {
        auto library = libraryFolder / name;
        if (isRegistered(library)) continue;
        std::error_code ec;
        // A deliverable that is not built is simply not offered.
        if (!std::filesystem::is_regular_file(library, ec)) continue;
        auto failure = tryLocal([&] {
            int32_t hresult = runRegistration(library, Registration::Register);
            if (hresult != 0) throw Error(hresult, "DllRegisterServer failed with " + hresultText(hresult));
        });
        if (failure)
            report.problems.push_back(library.string() + ": " + failure->description());
        else
            report.registered.push_back(library);
    }
}

StartupReport startHost(const StartupOptions& options) {
    StartupReport report;
    report.dataFolder = options.dataFolder.empty() ? defaultDataFolder() : options.dataFolder;
    std::error_code ec;
    std::filesystem::create_directories(report.dataFolder, ec);
    if (!std::filesystem::is_directory(report.dataFolder, ec))
        throw Error(static_cast<int32_t>(RuntimeError::PathNotFound), "Path not found: " + report.dataFolder.string());
    Registry::instance().setDataFolder(report.dataFolder);

    static std::once_flag standIns;
    std::call_once(standIns, registerStandIns);

    if (!options.registerDeliverables) return report;
    auto libraryFolder = options.libraryFolder.empty() ? programFolder().parent_path() / "lib" : options.libraryFolder;
    ensureDeliverablesRegistered(libraryFolder, report);
    return report;
}

}  // namespace lumora::host
