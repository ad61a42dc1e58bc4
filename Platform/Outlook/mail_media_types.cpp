#include "mail_media_types.hpp"

#include <zip.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "Automation/vb/text.hpp"
#include "Automation/vb/utf8.hpp"

namespace lumora::pim {

namespace {

struct KnownType {
    std::string_view extension;
    std::string_view type;
    std::string_view subtype;
};
constexpr KnownType kExtensionTypes[] = {
    {".pdf", "application", "pdf"},
    {".docx", "application", "vnd.openxmlformats-officedocument.wordprocessingml.document"},
    {".xlsx", "application", "vnd.openxmlformats-officedocument.spreadsheetml.sheet"},
    {".doc", "application", "msword"},
    {".xls", "application", "vnd.ms-excel"},
    {".htm", "text", "html"},
    {".html", "text", "html"},
    {".txt", "text", "plain"},
    {".csv", "text", "csv"},
    {".png", "image", "png"},
    {".jpg", "image", "jpeg"},
    {".jpeg", "image", "jpeg"},
    {".gif", "image", "gif"},
    {".ics", "text", "calendar"},
    {".vcf", "text", "vcard"},
    {".zip", "application", "zip"},
};

constexpr std::string_view kOctetStream = "octet-stream";
constexpr std::string_view kWordDocument = "vnd.openxmlformats-officedocument.wordprocessingml.document";
constexpr std::string_view kWorkbook = "vnd.openxmlformats-officedocument.spreadsheetml.sheet";
constexpr std::string_view kPresentation = "vnd.openxmlformats-officedocument.presentationml.presentation";

std::string extensionOf(std::string_view fileName) {
    const size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos) return {};
    return vb::asciiLower(fileName.substr(dot));
}

std::optional<KnownType> byExtension(std::string_view extension) {
    for (const KnownType& known : kExtensionTypes)
        if (known.extension == extension) return known;
    return std::nullopt;
}

struct ArchiveDiscard {
    void operator()(zip_t* archive) const noexcept { zip_discard(archive); }
};
struct SourceFree {
    void operator()(zip_source_t* source) const noexcept { zip_source_free(source); }
};

// The Office package kind a zip archive holds: its part names, not its file name, tell
// ([Content_Types].xml beside a word/, xl/ or ppt/ folder, as an Office package is laid out).
// A plain zip, or one libzip cannot read, is a zip.
std::string_view zipKind(std::string_view bytes) {
    zip_error_t error;
    zip_error_init(&error);
    std::unique_ptr<zip_source_t, SourceFree> source(zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error));
    zip_error_fini(&error);
    if (!source) return "zip";
    zip_error_init(&error);
    std::unique_ptr<zip_t, ArchiveDiscard> archive(zip_open_from_source(source.get(), ZIP_RDONLY, &error));
    zip_error_fini(&error);
    if (!archive) return "zip";
    zip_source_keep(source.get());  // the archive holds a reference of its own now
    if (zip_name_locate(archive.get(), "[Content_Types].xml", 0) < 0) return "zip";
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW);
        if (!name) continue;
        const std::string_view part(name);
        if (part.starts_with("word/")) return kWordDocument;
        if (part.starts_with("xl/")) return kWorkbook;
        if (part.starts_with("ppt/")) return kPresentation;
    }
    return "zip";
}

// An OLE2 compound file holds Word, Excel or PowerPoint documents alike; only the extension
// tells which one the program that saved it made.
std::string_view compoundFileKind(std::string_view extension) {
    if (extension == ".doc" || extension == ".dot") return "msword";
    if (extension == ".xls" || extension == ".xlt") return "vnd.ms-excel";
    if (extension == ".ppt" || extension == ".pot") return "vnd.ms-powerpoint";
    return kOctetStream;
}

// Whether the text begins with the marker, in any case, after a UTF-8 byte order mark and blanks.
bool startsWithLine(std::string_view bytes, std::string_view marker) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    const size_t first = bytes.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return false;
    return vb::asciiLower(bytes.substr(first, marker.size())) == vb::asciiLower(marker);
}

std::optional<MediaType> sniffed(std::string_view bytes, std::string_view extension) {
    auto media = [](std::string_view type, std::string_view subtype) {
        return MediaType{std::string(type), std::string(subtype), {}};
    };
    if (bytes.starts_with("%PDF-")) return media("application", "pdf");
    if (bytes.starts_with("\x89PNG\r\n\x1A\n")) return media("image", "png");
    if (bytes.starts_with("\xFF\xD8\xFF")) return media("image", "jpeg");
    if (bytes.starts_with("GIF87a") || bytes.starts_with("GIF89a")) return media("image", "gif");
    if (bytes.starts_with(std::string_view("PK\x03\x04", 4)) || bytes.starts_with(std::string_view("PK\x05\x06", 4)))
        return media("application", zipKind(bytes));
    if (bytes.starts_with("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) return media("application", compoundFileKind(extension));
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) return MediaType{"text", "plain", "utf-16"};
    if (startsWithLine(bytes, "BEGIN:VCARD")) return media("text", "vcard");
    if (startsWithLine(bytes, "BEGIN:VCALENDAR")) return media("text", "calendar");
    return std::nullopt;
}

// Text has no NUL and none of the control characters that only binary data holds; bytes that
// are not UTF-8 may still be text in a legacy code page.
bool looksLikeText(std::string_view bytes) {
    return std::none_of(bytes.begin(), bytes.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r' && byte != '\f' && byte != 0x1B;
    });
}

}  // namespace

MediaType attachmentMediaType(std::string_view fileName, std::string_view bytes) {
    const std::string extension = extensionOf(fileName);
    const std::optional<KnownType> named = byExtension(extension);
    std::optional<MediaType> media = sniffed(bytes, extension);
    if (!media) {
        const bool namedText = named && named->type == "text";
        if (bytes.empty() && named)
            media = MediaType{std::string(named->type), std::string(named->subtype), {}};
        else if (looksLikeText(bytes))
            media = namedText ? MediaType{"text", std::string(named->subtype), {}} : MediaType{"text", "plain", {}};
        else if (named && !namedText)
            media = MediaType{std::string(named->type), std::string(named->subtype), {}};
        else
            media = MediaType{"application", std::string(kOctetStream), {}};
    }
    if (media->type == "text" && media->charset.empty() && vb::utf8::isWellFormed(bytes)) media->charset = "utf-8";
    return *media;
}

}  // namespace lumora::pim
