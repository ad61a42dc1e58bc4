#include "sample_package.hpp"

#include <zip.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace lumora::host {

namespace {

struct ZipDiscard {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

void addPart(zip_t* archive, const PackagePart& part) {
    // libzip reads the buffer when the archive is closed; the source keeps its own copy.
    void* copy = std::malloc(part.content.size());
    if (!copy) throw std::bad_alloc();
    std::memcpy(copy, part.content.data(), part.content.size());
    zip_source_t* source = zip_source_buffer(archive, copy, part.content.size(), 1);
    if (!source) {
        std::free(copy);
        throw std::runtime_error(zip_strerror(archive));
    }
    if (zip_file_add(archive, part.name.c_str(), source, ZIP_FL_ENC_UTF_8) < 0) {
        zip_source_free(source);
        throw std::runtime_error(zip_strerror(archive));
    }
}

}  // namespace

void writePackage(const std::filesystem::path& target, const std::vector<PackagePart>& parts) {
    const std::filesystem::path folder = target.parent_path();
    std::filesystem::create_directories(folder);
    const std::filesystem::path partial = folder / ("." + target.filename().string() + ".part");
    std::filesystem::remove(partial);

    int status = 0;
    std::unique_ptr<zip_t, ZipDiscard> archive(zip_open(partial.c_str(), ZIP_CREATE | ZIP_EXCL, &status));
    if (!archive) throw std::runtime_error("cannot write " + partial.string());
    for (const PackagePart& part : parts) addPart(archive.get(), part);
    if (zip_close(archive.get()) < 0) throw std::runtime_error(zip_strerror(archive.get()));
    archive.release();  // closed: zip_close has freed it
    std::filesystem::rename(partial, target);
}

void writeTextFile(const std::filesystem::path& target, std::string_view text) {
    const std::filesystem::path folder = target.parent_path();
    std::filesystem::create_directories(folder);
    const std::filesystem::path partial = folder / ("." + target.filename().string() + ".part");
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(partial, ignored);
            throw std::runtime_error("cannot write " + partial.string());
        }
    }
    std::filesystem::rename(partial, target);
}

std::string xmlEscaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '&') out += "&amp;";
        else out += c;
    }
    return out;
}

std::string run(std::string_view text, RunStyle style) {
    const std::string properties = style == RunStyle::Bold ? "<w:rPr><w:b/></w:rPr>" : "";
    return "<w:r>" + properties + "<w:t xml:space=\"preserve\">" + xmlEscaped(text) + "</w:t></w:r>";
}

std::string paragraph(const std::string& runs) { return runs.empty() ? "<w:p/>" : "<w:p>" + runs + "</w:p>"; }

std::string paragraphs(const std::vector<std::string_view>& lines) {
    std::string out;
    for (std::string_view line : lines) out += paragraph(line.empty() ? std::string() : run(line));
    return out;
}

namespace {

constexpr std::string_view kXmlDeclaration = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)";
constexpr std::string_view kPackageRelationships =
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Target="word/document.xml")"
    R"( Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument"/>)"
    R"(</Relationships>)";
constexpr std::string_view kPartTypes = "application/vnd.openxmlformats-officedocument.wordprocessingml.";
constexpr std::string_view kRelationshipTypes = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

std::string_view wordNamespaces() {
    return R"( xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main")"
           R"( xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships")"
           R"( xmlns:wp="http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing")"
           R"( xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main")"
           R"( xmlns:pic="http://schemas.openxmlformats.org/drawingml/2006/picture")"
           R"( xmlns:wps="http://schemas.microsoft.com/office/word/2010/wordprocessingShape")"
           R"( xmlns:v="urn:schemas-microsoft-com:vml" xmlns:o="urn:schemas-microsoft-com:office:office")"
           R"( xmlns:w10="urn:schemas-microsoft-com:office:word")";
}

