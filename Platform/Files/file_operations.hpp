#pragma once
// The file-system object's operations on files and folders, shared by its own members and by
// the File and Folder objects. Paths are the page's (see page_path.hpp); a wildcard may stand
// in the last component of a source. Failures are the runtime errors script tests.
//
// Nothing is left half done where that can be avoided: a copy is written beside its target and
// renamed into place, so a failed overwrite keeps the old file; a wildcard delete checks every
// match before it deletes the first.

#include <filesystem>
#include <string_view>
#include <vector>

#include "page_path.hpp"

namespace lumora::files {

enum class EntryKind { File, Folder };
enum class Force { No, Yes };          // also delete read-only entries
enum class Overwrite { No, Yes };      // replace existing files

// Read-only is the owner's missing write permission, the nearest this system has to the page
// system's read-only attribute.
bool isReadOnly(const std::filesystem::path& path);
void setReadOnly(const std::filesystem::path& path, bool readOnly);
bool isKind(const std::filesystem::path& path, EntryKind kind);
// Any entry at all, a broken link included.
bool entryPresent(const std::filesystem::path& path);

// The files or folders directly inside `folder`, in the page system's order (names compared
// without regard to case). For a page, links that lead out of its reach are left out.
std::vector<std::filesystem::path> listEntries(const std::filesystem::path& folder, EntryKind kind);

// DeleteFile / DeleteFolder: 53 (files) or 76 (folders) when nothing matches; 70 when a
// read-only entry would be deleted without force, in which case nothing is deleted.
void deleteEntries(std::string_view pathPattern, EntryKind kind, Force force);
// CopyFile / CopyFolder: a destination ending in a separator, or any wildcard source, names
// the folder to copy into. 58 when a file exists and overwrite is off; 70 for a read-only or
// folder target, or a folder copied into itself.
void copyEntries(std::string_view source, std::string_view destination, EntryKind kind, Overwrite overwrite);
// MoveFile / MoveFolder: 58 when the target exists.
void moveEntries(std::string_view source, std::string_view destination, EntryKind kind);
// CreateFolder: 58 when the entry exists, 76 when its parent does not.
PagePath createFolder(std::string_view path);

// A name for an entry made or renamed inside a folder: 52 for "", "." or "..", or a name holding
// a separator or a character no name may hold (page_path.hpp).
void requireEntryName(std::string_view name);

// The same for one entry that a File or Folder object stands for.
void deleteEntry(const std::filesystem::path& entry, EntryKind kind, Force force);
void copyEntry(const std::filesystem::path& entry, EntryKind kind, std::string_view destination, Overwrite overwrite);
PagePath moveEntry(const std::filesystem::path& entry, EntryKind kind, std::string_view destination);
// Name = newName: 52 for a name requireEntryName refuses, 58 when another entry has it.
std::filesystem::path renameEntry(const std::filesystem::path& entry, std::string_view newName);

}  // namespace lumora::files
