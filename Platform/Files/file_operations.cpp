#include "file_operations.hpp"

#include <fcntl.h>
#include <stdio.h>

#include <algorithm>
#include <array>
#include <cerrno>

#include "Automation/error.hpp"
#include "Automation/vb/case_folding.hpp"
#include "file_errors.hpp"
#include "file_handle.hpp"
#include "page_reach.hpp"
#include "path_names.hpp"
#include "wildcard.hpp"

namespace lumora::files {

namespace fs = std::filesystem;

namespace {

RuntimeError missingError(EntryKind kind) {
    return kind == EntryKind::File ? RuntimeError::FileNotFound : RuntimeError::PathNotFound;
}

bool isFolder(const fs::path& path) {
    std::error_code ignored;
    return fs::is_directory(fs::status(path, ignored));
}

// True when `inner` is `outer` or lies inside it, seen through links.
bool isWithin(const fs::path& inner, const fs::path& outer) {
    std::error_code ignored;
    fs::path a = fs::weakly_canonical(inner, ignored);
    fs::path b = fs::weakly_canonical(outer, ignored);
    auto [bEnd, aAt] = std::mismatch(b.begin(), b.end(), a.begin(), a.end());
    return bEnd == b.end();
}

struct Sources {
    std::vector<fs::path> entries;
    bool wildcard = false;
};

// The entries a source names: the one entry, or every match of a wildcard in its last part.
Sources expand(std::string_view pathPattern, EntryKind kind) {
    std::string pattern = fileNamePart(pathPattern);
    if (!hasWildcard(pattern)) {
        PagePath path = resolvePagePath(pathPattern);
        if (!isKind(path.local, kind)) raise(missingError(kind));
        return Sources{{path.local}, false};
    }
    std::string folderText = parentFolderPart(pathPattern);
    if (hasWildcard(folderText)) raise(RuntimeError::BadFileNameOrNumber);
    PagePath folder = resolvePagePath(folderText.empty() ? std::string_view(".") : std::string_view(folderText));
    if (!isFolder(folder.local)) raise(RuntimeError::PathNotFound);
    Sources sources{{}, true};
    for (fs::path& entry : listEntries(folder.local, kind))
        if (matchesWildcard(entry.filename().string(), pattern)) sources.entries.push_back(std::move(entry));
    if (sources.entries.empty()) raise(missingError(kind));
    return sources;
}

PagePath targetFor(const fs::path& source, std::string_view destination, bool intoFolder) {
    PagePath target = resolvePagePath(destination);
    if (!intoFolder) return target;
    if (!isFolder(target.local)) raise(RuntimeError::PathNotFound);
    target.local /= source.filename();
    return target;
}

void requireParentFolder(const fs::path& target) {
    if (!isFolder(target.parent_path())) raise(RuntimeError::PathNotFound);
}

void copyFileTo(const fs::path& from, const fs::path& to, Overwrite overwrite) {
    std::error_code error;
    if (entryPresent(to)) {
        if (isFolder(to) || fs::equivalent(from, to, error)) raise(RuntimeError::PermissionDenied);
        if (overwrite == Overwrite::No) raise(RuntimeError::FileAlreadyExists);
        if (isReadOnly(to)) raise(RuntimeError::PermissionDenied);
    } else {
        requireParentFolder(to);
    }
    FileHandle in = FileHandle::open(from, FileHandle::Access::Read, FileHandle::Creation::OpenExisting);
    fs::perms permissions = fs::status(from, error).permissions();
    ReplacementFile out(to, error ? fs::perms::unknown : permissions);
    std::array<char, 1 << 16> buffer;
    while (size_t got = in.read(buffer)) out.handle().writeAll(std::string_view(buffer.data(), got));
    // The copy keeps the time the content was last changed, as the page's system does.
    fs::last_write_time(out.temporaryPath(), fs::last_write_time(from, error), error);
    out.commit();
}

void copyTree(const fs::path& from, const fs::path& to, Overwrite overwrite) {
    if (isWithin(to, from)) raise(RuntimeError::PermissionDenied);
    std::error_code error;
    if (entryPresent(to)) {
        if (!isFolder(to)) raise(RuntimeError::FileAlreadyExists);
    } else {
        requireParentFolder(to);
        if (!fs::create_directory(to, from, error) && error) raise(fileError(error, RuntimeError::PathNotFound));
    }
    fs::directory_iterator it(from, error);
    if (error) raise(fileError(error, RuntimeError::PathNotFound));
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error) raise(fileError(error, RuntimeError::PathNotFound));
        const fs::path& entry = it->path();
        fs::path target = to / entry.filename();
        fs::file_status own = it->symlink_status(error);
        if (fs::is_directory(own)) {
            copyTree(entry, target, overwrite);
        } else if (fs::is_regular_file(it->status(error))) {
            // Links to folders are not followed, so a link cycle cannot make the copy endless.
            copyFileTo(entry, target, overwrite);
        }
    }
}

