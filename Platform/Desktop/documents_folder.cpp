#include "documents_folder.hpp"

#include <system_error>

#include "Automation/error.hpp"
#include "Automation/registry.hpp"

namespace lumora::desktop {

std::filesystem::path lumoraDocumentsFolder(const std::filesystem::path& dataFolder) { return dataFolder / "documents"; }

std::filesystem::path ensureDocumentsFolder() {
    const std::filesystem::path dataFolder = Registry::instance().dataFolder();
    if (dataFolder.empty()) raise(RuntimeError::PathNotFound);
    const std::filesystem::path folder = lumoraDocumentsFolder(dataFolder);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder, error)) raise(RuntimeError::PathNotFound);
    return folder;
}

}  // namespace lumora::desktop
