#pragma once
// What a page being converted may load: the page itself and the files beside it, in its folder
// and below. The browser never sees a file of its own: it is sent to a made-up origin, and every
// request it makes is answered from here or refused. A request answers with a file only when
// the path it names, with every link followed, stays inside the folder, is a regular file, and
// is within the size a conversion reads.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace lumora::pdf {

// The most a page, or any one file beside it, may hold, and all of them together.
inline constexpr size_t kMaxPageFileBytes = 32u << 20;
inline constexpr size_t kMaxPageTotalBytes = 96u << 20;

struct PageFile {
    std::string bytes;
    std::string contentType;  // "text/html; charset=utf-8", "image/png", …
};

class PageFolder {
public:
    // The page must exist; its folder is taken with every link followed.
    explicit PageFolder(const std::filesystem::path& page);

    // The address the browser is sent to for the page.
    const std::string& pageUrl() const { return m_pageUrl; }
    // The file a request stands for; nullopt for every other origin, every path outside the
    // folder, a file that is not there or not regular, and a file beyond the size limits (each
    // answered file counts against the total).
    std::optional<PageFile> fileFor(std::string_view url);

private:
    std::filesystem::path m_folder;
    std::string m_pageUrl;
    size_t m_bytesServed = 0;
};

// The origin page addresses are made under. ".invalid" is reserved (RFC 2606): no name under it
// can ever be resolved, so even a request that escaped the answering reaches no server.
inline constexpr std::string_view kPageOrigin = "https://quote.lumora.invalid";

}  // namespace lumora::pdf
