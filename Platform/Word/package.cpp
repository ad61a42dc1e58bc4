#include "package.hpp"

#include <zip.h>

#include <fstream>
#include <memory>

#include "Platform/Desktop/new_document.hpp"
#include "word_errors.hpp"

namespace lumora::word {

namespace fs = std::filesystem;

namespace {

struct ArchiveDiscard {
    void operator()(zip_t* archive) const noexcept { zip_discard(archive); }
};
using ArchiveHandle = std::unique_ptr<zip_t, ArchiveDiscard>;

struct EntryClose {
    void operator()(zip_file_t* file) const noexcept { zip_fclose(file); }
};
using EntryHandle = std::unique_ptr<zip_file_t, EntryClose>;

struct SourceFree {
    void operator()(zip_source_t* source) const noexcept { zip_source_free(source); }
};
using SourceHandle = std::unique_ptr<zip_source_t, SourceFree>;

// Reads one entry, never more than `limit` bytes whatever its header claims.
bool readEntry(zip_t* archive, zip_uint64_t index, size_t limit, std::string& out) {
    EntryHandle file(zip_fopen_index(archive, index, 0));
    if (!file) return false;
    char buffer[1 << 16];
    for (;;) {
        const zip_int64_t got = zip_fread(file.get(), buffer, sizeof buffer);
        if (got < 0) return false;
        if (got == 0) return true;
        if (out.size() + static_cast<size_t>(got) > limit) return false;
        out.append(buffer, static_cast<size_t>(got));
    }
}

}  // namespace

bool isSafeEntryName(std::string_view name) {
    if (name.empty() || name.front() == '/' || name.find('\\') != std::string_view::npos) return false;
    if (name.find('\0') != std::string_view::npos || name.find(':') != std::string_view::npos) return false;
    size_t start = 0;
    while (start <= name.size()) {
        const size_t slash = std::min(name.find('/', start), name.size());
        if (name.substr(start, slash - start) == "..") return false;
        start = slash + 1;
    }
    return true;
}

Package Package::fromBytes(std::string_view bytes, std::string_view label, const PackageLimits& limits) {
    zip_error_t error;
    zip_error_init(&error);
    SourceHandle source(zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error));
    if (!source) throw std::bad_alloc();
    ArchiveHandle archive(zip_open_from_source(source.get(), ZIP_RDONLY | ZIP_CHECKCONS, &error));
    zip_error_fini(&error);
    if (!archive) raise(WordError::NotAPackage, label);
    source.release();  // the archive owns it now

    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    if (count < 0 || static_cast<size_t>(count) > limits.maxEntries) raise(WordError::PackageTooLarge, label);
    Package package;
    size_t total = 0;
    for (zip_uint64_t index = 0; index < static_cast<zip_uint64_t>(count); ++index) {
        zip_stat_t stat;
        if (zip_stat_index(archive.get(), index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_NAME))
            raise(WordError::NotAPackage, label);
        const std::string name = stat.name;
        if (!name.empty() && name.back() == '/') continue;  // a folder entry holds nothing
        if (!isSafeEntryName(name)) raise(WordError::UnsafeEntryName);
        // The sizes a header declares are checked first, and the reading itself stops at the
        // limit, so a header that understates its entry gains nothing.
        if (stat.size > limits.maxEntryBytes || total + stat.size > limits.maxTotalBytes)
            raise(WordError::PackageTooLarge, label);
        if (stat.size > limits.ratioFloorBytes && stat.size / std::max<zip_uint64_t>(stat.comp_size, 1) > limits.maxRatio)
            raise(WordError::PackageTooLarge, label);
        std::string content;
        content.reserve(static_cast<size_t>(stat.size));
        const size_t room = std::min(limits.maxEntryBytes, limits.maxTotalBytes - total);
        if (!readEntry(archive.get(), index, room, content)) {
            if (content.size() >= room) raise(WordError::PackageTooLarge, label);
            raise(WordError::NotAPackage, label);
        }
        total += content.size();
        package.m_entries.push_back(Entry{name, std::move(content)});
    }
    return package;
}

Package Package::fromFile(const fs::path& file, const PackageLimits& limits) {
    std::error_code error;
    const auto size = fs::file_size(file, error);
    if (error) raise(RuntimeError::FileNotFound);
    // A package larger than everything it may unpack to is refused unread.
    if (size > limits.maxTotalBytes) raise(WordError::PackageTooLarge, file.string());
    std::ifstream in(file, std::ios::binary);
    if (!in) raise(RuntimeError::PermissionDenied);
    std::string bytes(static_cast<size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!in) raise(RuntimeError::DeviceIoError);
    return fromBytes(bytes, file.string(), limits);
}

std::string Package::relationshipsOf(const std::string& part) {
    const size_t slash = part.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : part.substr(0, slash + 1);
    return folder + "_rels/" + part.substr(slash == std::string::npos ? 0 : slash + 1) + ".rels";
}

void Package::remove(std::string_view name) {
    std::erase_if(m_entries, [&](const Entry& entry) { return entry.name == name; });
}

const std::string* Package::find(std::string_view name) const {
    for (const Entry& entry : m_entries)
        if (entry.name == name) return &entry.bytes;
    return nullptr;
}

void Package::put(std::string_view name, std::string bytes) {
    for (Entry& entry : m_entries)
        if (entry.name == name) {
            entry.bytes = std::move(bytes);
            return;
        }
    m_entries.push_back(Entry{std::string(name), std::move(bytes)});
}

void Package::writeAtomically(const fs::path& file) const {
    desktop::replaceFileWith(file, [&](const fs::path& scratch) {
        int errorCode = 0;
        ArchiveHandle archive(zip_open(scratch.c_str(), ZIP_CREATE | ZIP_EXCL, &errorCode));
        if (!archive) raise(WordError::FileNotWritten, file.string());
        // [Content_Types].xml leads, as readers that sniff the package expect.
        std::vector<const Entry*> ordered;
        for (const Entry& entry : m_entries)
            if (entry.name == "[Content_Types].xml") ordered.push_back(&entry);
        for (const Entry& entry : m_entries)
            if (entry.name != "[Content_Types].xml") ordered.push_back(&entry);
        for (const Entry* entry : ordered) {
            zip_source_t* source = zip_source_buffer(archive.get(), entry->bytes.data(), entry->bytes.size(), 0);
            if (!source) raise(WordError::FileNotWritten, file.string());
            if (zip_file_add(archive.get(), entry->name.c_str(), source, ZIP_FL_ENC_UTF_8) < 0) {
                zip_source_free(source);
                raise(WordError::FileNotWritten, file.string());
            }
        }
        if (zip_close(archive.get()) != 0) raise(WordError::FileNotWritten, file.string());
        archive.release();  // closed: nothing left to discard
    });
}

}  // namespace lumora::word
