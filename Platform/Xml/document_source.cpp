#include "document_source.hpp"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "Automation/error.hpp"
#include "Automation/vb/text.hpp"
#include "Platform/Files/page_path.hpp"
#include "http_fetch.hpp"
#include "limits.hpp"

namespace lumora::xml {

namespace {

ParseOutcome refused(std::string reason, const std::string& url, int32_t code = kSourceUnavailable) {
    ParseOutcome outcome;
    outcome.failure = failureWithoutPosition(std::move(reason), url);
    outcome.failure->errorCode = code;
    return outcome;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string percentDecoded(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

ParseOutcome loadFromWeb(const std::string& source, const ParseOptions& options) {
    HttpRequest request;
    request.url = source;
    HttpResponse response;
    try {
        response = httpFetch(request);
    } catch (const Error& e) {
        return refused(e.description(), source);
    }
    if (response.status < 200 || response.status >= 300)
        return refused("The server answered " + std::to_string(response.status) + " " + response.statusText, source);
    return parseXml(response.body, options);
}

ParseOutcome loadFromFile(const std::filesystem::path& path, const std::string& source, const ParseOptions& options) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return refused("The system cannot locate the object specified.", source);
    auto size = std::filesystem::file_size(path, ec);
    if (ec) return refused("The file could not be read: " + ec.message(), source);
    if (size > kMaxDocumentBytes) return refused("The document is larger than the allowed 64 MiB", source, kDocumentTooLarge);
    std::ifstream in(path, std::ios::binary);
    if (!in) return refused("The file could not be opened", source);
    std::string bytes(static_cast<size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return parseXml(bytes, options);
}

}  // namespace

ParseOutcome loadDocumentSource(const std::string& source, ParseOptions options) {
    options.url = source;
    options.encoding = SourceEncoding::AsDeclared;
    if (isWebAddress(source)) return loadFromWeb(source, options);
    std::string lower = vb::asciiLower(source.substr(0, 8));
    std::string path = source;
    if (lower.rfind("file://", 0) == 0) {
        path = percentDecoded(source.substr(7));
        // file://localhost/path and file:///path name the same local file.
        if (vb::asciiLower(path.substr(0, 9)) == "localhost") path.erase(0, 9);
    } else if (size_t colon = source.find(':'); colon != std::string::npos && colon > 1) {
        return refused("The address uses a protocol that is not supported", source);
    }
    if (path.empty()) return refused("The system cannot locate the object specified.", source);
    // Page paths ("C:\\Templates\\x.xml", shares, local paths) reach the disk through the
    // file layer's drive table, like every other file a page names.
    std::filesystem::path local;
    try {
        local = files::resolvePagePath(path).local;
    } catch (const Error& e) {
        return refused(e.description(), source);
    }
    return loadFromFile(local, source, options);
}

}  // namespace lumora::xml
