#include "file_system_object.hpp"

#include <random>

#include "Automation/error.hpp"
#include "Platform/Desktop/desktop.hpp"
#include "drive_map.hpp"
#include "file_objects.hpp"
#include "path_names.hpp"
#include "text_stream.hpp"

namespace lumora::files {

namespace {

using F = FileSystemObject;

// GetSpecialFolder's argument for the temporary folder; the others name folders of the
// page's own system, which this one does not have.
constexpr int32_t kTemporaryFolder = 2;

// FileExists and FolderExists answer False for any path that cannot be reached.
bool entryExists(const Variant& pathPattern, EntryKind kind) {
    try {
        return isKind(resolvePagePath(pathPattern.toString()).local, kind);
    } catch (const Error&) {
        return false;
    }
}

Object existingEntry(std::string_view path, EntryKind kind) {
    PagePath where = resolvePagePath(path);
    if (!isKind(where.local, kind))
        raise(kind == EntryKind::File ? RuntimeError::FileNotFound : RuntimeError::PathNotFound);
    return entryObject(std::move(where), kind);
}

std::string tempName() {
    static thread_local std::mt19937 generator{std::random_device{}()};
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string name = "rad";
    for (int i = 0; i < 5; ++i) name += kDigits[generator() % 16];
    return name + ".tmp";
}

Object specialFolder(int32_t which) {
    if (which < 0 || which > kTemporaryFolder) raise(RuntimeError::InvalidProcedureCall);
    if (which != kTemporaryFolder) raise(RuntimeError::PathNotFound);
    return existingEntry(desktop::current().tempFolder(), EntryKind::Folder);
}

bool driveExists(std::string_view pathPattern) {
    std::string drive = driveNamePart(pathPattern);
    if (drive.empty()) drive = std::string(pathPattern);
    return DriveMap::instance().root(drive).has_value();
}

// Members taking one path and answering with text.
void addPathNameMember(TypeInfo& t, const char* name, DispId id, std::string (*part)(std::string_view)) {
    t.method<F>(name, id, {"Path"}, 1, [part](F&, Args& a) { return Variant(part(a[0].toString())); });
}

template <class Operation>
void addEntryOperation(TypeInfo& t, const char* name, DispId id, std::vector<std::string> params, size_t required,
                       Operation operation) {
    t.method<F>(name, id, std::move(params), required, [operation](F&, Args& a) {
        operation(a);
        return Variant();
    });
}

bool flag(const Args& a, size_t index, bool fallback) { return a.valueOr(index, fallback).toBool(); }

}  // namespace

const TypeInfo& FileSystemObject::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("FileSystemObject");
        addPathNameMember(t, "GetFileName", 10001, &fileNamePart);
        addPathNameMember(t, "GetParentFolderName", 10002, &parentFolderPart);
        addPathNameMember(t, "GetExtensionName", 10003, &extensionPart);
        addPathNameMember(t, "GetBaseName", 10004, &baseNamePart);
        addPathNameMember(t, "GetDriveName", 10005, &driveNamePart);
        addPathNameMember(t, "GetAbsolutePathName", 10006, &absolutePathName);
        t.method<F>("BuildPath", 10000, {"Path", "Name"}, 2,
                    [](F&, Args& a) { return Variant(buildPath(a[0].toString(), a[1].toString())); });
        t.method<F>("GetTempName", 10007, {}, 0, [](F&, Args&) { return Variant(tempName()); });
        t.method<F>("DriveExists", 10008, {"DriveSpec"}, 1,
                    [](F&, Args& a) { return Variant(driveExists(a[0].toString())); });
        t.method<F>("FileExists", 10009, {"FileSpec"}, 1,
                    [](F&, Args& a) { return Variant(entryExists(a[0], EntryKind::File)); });
        t.method<F>("FolderExists", 10010, {"FolderSpec"}, 1,
                    [](F&, Args& a) { return Variant(entryExists(a[0], EntryKind::Folder)); });
        t.method<F>("GetFile", 10012, {"FilePath"}, 1,
                    [](F&, Args& a) { return Variant(existingEntry(a[0].toString(), EntryKind::File)); });
        t.method<F>("GetFolder", 10013, {"FolderPath"}, 1,
                    [](F&, Args& a) { return Variant(existingEntry(a[0].toString(), EntryKind::Folder)); });
        t.method<F>("GetSpecialFolder", 10014, {"SpecialFolder"}, 1,
                    [](F&, Args& a) { return Variant(specialFolder(a[0].toI4())); });
        addEntryOperation(t, "DeleteFile", 1200, {"FileSpec", "Force"}, 1, [](Args& a) {
            deleteEntries(a[0].toString(), EntryKind::File, flag(a, 1, false) ? Force::Yes : Force::No);
        });
        addEntryOperation(t, "DeleteFolder", 1201, {"FolderSpec", "Force"}, 1, [](Args& a) {
            deleteEntries(a[0].toString(), EntryKind::Folder, flag(a, 1, false) ? Force::Yes : Force::No);
        });
        addEntryOperation(t, "MoveFile", 1204, {"Source", "Destination"}, 2, [](Args& a) {
            moveEntries(a[0].toString(), a[1].toString(), EntryKind::File);
        });
        addEntryOperation(t, "MoveFolder", 1205, {"Source", "Destination"}, 2, [](Args& a) {
            moveEntries(a[0].toString(), a[1].toString(), EntryKind::Folder);
        });
        addEntryOperation(t, "CopyFile", 1202, {"Source", "Destination", "OverWriteFiles"}, 2, [](Args& a) {
            copyEntries(a[0].toString(), a[1].toString(), EntryKind::File,
                        flag(a, 2, true) ? Overwrite::Yes : Overwrite::No);
        });
        addEntryOperation(t, "CopyFolder", 1203, {"Source", "Destination", "OverWriteFiles"}, 2, [](Args& a) {
            copyEntries(a[0].toString(), a[1].toString(), EntryKind::Folder,
                        flag(a, 2, true) ? Overwrite::Yes : Overwrite::No);
        });
        t.method<F>("CreateFolder", 1120, {"Path"}, 1, [](F&, Args& a) {
            return Variant(entryObject(createFolder(a[0].toString()), EntryKind::Folder));
        });
        t.method<F>("CreateTextFile", 1101, {"FileName", "Overwrite", "Unicode"}, 1, [](F&, Args& a) {
            PagePath file = resolvePagePath(a[0].toString());
            return Variant(createTextFile(file.local, flag(a, 1, true) ? Overwrite::Yes : Overwrite::No,
                                          flag(a, 2, false) ? TextFormat::Unicode : TextFormat::Ansi));
        });
        t.method<F>("OpenTextFile", 1100, {"FileName", "IOMode", "Create", "Format"}, 1, [](F&, Args& a) {
            PagePath file = resolvePagePath(a[0].toString());
            return Variant(openTextStream(file.local, ioModeOf(a.valueOr(1, 1)), flag(a, 2, false),
                                          tristateOf(a.valueOr(3, 0))));
        });
        return t;
    }();
    return info;
}

}  // namespace lumora::files
