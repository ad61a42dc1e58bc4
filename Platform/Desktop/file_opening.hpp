#pragma once
// Opening a file the way a double click does, with the care a web page's request needs: the
// page names the file, so nothing that would run as a program may be opened.
// Internal to the desktop library; SystemServices::shellOpen is the public door.

#include <cstdint>
#include <filesystem>
#include <string>

namespace lumora::desktop::opening {

struct Checked {
    int32_t code = 0;                 // a shell:: code; shell::Ok when the file may be opened
    std::filesystem::path resolved;   // the file itself, symbolic links followed
};

// Missing file: FileNotFound when its folder exists, PathNotFound when it does not.
// Executables, scripts, launchers, installers, unreadable files and anything that is neither
// a regular file nor a folder: AccessDenied.
Checked checkFile(const std::filesystem::path& file);

// True for names whose extension marks a program, a script or a launcher, in any case.
bool hasProgramExtension(const std::filesystem::path& file);

// True for MIME types of programs, scripts, launchers and installers.
bool isProgramMimeType(const std::string& mimeType);

// Hands a checked file to the desktop's associated program: NoAssociation when the type has
// no default application or the opener is not installed, AccessDenied when the desktop sees it
// as a program after all, shell::Ok once the opener has been started (it is not waited for).
int32_t launchAssociated(const std::filesystem::path& resolved);

// Hands a link to the program the desktop names for its scheme (x-scheme-handler/SCHEME):
// NoAssociation when the text has no plain scheme or no program takes it; shell::Ok once the
// opener has been started, or at once when launch is false.
int32_t launchLink(const std::string& uri, bool launch);

}  // namespace lumora::desktop::opening
