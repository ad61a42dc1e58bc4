#include "document_files.hpp"

#include <fstream>

#include "Automation/error.hpp"
#include "office_converter.hpp"

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

bool isPackageFile(const std::filesystem::path& file) { return leadingBytes(file, 2) == "PK"; }

std::unique_ptr<DocxDocument> readDocumentFile(const std::filesystem::path& file) {
    if (isLegacyBinary(file)) return DocxDocument::fromPackage(Package::fromBytes(convertToDocx(file), file.string()), file.string());
    return DocxDocument::open(file);
}

}  // namespace lumora::word
