#pragma once
// The options every `lumora` command shares, read from anywhere on the command line.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "Automation/variant.hpp"
#include "Host/startup.hpp"
#include "Platform/Files/drive_map.hpp"
#include "Platform/Desktop/system_services.hpp"

namespace lumora::host::cli {

struct CliOptions {
    std::optional<std::filesystem::path> dataFolder;  // --data DIR
    std::optional<std::string> tempFolder;            // --temp DIR
    std::optional<Date> now;                          // --now yyyy-MM-ddTHH:mm:ss
    std::optional<std::string> locale;                // --locale NAME
    std::vector<files::DriveMapping> drives;          // --drive DRIVE=FOLDER, for this run
    bool launchPrograms = true;                       // --no-launch turns it off
    bool help = false;                                // --help, -h
    bool version = false;                             // --version

    desktop::SystemConfig systemConfig() const;
    StartupOptions startupOptions() const;
};

struct CommandLine {
    CliOptions options;
    std::string command;            // empty when none was given
    std::vector<std::string> args;  // the command's own arguments, in order
};

// Reads the global options wherever they stand (until a "--", which is kept for the command);
// the first other word is the command. Throws UsageError for a global option without its value,
// a bad --now, or an unknown option before the command.
CommandLine parseCommandLine(int argc, const char* const argv[]);

// The text of `lumora --help`: commands from the table, then the options; no line is wider
// than 80 columns.
std::string helpText();

// The text of `lumora --version`: the product's version and the deliverables'.
std::string versionText();

// Creates the --temp folder when it does not exist yet, so that the controls can write to it;
// throws UsageError naming the folder when it is no folder or cannot be made.
void ensureTempFolder(const CliOptions& options);

// Warnings about options that are taken but will not do what the user meant (a --locale this
// system does not know), one line each.
std::vector<std::string> optionWarnings(const CliOptions& options);

}  // namespace lumora::host::cli
