#pragma once
// The files the bridge has handed to pages, each under its own unguessable address. Only a
// file that a page was shown can be downloaded, only through its address, and only while
// that page is connected.

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace lumora::bridge {

using PageId = uint64_t;

class ShownFiles {
public:
    // The URL path of the file for that page: "/files/<secret>/<file name>". Showing the
    // same file to the same page again gives the same path.
    std::string publish(PageId page, const std::filesystem::path& file);
    // The file behind a URL path; nullopt for anything not published.
    std::optional<std::filesystem::path> find(std::string_view urlPath) const;
    // Forgets every file of the page.
    void withdraw(PageId page);

    static constexpr std::string_view kPrefix = "/files/";

private:
    struct Entry {
        PageId page;
        std::filesystem::path file;
    };
    mutable std::mutex m_mutex;
    std::map<std::string, Entry, std::less<>> m_bySecret;
};

// A file name made safe for the last segment of a URL path: percent-encodes everything but
// unreserved characters (RFC 3986 section 2.3).
std::string percentEncode(std::string_view text);

}  // namespace lumora::bridge