std::string typeOverride(std::string_view part, std::string_view type) {
    return "<Override PartName=\"/word/" + std::string(part) + "\" ContentType=\"" + std::string(kPartTypes) +
           std::string(type) + "+xml\"/>";
}

std::string relationship(std::string_view id, std::string_view type, std::string_view target) {
    return "<Relationship Id=\"" + std::string(id) + "\" Type=\"" + std::string(kRelationshipTypes) +
           std::string(type) + "\" Target=\"" + std::string(target) + "\"/>";
}

std::string rootPart(std::string_view element, const std::string& content) {
    return std::string(kXmlDeclaration) + "<w:" + std::string(element) + std::string(wordNamespaces()) + ">" +
           content + "</w:" + std::string(element) + ">";
}

std::string relationshipsPart(const std::string& relationships) {
    return std::string(kXmlDeclaration) + R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)" +
           relationships + "</Relationships>";
}

// The image types of the media parts' extensions, each declared once.
std::string mediaTypes(const std::vector<PackagePart>& media) {
    std::string declared;
    for (const PackagePart& part : media) {
        const std::string extension = part.name.substr(part.name.rfind('.') + 1);
        const std::string type = extension == "jpg" ? "jpeg" : extension;
        const std::string entry = "<Default Extension=\"" + extension + "\" ContentType=\"image/" + type + "\"/>";
        if (declared.find(entry) == std::string::npos) declared += entry;
    }
    return declared;
}

}  // namespace

std::vector<PackagePart> templateParts(const std::string& body, const std::string& header, const std::string& footer,
                                       const TemplateExtras& extras) {
    std::string types = std::string(kXmlDeclaration) +
                        R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
                        R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
                        R"(<Default Extension="xml" ContentType="application/xml"/>)" +
                        mediaTypes(extras.media) +
                        typeOverride("document.xml", extras.mainPart == MainPart::Template ? "template.main" : "document.main");
    std::string relationships = extras.documentRelationships;
    std::string sectionReferences;
    std::vector<PackagePart> parts;
    if (!extras.styles.empty()) {
        types += typeOverride("styles.xml", "styles");
        relationships += relationship("rIdStyles", "styles", "styles.xml");
        parts.push_back({"word/styles.xml", rootPart("styles", extras.styles)});
    }
    if (!header.empty()) {
        types += typeOverride("header1.xml", "header");
        relationships += relationship("rIdHeader1", "header", "header1.xml");
        sectionReferences += R"(<w:headerReference w:type="default" r:id="rIdHeader1"/>)";
        parts.push_back({"word/header1.xml", rootPart("hdr", header)});
        if (!extras.headerRelationships.empty())
            parts.push_back({"word/_rels/header1.xml.rels", relationshipsPart(extras.headerRelationships)});
    }
    if (!footer.empty()) {
        types += typeOverride("footer1.xml", "footer");
        relationships += relationship("rIdFooter1", "footer", "footer1.xml");
        sectionReferences += R"(<w:footerReference w:type="default" r:id="rIdFooter1"/>)";
        parts.push_back({"word/footer1.xml", rootPart("ftr", footer)});
    }
    const std::string section = "<w:sectPr>" + sectionReferences +
                                R"(<w:pgSz w:w="11906" w:h="16838"/>)"
                                R"(<w:pgMar w:top="1440" w:right="1440" w:bottom="1440" w:left="1440")"
                                R"( w:header="708" w:footer="708" w:gutter="0"/></w:sectPr>)";
    parts.insert(parts.begin(),
                 {{"[Content_Types].xml", types + "</Types>"},
                  {"_rels/.rels", std::string(kXmlDeclaration) + std::string(kPackageRelationships)},
                  {"word/document.xml", rootPart("document", "<w:body>" + body + section + "</w:body>")}});
    if (!relationships.empty()) parts.push_back({"word/_rels/document.xml.rels", relationshipsPart(relationships)});
    parts.insert(parts.end(), extras.media.begin(), extras.media.end());
    return parts;
}

}  // namespace lumora::host