void copyOne(const fs::path& from, const fs::path& to, EntryKind kind, Overwrite overwrite) {
    if (kind == EntryKind::File) {
        copyFileTo(from, to, overwrite);
    } else {
        copyTree(from, to, overwrite);
    }
}

// A rename that never replaces an existing entry.
int renameNoReplace(const fs::path& from, const fs::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // The file system cannot refuse a replacement itself; the caller checked the target.
    std::error_code error;
    fs::rename(from, to, error);
    return error.value();
}

bool anyReadOnly(const fs::path& folder) {
    if (isReadOnly(folder)) return true;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error), end;
         !error && it != end; it.increment(error)) {
        if (!it->is_symlink(error) && isReadOnly(it->path())) return true;
    }
    return false;
}

void makeFoldersWritable(const fs::path& folder) {
    std::error_code error;
    setReadOnly(folder, false);
    for (fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error), end;
         !error && it != end; it.increment(error)) {
        if (it->is_directory(error) && !it->is_symlink(error)) setReadOnly(it->path(), false);
    }
}

void moveOne(const fs::path& from, const fs::path& to, EntryKind kind) {
    std::error_code error;
    bool sameEntry = entryPresent(to) && fs::equivalent(from, to, error);
    if (entryPresent(to) && !sameEntry) raise(RuntimeError::FileAlreadyExists);
    if (kind == EntryKind::Folder && !sameEntry && isWithin(to, from)) raise(RuntimeError::PermissionDenied);
    requireParentFolder(to);
    if (sameEntry) {
        // Only the letter case changes: the entry is renamed in place.
        fs::rename(from, to, error);
        if (error) raise(fileError(error, missingError(kind)));
        return;
    }
    int failure = renameNoReplace(from, to);
    if (failure == 0) return;
    if (failure != EXDEV) raise(errnoError(failure, missingError(kind)));
    // Another file system: copy, then remove the original once the copy is complete.
    copyOne(from, to, kind, Overwrite::No);
    deleteEntry(from, kind, Force::Yes);
}

}  // namespace

bool isReadOnly(const fs::path& path) {
    std::error_code error;
    fs::perms permissions = fs::status(path, error).permissions();
    return !error && (permissions & fs::perms::owner_write) == fs::perms::none;
}

void setReadOnly(const fs::path& path, bool readOnly) {
    std::error_code error;
    if (readOnly) {
        fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove, error);
    } else {
        fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, error);
    }
    if (error) raise(fileError(error));
}

bool entryPresent(const fs::path& path) {
    std::error_code ignored;
    return fs::exists(fs::symlink_status(path, ignored));
}

bool isKind(const fs::path& path, EntryKind kind) {
    std::error_code ignored;
    fs::file_status status = fs::status(path, ignored);
    return kind == EntryKind::File ? fs::is_regular_file(status) : fs::is_directory(status);
}

