#include "page_reach.hpp"

#include <system_error>

#include "drive_map.hpp"

namespace lumora::files {

namespace fs = std::filesystem;

namespace {

thread_local PageReach* t_reach = nullptr;

// The path with every link that exists resolved; the part that does not exist yet is kept as
// written, so a file about to be created is judged by the folder it will be created in.
fs::path resolved(const fs::path& path) {
    std::error_code error;
    fs::path real = fs::weakly_canonical(path, error);
    return error ? path.lexically_normal() : real;
}

bool holdsResolved(const fs::path& folder, const fs::path& real) { return folderHolds(resolved(folder), real); }

}  // namespace

PageReach::PageReach(std::vector<fs::path> grantedFolders) : m_granted(std::move(grantedFolders)), m_previous(t_reach) {
    t_reach = this;
}

PageReach::~PageReach() { t_reach = m_previous; }

bool PageReach::confined() { return t_reach != nullptr; }

bool PageReach::allows(const fs::path& local) {
    const PageReach* reach = t_reach;
    if (!reach) return true;
    const fs::path real = resolved(local);
    for (const fs::path& folder : reach->m_granted)
        if (!folder.empty() && holdsResolved(folder, real)) return true;
    for (const DriveMapping& mapping : DriveMap::instance().mappings())
        if (holdsResolved(mapping.root, real)) return true;
    return false;
}

}  // namespace lumora::files
