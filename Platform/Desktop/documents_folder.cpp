#include "documents_folder.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string>
#include <system_error>

#include "Automation/error.hpp"
#include "Automation/error_table.hpp"
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

namespace {

namespace fs = std::filesystem;

[[noreturn]] void notPlaced(const fs::path& file) {
    throw composeError(static_cast<int32_t>(RuntimeError::PathFileAccessError), {}, {}, file.string());
}

// Removes a scratch file however the save ends.
struct ScratchFile {
    fs::path path;
    ~ScratchFile() {
        std::error_code ignored;
        fs::remove(path, ignored);
    }
};

// Creates the file empty unless it exists; false when it does.
bool reserveName(const fs::path& file) {
    const int descriptor = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (descriptor >= 0) {
        ::close(descriptor);
        return true;
    }
    if (errno == EEXIST) return false;
    notPlaced(file);
}

}  // namespace

fs::path keepInDocuments(std::string_view stem, std::string_view extension,
                         const std::function<void(const fs::path& scratch)>& write) {
    const fs::path folder = ensureDocumentsFolder();
    std::random_device random;
    const uint64_t bits = (static_cast<uint64_t>(random()) << 32) | random();
    ScratchFile scratch{folder / ("~" + std::string(stem) + "-" + std::to_string(bits) + std::string(extension))};
    write(scratch.path);
    for (int32_t number = 1;; ++number) {
        const fs::path target = folder / (std::string(stem) + std::to_string(number) + std::string(extension));
        std::error_code error;
        fs::create_hard_link(scratch.path, target, error);
        if (!error) return target;
        if (error == std::errc::file_exists) continue;
        // A folder without hard links: the name is taken by creating it empty and exclusively,
        // and the finished file then replaces that placeholder in one step.
        if (!reserveName(target)) continue;
        fs::rename(scratch.path, target, error);
        if (!error) return target;
        fs::remove(target, error);
        notPlaced(target);
    }
}

}  // namespace lumora::desktop
