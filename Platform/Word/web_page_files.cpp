#include "web_page_files.hpp"

#include <memory>

#include "Automation/error.hpp"
#include "Platform/Desktop/new_document.hpp"

namespace lumora::word {

namespace fs = std::filesystem;

namespace {

// A folder that is removed with everything in it at scope exit, unless it was kept.
class ScratchFolder {
public:
    explicit ScratchFolder(fs::path path) : m_path(std::move(path)) {}
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() {
        if (m_path.empty()) return;
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    const fs::path& path() const { return m_path; }
    void keep() { m_path.clear(); }

private:
    fs::path m_path;
};

// Puts the filled folder in place of the page's folder, setting an earlier one aside; undone
// at scope exit unless committed.
class FolderSwap {
public:
    FolderSwap(ScratchFolder& filled, const fs::path& target) : m_target(target), m_aside(target.parent_path() / desktop::scratchName()) {
        std::error_code error;
        m_hadEarlier = fs::exists(fs::symlink_status(target, error));
        if (m_hadEarlier) {
            fs::rename(target, m_aside.path(), error);
            if (error) {
                m_aside.keep();  // nothing was set aside: nothing there to remove
                raise(RuntimeError::PathFileAccessError, target.string());
            }
        } else {
            m_aside.keep();
        }
        fs::rename(filled.path(), target, error);
        if (error) {
            restoreEarlier();
            raise(RuntimeError::PathFileAccessError, target.string());
        }
        filled.keep();
        m_placed = true;
    }
    FolderSwap(const FolderSwap&) = delete;
    FolderSwap& operator=(const FolderSwap&) = delete;
    ~FolderSwap() {
        if (m_committed || !m_placed) return;
        std::error_code ignored;
        fs::remove_all(m_target, ignored);
        restoreEarlier();
    }
    // The earlier folder goes with the aside scratch folder's scope.
    void commit() { m_committed = true; }

private:
    // Should the earlier folder not go back, it stays under its scratch name rather than being
    // lost.
    void restoreEarlier() {
        if (!m_hadEarlier) return;
        std::error_code ignored;
        fs::rename(m_aside.path(), m_target, ignored);
        m_aside.keep();
    }

    fs::path m_target;
    ScratchFolder m_aside;
    bool m_hadEarlier = false;
    bool m_placed = false;
    bool m_committed = false;
};

}  // namespace

std::string pageFolderName(const fs::path& page) { return page.stem().string() + "_files"; }

void writeWebPage(const fs::path& page, std::string_view html, const std::vector<PageFile>& files) {
    if (files.empty()) {
        desktop::replaceFile(page, html);
        return;
    }
    const fs::path parent = page.has_parent_path() ? page.parent_path() : fs::path(".");
    const fs::path target = parent / pageFolderName(page);
    std::error_code error;
    const fs::file_status existing = fs::symlink_status(target, error);
    // A file or a link under the folder's name is the user's, not an earlier save's.
    if (fs::exists(existing) && !fs::is_directory(existing)) raise(RuntimeError::PathFileAccessError, target.string());

    ScratchFolder filled(parent / desktop::scratchName());
    if (!fs::create_directory(filled.path(), error)) {
        filled.keep();
        raise(RuntimeError::PathFileAccessError, target.string());
    }
    for (const PageFile& file : files) desktop::replaceFile(filled.path() / file.name, file.bytes);

    // The page's own rename follows its writer; only once that is done is the swap final, and
    // a failed rename undoes it as `swap` goes out of scope.
    std::unique_ptr<FolderSwap> swap;
    desktop::replaceFileWith(page, [&](const fs::path& scratch) {
        desktop::replaceFile(scratch, html);
        swap = std::make_unique<FolderSwap>(filled, target);
    });
    swap->commit();
}

}  // namespace lumora::word
