#pragma once
// Host start-up: the data folder, the built-in stand-ins and the registration of the three
// deliverables, so that a page or a script can create any of them straight away.

#include <filesystem>
#include <string>
#include <vector>

namespace lumora::host {

struct StartupOptions {
    std::filesystem::path dataFolder;     // empty: defaultDataFolder()
    std::filesystem::path libraryFolder;  // empty: ../lib beside the running program
    // Off for the commands that register or unregister a library themselves.
    bool registerDeliverables = true;
};

struct StartupReport {
    std::filesystem::path dataFolder;
    std::vector<std::filesystem::path> registered;  // deliverables registered now
    std::vector<std::string> problems;              // deliverables that could not be registered, and why
};

// $XDG_DATA_HOME/lumora when that is an absolute path, else ~/.local/share/lumora.
std::filesystem::path defaultDataFolder();
// The folder of the running program (from /proc/self/exe).
std::filesystem::path programFolder();

// The file names of the deliverables' libraries, as the build writes them.
const std::vector<std::string>& deliverableLibraryNames();

// Creates the data folder, points the Registry at it, registers the stand-ins and registers each
// deliverable that the per-user registry lacks (or lists at a library that no longer exists)
// from the library folder. Throws Error 76 when the data folder cannot be created. Registering
// the stand-ins happens once per process however often this is called.
StartupReport startHost(const StartupOptions& options = {});

// The deliverable part of startHost, for a host that has set up the Registry itself.
void ensureDeliverablesRegistered(const std::filesystem::path& libraryFolder, StartupReport& report);

}  // namespace lumora::host
