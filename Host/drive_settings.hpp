#pragma once
// Where the drive table comes from. A page writes paths as its user's system did ("C:\Quotes\
// q.docx", "\\server\share\Letters"); each drive or share it may use stands for a local folder.
// The user keeps the table in the data folder (drives.json, edited with `lumora drives`), a
// command can add drives for one run (--drive DRIVE=FOLDER), and "C:" stands for the user's
// Lumora documents folder unless one of those maps it elsewhere.

#include <filesystem>
#include <string_view>
#include <vector>

#include "Platform/Files/drive_map.hpp"

namespace lumora::host {

// "C:=/home/u/Quotes" or "\\server\share=/mnt/share"; a relative folder is taken from the
// current folder. Error BadDriveSetting otherwise.
files::DriveMapping parseDriveSetting(std::string_view text);

// The table kept in dataFolder/drives.json: none when the file does not exist. Errors:
// DrivesFileUnreadable, BadDriveSetting.
std::vector<files::DriveMapping> savedDrives(const std::filesystem::path& dataFolder);
// Writes the table whole, replacing the file in one step. Error DrivesFileNotSaved.
void saveDrives(const std::filesystem::path& dataFolder, const std::vector<files::DriveMapping>& drives);

// The table in effect: the saved drives, then `given` (replacing a saved drive of the same
// name), then "C:" for the documents folder when neither maps it.
std::vector<files::DriveMapping> effectiveDrives(const std::filesystem::path& dataFolder,
                                                 const std::vector<files::DriveMapping>& given);
// Fills the process's drive table with the table in effect.
void applyDrives(const std::filesystem::path& dataFolder, const std::vector<files::DriveMapping>& given);

}  // namespace lumora::host
