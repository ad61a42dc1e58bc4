#include "document_files.hpp"

#include <unistd.h>

#include <fstream>

#include "Automation/error.hpp"
#include "Platform/Xml/http_fetch.hpp"
#include "office_converter.hpp"
#include "word_errors.hpp"

namespace lumora::word {

namespace {

std::string leadingBytes(const std::filesystem::path& file, size_t count) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes(count, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return bytes;
}

// The compound-file signature of the legacy binary formats.
bool isLegacyBinary(const std::filesystem::path& file) {
    return leadingBytes(file, 8) == std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
}

}  // namespace

std::unique_ptr<DocxDocument> blankDocument() {
    Package package;
    package.put("[Content_Types].xml",
                "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                "<Override PartName=\"/word/document.xml\" "
                "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>");
    package.put("_rels/.rels",
                "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
                "Target=\"word/document.xml\"/></Relationships>");
    package.put("word/document.xml",
                "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
                "<w:body><w:p/><w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/>"
                "<w:pgMar w:top=\"1440\" w:right=\"1440\" w:bottom=\"1440\" w:left=\"1440\"/></w:sectPr></w:body></w:document>");
    return DocxDocument::fromPackage(std::move(package), "Normal");
}

std::string readWholeFile(const std::filesystem::path& file, size_t limit) {
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    if (error) raise(RuntimeError::PermissionDenied);
    if (size > limit) raise(WordError::FileTooLarge, file.filename().string());
    std::ifstream in(file, std::ios::binary);
    std::string bytes(static_cast<size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    if (!in && !in.eof()) raise(RuntimeError::PermissionDenied);
    bytes.resize(static_cast<size_t>(in.gcount()));
    return bytes;
}

void checkReadable(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::is_directory(file.parent_path(), error)) raise(RuntimeError::PathNotFound);
    if (!std::filesystem::is_regular_file(file, error)) raise(RuntimeError::FileNotFound);
    if (access(file.c_str(), R_OK) != 0) raise(RuntimeError::PermissionDenied);
}

bool isPackageFile(const std::filesystem::path& file) { return leadingBytes(file, 2) == "PK"; }

std::unique_ptr<DocxDocument> readDocumentFile(const std::filesystem::path& file) {
    if (isLegacyBinary(file)) return DocxDocument::fromPackage(Package::fromBytes(convertToDocx(file), file.string()), file.string());
    return DocxDocument::open(file);
}

std::unique_ptr<DocxDocument> readWebDocument(const std::string& address) {
    xml::HttpRequest request;
    request.url = address;
    const xml::HttpResponse response = xml::httpFetch(request);
    constexpr int kOk = 200;
    if (response.status != kOk) raise(WordError::NoTemplate);
    return DocxDocument::fromPackage(Package::fromBytes(response.body, address), address);
}

}  // namespace lumora::word
