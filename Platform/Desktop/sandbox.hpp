#pragma once
// Running a helper program that reads what others wrote (a template, a web page) shut off from
// the network and from the person's files. A document converter follows the links a document
// carries; inside the sandbox those links find no network and no file beyond the helper's own
// work folder, so nothing outside can be fetched or embedded into what it writes.
//
// The sandbox is made with bubblewrap: namespaces of its own (no network but a loopback of its
// own, its own process tree), no capabilities, and a file system made of the system's programs
// and libraries read-only, a private empty /tmp, and only the folders the caller names.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumora::desktop::sandbox {

// What a confined program sees besides the system's programs, libraries and the few settings
// every program reads (fonts, the loader's cache). Paths are the same inside as outside.
struct View {
    // Folders or files it may read, such as a program's own settings under /etc; those that do
    // not exist are left out.
    std::vector<std::filesystem::path> readOnly;
    // The one folder it may write: its work folder, which is also its home and its current folder.
    std::filesystem::path writable;
};

// The command line that runs argv (argv[0] a full path) confined to view; nullopt where this
// machine cannot confine a program (bubblewrap is not installed, or the kernel refuses it the
// namespaces it needs). Whether it can is found out once per process. Run it with this
// library's PipedChild or captureOutput, whose ending of a helper's process group ends
// everything inside the sandbox too.
std::optional<std::vector<std::string>> confinedCommand(const std::vector<std::string>& argv, const View& view);

// Says on standard error, once per process for each helper, that the helper runs unconfined,
// so whoever watches the program's output (lumora serve shows its standard error) knows.
void warnUnconfined(std::string_view helper);

}  // namespace lumora::desktop::sandbox
