#include "entry_info.hpp"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <ctime>
#include <limits>

#include "Automation/error.hpp"
#include "Automation/vb/convert.hpp"
#include "file_errors.hpp"
#include "file_operations.hpp"

namespace lumora::files {

namespace fs = std::filesystem;

namespace {

struct statx statOf(const fs::path& entry, RuntimeError missing) {
    struct statx info {};
    if (::statx(AT_FDCWD, entry.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &info) != 0) raise(errnoError(errno, missing));
    return info;
}

Date civilDate(int64_t secondsSinceEpoch) {
    std::time_t seconds = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm local{};
    localtime_r(&seconds, &local);
    return vb::toDate(vb::CivilTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                                    local.tm_sec});
}

Variant sizeVariant(uint64_t size) {
    if (size <= static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) return Variant(static_cast<int32_t>(size));
    return Variant(static_cast<double>(size));
}

}  // namespace

Date entryTime(const fs::path& entry, EntryTime which, RuntimeError missing) {
    struct statx info = statOf(entry, missing);
    switch (which) {
        case EntryTime::Created:
            // Not every file system records the birth time; the last change stands in for it.
            return civilDate((info.stx_mask & STATX_BTIME) ? info.stx_btime.tv_sec : info.stx_mtime.tv_sec);
        case EntryTime::LastModified: return civilDate(info.stx_mtime.tv_sec);
        case EntryTime::LastAccessed: return civilDate(info.stx_atime.tv_sec);
    }
    return Date{};
}

Variant entrySize(const fs::path& entry, RuntimeError missing) {
    struct statx info = statOf(entry, missing);
    if (!S_ISDIR(info.stx_mode)) return sizeVariant(info.stx_size);
    uint64_t total = 0;
    std::error_code error;
    for (fs::recursive_directory_iterator it(entry, fs::directory_options::skip_permission_denied, error), end;
         !error && it != end; it.increment(error)) {
        std::error_code ignored;
        if (it->is_regular_file(ignored) && !it->is_symlink(ignored)) total += it->file_size(ignored);
    }
    return sizeVariant(total);
}

int32_t entryAttributes(const fs::path& entry, RuntimeError missing) {
    struct statx info = statOf(entry, missing);
    int32_t bits = S_ISDIR(info.stx_mode) ? attribute::Directory : attribute::Archive;
    if ((info.stx_mode & S_IWUSR) == 0) bits |= attribute::ReadOnly;
    std::string name = entry.filename().string();
    if (name.size() > 1 && name[0] == '.') bits |= attribute::Hidden;
    return bits;
}

void setEntryAttributes(const fs::path& entry, int32_t attributes, RuntimeError missing) {
    statOf(entry, missing);
    setReadOnly(entry, (attributes & attribute::ReadOnly) != 0);
}

}  // namespace lumora::files
