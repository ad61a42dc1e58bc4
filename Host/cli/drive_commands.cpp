// drives: the drive table kept in the data folder, which says what local folder each drive
// letter or share a page writes stands for.

#include <algorithm>
#include <filesystem>

#include "Automation/error.hpp"
#include "Automation/vb/strings.hpp"
#include "Host/drive_settings.hpp"
#include "commands.hpp"

namespace lumora::host::cli {

namespace {

constexpr const char* kUsage = "drives [list | add DRIVE FOLDER | remove DRIVE]";

std::filesystem::path dataFolderOf(const CliOptions& options) {
    std::filesystem::path folder = options.startupOptions().dataFolder;
    if (folder.empty()) folder = defaultDataFolder();
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder;
}

// {"C:": "/home/u/.local/share/lumora/documents", …}: the table a page sees in this run.
void printTable(const std::filesystem::path& dataFolder, const CliOptions& options) {
    nlohmann::json table = nlohmann::json::object();
    for (const auto& mapping : effectiveDrives(dataFolder, options.drives)) table[mapping.drive] = mapping.root.string();
    printJson(table);
}

int runDrives(const CliOptions& options, const std::vector<std::string>& rawArgs) {
    auto args = positionalArgs("drives", rawArgs);
    std::string action = args.empty() ? "list" : args[0];
    std::filesystem::path dataFolder = dataFolderOf(options);
    if (action == "list" && args.size() <= 1) {
        printTable(dataFolder, options);
        return kExitOk;
    }
    if (action == "add" && args.size() == 3) {
        files::DriveMapping added;
        try {
            added = parseDriveSetting(args[1] + "=" + args[2]);
        } catch (const Error& e) {
            throw UsageError("drives: " + e.description());
        }
        std::vector<files::DriveMapping> saved = savedDrives(dataFolder);
        std::erase_if(saved, [&](const files::DriveMapping& m) { return vb::equalsNoCase(m.drive, added.drive); });
        saved.push_back(added);
        saveDrives(dataFolder, saved);
        printTable(dataFolder, options);
        return kExitOk;
    }
    if (action == "remove" && args.size() == 2) {
        auto key = files::DriveMap::driveKey(args[1]);
        std::vector<files::DriveMapping> saved = savedDrives(dataFolder);
        size_t removed = key ? std::erase_if(saved, [&](const files::DriveMapping& m) {
            return vb::equalsNoCase(m.drive, *key);
        }) : 0;
        if (removed == 0) throw UsageError("drives: '" + args[1] + "' is not in the saved drive table");
        saveDrives(dataFolder, saved);
        printTable(dataFolder, options);
        return kExitOk;
    }
    throw UsageError(std::string("drives needs: lumora ") + kUsage);
}

const CommandRegistration kDrives{
    {"drives", kUsage, "lists or changes the local folders a page's drives (C:) and shares stand for", runDrives}};

}  // namespace

}  // namespace lumora::host::cli
