#pragma once
// The user's Lumora documents folder: "documents" in the data folder. Pages may always reach it
// (the drive table's "C:" unless mapped elsewhere), and what the desktop produces for the user to
// keep (workbooks shown to them) is written there. It is made when first used.

#include <filesystem>

namespace lumora::desktop {

std::filesystem::path lumoraDocumentsFolder(const std::filesystem::path& dataFolder);
// The documents folder of the registry's data folder, made when it does not exist yet.
// Error 76 (path not found) when there is no data folder or the folder cannot be made.
std::filesystem::path ensureDocumentsFolder();

}  // namespace lumora::desktop
