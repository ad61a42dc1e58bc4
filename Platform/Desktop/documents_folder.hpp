#pragma once
// The user's Lumora documents folder: "documents" in the data folder. Pages may always reach it
// (the drive table's "C:" unless mapped elsewhere), and what the desktop produces for the user to
// keep (workbooks shown to them) is written there. It is made when first used.

#include <filesystem>
#include <functional>
#include <string_view>

namespace lumora::desktop {

std::filesystem::path lumoraDocumentsFolder(const std::filesystem::path& dataFolder);
// The documents folder of the registry's data folder, made when it does not exist yet.
// Error 76 (path not found) when there is no data folder or the folder cannot be made.
std::filesystem::path ensureDocumentsFolder();

// Puts a file for the user into the documents folder under the first free name among stem1,
// stem2 … (with the extension): `write` fills a scratch file of its own there, which is then
// linked under the name. A link never replaces an existing file, so two pages saving at once
// each get their own, and no half-written file ever carries a user's name. Returns the file.
// Errors: 76 without a documents folder, 75 when the file cannot be placed, and those of write.
std::filesystem::path keepInDocuments(std::string_view stem, std::string_view extension,
                                      const std::function<void(const std::filesystem::path& scratch)>& write);

}  // namespace lumora::desktop
