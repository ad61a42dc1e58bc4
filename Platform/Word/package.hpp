#pragma once
// A .docx package: the zip entries held in memory, in their original order. Reading is
// hardened, since templates come from pages and shares: a file that is not a zip, entries that
// unpack beyond the limits or far beyond their packed size (a zip bomb), and entry names that
// climb out of the package are each refused with their own error before anything is parsed.
// Writing is atomic: the package is written whole under a scratch name beside the target and
// then renamed over it, so a failed save never leaves half a file under the user's name.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace lumora::word {

struct PackageLimits {
    size_t maxEntryBytes = size_t{64} << 20;
    size_t maxTotalBytes = size_t{256} << 20;
    size_t maxEntries = 10'000;
    // An entry unpacking to more than this many times its packed size is a bomb, once it is
    // large enough for the ratio to mean something. Documents reach a few hundred: a table of
    // thousands of like rows (a mail merge's data source) packs its markup 250 to 1. Only long
    // runs of one byte come near deflate's ceiling of about 1030 to 1; the sizes above bound
    // what any package may unpack to.
    size_t maxRatio = 1000;
    size_t ratioFloorBytes = size_t{1} << 20;
};

class Package {
public:
    struct Entry {
        std::string name;
        std::string bytes;
    };

    // The package in `bytes`; `label` names the file in error messages.
    static Package fromBytes(std::string_view bytes, std::string_view label, const PackageLimits& limits = {});
    static Package fromFile(const std::filesystem::path& file, const PackageLimits& limits = {});

    bool has(std::string_view name) const { return find(name) != nullptr; }
    // The entry's bytes; nullptr when there is none.
    const std::string* find(std::string_view name) const;
    void put(std::string_view name, std::string bytes);
    // Adds an entry the caller knows is not there yet, without looking for it: a document made
    // of thousands of parts is put together in time proportional to their number.
    void add(std::string name, std::string bytes) { m_entries.push_back(Entry{std::move(name), std::move(bytes)}); }
    void remove(std::string_view name);
    const std::vector<Entry>& entries() const { return m_entries; }

    // The relationships part of a part: "word/document.xml" -> "word/_rels/document.xml.rels".
    static std::string relationshipsOf(const std::string& part);

    // Errors: FileNotWritten when the package cannot be written, 75 when it cannot be put in place.
    void writeAtomically(const std::filesystem::path& file) const;

private:
    std::vector<Entry> m_entries;
};

// True when a zip entry name stays inside the package: relative, "/"-separated, no "..".
bool isSafeEntryName(std::string_view name);

}  // namespace lumora::word