std::vector<fs::path> listEntries(const fs::path& folder, EntryKind kind) {
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error) raise(fileError(error, RuntimeError::PathNotFound));
    std::vector<std::pair<std::u32string, fs::path>> found;
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error) raise(fileError(error, RuntimeError::PathNotFound));
        std::error_code statusError;
        fs::file_status status = it->status(statusError);
        bool wanted = kind == EntryKind::File ? fs::is_regular_file(status) : fs::is_directory(status);
        // A link that leads out of a page's reach is not there for the page, just as a link
        // that leads nowhere is not: the listing tells nothing about what lies outside.
        if (wanted && it->is_symlink(statusError) && !PageReach::allows(it->path())) wanted = false;
        if (wanted) found.emplace_back(vb::folded(it->path().filename().string()), it->path());
    }
    std::sort(found.begin(), found.end());
    std::vector<fs::path> entries;
    entries.reserve(found.size());
    for (auto& [key, path] : found) entries.push_back(std::move(path));
    return entries;
}

void deleteEntries(std::string_view pathPattern, EntryKind kind, Force force) {
    Sources sources = expand(pathPattern, kind);
    if (force == Force::No) {
        for (const fs::path& entry : sources.entries) {
            bool readOnly = kind == EntryKind::File ? isReadOnly(entry) : anyReadOnly(entry);
            if (readOnly) raise(RuntimeError::PermissionDenied);
        }
    }
    for (const fs::path& entry : sources.entries) deleteEntry(entry, kind, force);
}

void copyEntries(std::string_view source, std::string_view destination, EntryKind kind, Overwrite overwrite) {
    Sources sources = expand(source, kind);
    bool intoFolder = sources.wildcard || endsWithSeparator(destination);
    for (const fs::path& entry : sources.entries)
        copyOne(entry, targetFor(entry, destination, intoFolder).local, kind, overwrite);
}

void moveEntries(std::string_view source, std::string_view destination, EntryKind kind) {
    Sources sources = expand(source, kind);
    bool intoFolder = sources.wildcard || endsWithSeparator(destination);
    for (const fs::path& entry : sources.entries)
        moveOne(entry, targetFor(entry, destination, intoFolder).local, kind);
}

PagePath createFolder(std::string_view path) {
    PagePath folder = resolvePagePath(path);
    if (entryPresent(folder.local)) raise(RuntimeError::FileAlreadyExists);
    requireParentFolder(folder.local);
    std::error_code error;
    fs::create_directory(folder.local, error);
    if (error) raise(fileError(error, RuntimeError::PathNotFound));
    return folder;
}

void deleteEntry(const fs::path& entry, EntryKind kind, Force force) {
    if (!isKind(entry, kind)) raise(missingError(kind));
    std::error_code error;
    if (kind == EntryKind::File) {
        if (force == Force::No && isReadOnly(entry)) raise(RuntimeError::PermissionDenied);
        fs::remove(entry, error);
    } else {
        if (force == Force::No && anyReadOnly(entry)) raise(RuntimeError::PermissionDenied);
        if (force == Force::Yes) makeFoldersWritable(entry);
        fs::remove_all(entry, error);
    }
    if (error) raise(fileError(error, missingError(kind)));
}

void copyEntry(const fs::path& entry, EntryKind kind, std::string_view destination, Overwrite overwrite) {
    if (!isKind(entry, kind)) raise(missingError(kind));
    copyOne(entry, targetFor(entry, destination, endsWithSeparator(destination)).local, kind, overwrite);
}

PagePath moveEntry(const fs::path& entry, EntryKind kind, std::string_view destination) {
    if (!isKind(entry, kind)) raise(missingError(kind));
    PagePath target = targetFor(entry, destination, endsWithSeparator(destination));
    moveOne(entry, target.local, kind);
    return target;
}

void requireEntryName(std::string_view name) {
    if (name.empty() || name == "." || name == ".." || name.find_first_of("\\/") != std::string_view::npos ||
        holdsControlCharacter(name))
        raise(RuntimeError::BadFileNameOrNumber);
}

fs::path renameEntry(const fs::path& entry, std::string_view newName) {
    requireEntryName(newName);
    fs::path target = entry.parent_path() / std::string(newName);
    if (target == entry) return entry;
    EntryKind kind = isFolder(entry) ? EntryKind::Folder : EntryKind::File;
    if (!entryPresent(entry)) raise(missingError(kind));
    moveOne(entry, target, kind);
    return target;
}

}  // namespace lumora::files
