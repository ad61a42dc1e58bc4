#pragma once
// The drive table: which local folder stands for a drive letter ("C:") or a network share
// ("\\server\share") in the paths a page sends. The host fills it from its configuration; a
// drive or share that is not in the table does not exist for the file-system object
// (error 76, "Path not found"), so a page can never reach past the folders it was given.

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumora::files {

// Whether a drive's folder is made when a page first names a path on the drive.
enum class FolderCreation { Existing, OnFirstUse };

struct DriveMapping {
    std::string drive;           // "C:" or "\\server\share", as the page writes it
    std::filesystem::path root;  // the local folder standing for it
    FolderCreation creation = FolderCreation::Existing;
};

// True when `folder` is `path` or one of its ancestors, compared component by component.
bool folderHolds(const std::filesystem::path& folder, const std::filesystem::path& path);

class DriveMap {
public:
    // The process's table, shared by every thread.
    static DriveMap& instance();

    // Maps a drive ("C:", "c:", "C") or a share ("\\server\share", "//server/share") to an
    // absolute local folder, replacing an earlier mapping of the same drive. Error 5 when the
    // drive is not in either form or the folder is not absolute.
    void set(std::string_view drive, const std::filesystem::path& root,
             FolderCreation creation = FolderCreation::Existing);
    void clear(std::string_view drive);
    void clearAll();

    // The folder a drive stands for, nullopt when it is not mapped. Letters and share names
    // are compared without regard to case, as the page's system did.
    std::optional<std::filesystem::path> root(std::string_view drive) const;
    std::optional<DriveMapping> mapping(std::string_view drive) const;
    // The mapping whose folder holds `local` most closely (the longest folder), if any.
    std::optional<DriveMapping> mappingHolding(const std::filesystem::path& local) const;
    std::vector<DriveMapping> mappings() const;

    // The canonical key of a drive or share ("C:", "\\server\share"), nullopt when the text is
    // neither.
    static std::optional<std::string> driveKey(std::string_view drive);

private:
    DriveMap() = default;
    mutable std::mutex m_mutex;
    std::vector<DriveMapping> m_mappings;  // drive holds the canonical key
};

}  // namespace lumora::files
