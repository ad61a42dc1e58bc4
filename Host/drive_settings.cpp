#include "drive_settings.hpp"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <system_error>

#include "Automation/vb/strings.hpp"
#include "Platform/Desktop/documents_folder.hpp"
#include "host_errors.hpp"

namespace lumora::host {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDrivesFile = "drives.json";
constexpr const char* kDefaultDrive = "C:";

files::DriveMapping mappingOf(std::string_view drive, std::string_view folder) {
    auto key = files::DriveMap::driveKey(drive);
    if (!key || folder.empty()) raise(HostError::BadDriveSetting, std::string(drive) + "=" + std::string(folder));
    std::error_code error;
    fs::path absolute = fs::absolute(fs::path(folder), error);
    if (error) raise(HostError::BadDriveSetting, std::string(drive) + "=" + std::string(folder));
    return files::DriveMapping{*key, absolute.lexically_normal()};
}

void putMapping(std::vector<files::DriveMapping>& drives, files::DriveMapping mapping) {
    auto same = std::find_if(drives.begin(), drives.end(),
                             [&](const files::DriveMapping& m) { return vb::equalsNoCase(m.drive, mapping.drive); });
    if (same != drives.end())
        *same = std::move(mapping);
    else
        drives.push_back(std::move(mapping));
}

}  // namespace

files::DriveMapping parseDriveSetting(std::string_view text) {
    // A share's name holds no "=", so the first one ends the drive.
    size_t equals = text.find('=');
    if (equals == std::string_view::npos) raise(HostError::BadDriveSetting, text);
    return mappingOf(text.substr(0, equals), text.substr(equals + 1));
}

std::vector<files::DriveMapping> savedDrives(const fs::path& dataFolder) {
    std::vector<files::DriveMapping> drives;
    std::ifstream in(dataFolder / kDrivesFile, std::ios::binary);
    if (!in) return drives;
    nlohmann::json table = nlohmann::json::parse(std::istreambuf_iterator<char>(in), {}, nullptr, false);
    if (!table.is_object()) raise(HostError::DrivesFileUnreadable, (dataFolder / kDrivesFile).string());
    for (const auto& [drive, folder] : table.items()) {
        if (!folder.is_string()) raise(HostError::DrivesFileUnreadable, (dataFolder / kDrivesFile).string());
        putMapping(drives, mappingOf(drive, folder.get_ref<const std::string&>()));
    }
    return drives;
}

void saveDrives(const fs::path& dataFolder, const std::vector<files::DriveMapping>& drives) {
    nlohmann::json table = nlohmann::json::object();
    for (const auto& mapping : drives) table[mapping.drive] = mapping.root.string();
    fs::path target = dataFolder / kDrivesFile;
    fs::path written = dataFolder / (std::string(kDrivesFile) + ".new");
    {
        std::ofstream out(written, std::ios::binary | std::ios::trunc);
        out << table.dump(2) << '\n';
        if (!out.flush()) raise(HostError::DrivesFileNotSaved, target.string());
    }
    std::error_code error;
    fs::rename(written, target, error);
    if (error) {
        fs::remove(written, error);
        raise(HostError::DrivesFileNotSaved, target.string());
    }
}

std::vector<files::DriveMapping> effectiveDrives(const fs::path& dataFolder,
                                                 const std::vector<files::DriveMapping>& given) {
    std::vector<files::DriveMapping> drives = savedDrives(dataFolder);
    for (const auto& mapping : given) putMapping(drives, mapping);
    bool hasDefault = std::any_of(drives.begin(), drives.end(),
                                  [](const files::DriveMapping& m) { return m.drive == kDefaultDrive; });
    if (!hasDefault)
        drives.push_back(files::DriveMapping{kDefaultDrive, desktop::lumoraDocumentsFolder(dataFolder).lexically_normal(),
                                             files::FolderCreation::OnFirstUse});
    return drives;
}

void applyDrives(const fs::path& dataFolder, const std::vector<files::DriveMapping>& given) {
    std::vector<files::DriveMapping> drives = effectiveDrives(dataFolder, given);
    files::DriveMap& table = files::DriveMap::instance();
    table.clearAll();
    for (const auto& mapping : drives) table.set(mapping.drive, mapping.root, mapping.creation);
}

}  // namespace lumora::host
