#include "sample_template.hpp"

#include <zip.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

namespace lumora::host {

namespace {

// The smallest package Word opens as a template (ECMA-376-2, Open Packaging Conventions: content types, the package
// relationship to the main part, the main part).
constexpr std::string_view kContentTypes =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Override PartName="/word/document.xml")"
    R"( ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml"/>)"
    R"(</Types>)";

constexpr std::string_view kPackageRelationships =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Target="word/document.xml")"
    R"( Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument"/>)"
    R"(</Relationships>)";

// Each line is one paragraph; a tag is the field's tag text in angle brackets.
constexpr std::string_view kLetterLines[] = {
    "<COMPANY>",
    "",
    "Dear <CONTACT>,",
    "",
    "Thank you for choosing us. This letter was made from the Lumora sample template: every tag in",
    "angle brackets is replaced by the value the CRM record gives for it.",
    "",
    "Kind regards,",
    "The Lumora team",
};

std::string escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '&') out += "&amp;";
        else out += c;
    }
    return out;
}

std::string documentPart() {
    std::string body;
    for (std::string_view line : kLetterLines) {
        body += line.empty() ? "<w:p/>" : "<w:p><w:r><w:t xml:space=\"preserve\">" + escaped(line) + "</w:t></w:r></w:p>";
    }
    return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
           R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><w:body>)" +
           body + "</w:body></w:document>";
}

struct ZipDiscard {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

void addPart(zip_t* archive, const char* name, const std::string& content) {
    // libzip reads the buffer when the archive is closed; the source keeps its own copy.
    void* copy = std::malloc(content.size());
    if (!copy) throw std::bad_alloc();
    std::memcpy(copy, content.data(), content.size());
    zip_source_t* source = zip_source_buffer(archive, copy, content.size(), 1);
    if (!source) {
        std::free(copy);
        throw std::runtime_error(zip_strerror(archive));
    }
    if (zip_file_add(archive, name, source, ZIP_FL_ENC_UTF_8) < 0) {
        zip_source_free(source);
        throw std::runtime_error(zip_strerror(archive));
    }
}

}  // namespace

std::filesystem::path writeSampleTemplate(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    const std::filesystem::path target = folder / kSampleTemplateName;
    const std::filesystem::path partial = folder / ("." + std::string(kSampleTemplateName) + ".part");
    std::filesystem::remove(partial);

    int status = 0;
    std::unique_ptr<zip_t, ZipDiscard> archive(zip_open(partial.c_str(), ZIP_CREATE | ZIP_EXCL, &status));
    if (!archive) throw std::runtime_error("cannot write " + partial.string());
    addPart(archive.get(), "[Content_Types].xml", std::string(kContentTypes));
    addPart(archive.get(), "_rels/.rels", std::string(kPackageRelationships));
    addPart(archive.get(), "word/document.xml", documentPart());
    if (zip_close(archive.get()) < 0) throw std::runtime_error(zip_strerror(archive.get()));
    archive.release();  // closed: zip_close has freed it
    std::filesystem::rename(partial, target);
    return target;
}

}  // namespace lumora::host
