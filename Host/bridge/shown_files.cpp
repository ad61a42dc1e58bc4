#include "shown_files.hpp"

#include "access_policy.hpp"

namespace lumora::bridge {

std::string percentEncode(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        bool unreserved = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                          c == '.' || c == '_' || c == '~';
        if (unreserved) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0xF]);
        }
    }
    return out;
}

std::string ShownFiles::publish(PageId page, const std::filesystem::path& file) {
    std::filesystem::path absolute = std::filesystem::absolute(file).lexically_normal();
    std::string name = percentEncode(absolute.filename().string());
    std::lock_guard lock(m_mutex);
    for (const auto& [secret, entry] : m_bySecret)
        if (entry.page == page && entry.file == absolute) return std::string(kPrefix) + secret + "/" + name;
    std::string secret = randomHex(16);
    m_bySecret.emplace(secret, Entry{page, absolute});
    return std::string(kPrefix) + secret + "/" + name;
}

std::optional<std::filesystem::path> ShownFiles::find(std::string_view urlPath) const {
    if (!urlPath.starts_with(kPrefix)) return std::nullopt;
    std::string_view rest = urlPath.substr(kPrefix.size());
    size_t slash = rest.find('/');
    std::string_view secret = rest.substr(0, slash);
    std::lock_guard lock(m_mutex);
    auto it = m_bySecret.find(secret);
    if (it == m_bySecret.end()) return std::nullopt;
    // The name after the secret is for the browser's benefit only; it must still be the one
    // handed out, so a link cannot be bent to another name.
    std::string_view name = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (name != percentEncode(it->second.file.filename().string())) return std::nullopt;
    return it->second.file;
}

void ShownFiles::withdraw(PageId page) {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_bySecret, [page](const auto& item) { return item.second.page == page; });
}

}  // namespace lumora::bridge
