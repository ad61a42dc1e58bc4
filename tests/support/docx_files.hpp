#pragma once
// Word packages for tests and benches, written and read with libzip directly, so what the engine
// produces is checked by a reader that is not its own: a package from a body (and headers and
// footers), one entry's text read back, and the visible text of a part.

#include <zip.h>

#include <filesystem>
#include <memory>
#include <regex>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace lumora::testing {

inline const std::string kWordNamespaces =
    "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
    "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
    "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
    "xmlns:wps=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\" "
    "xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\" "
    "xmlns:v=\"urn:schemas-microsoft-com:vml\" "
    "mc:Ignorable=\"wps\"";

struct DocxParts {
    std::string body;  // the content of w:body, without sectPr
    // Header and footer parts: type ("default", "first", "even") and content of w:hdr / w:ftr.
    std::vector<std::pair<std::string, std::string>> headers;
    std::vector<std::pair<std::string, std::string>> footers;
    bool isTemplate = false;
    // Extra entries written as given (name, bytes), for hostile packages.
    std::vector<std::pair<std::string, std::string>> extra;
    bool withoutDocument = false;
    // A macro-enabled template's type for the main part, and more declarations and relationships.
    bool macroEnabled = false;
    std::string extraContentTypes;
    std::string extraRelationships;
};

inline DocxParts withBody(std::string body) {
    DocxParts parts;
    parts.body = std::move(body);
    return parts;
}

inline void writeZip(const std::filesystem::path& file, const std::vector<std::pair<std::string, std::string>>& entries) {
    int error = 0;
    zip_t* archive = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive) throw std::runtime_error("cannot create " + file.string());
    for (const auto& [name, bytes] : entries) {
        zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        if (!source || zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE) < 0) {
            zip_source_free(source);
            zip_discard(archive);
            throw std::runtime_error("cannot add " + name);
        }
    }
    if (zip_close(archive) != 0) {
        zip_discard(archive);
        throw std::runtime_error("cannot write " + file.string());
    }
}

inline void writeDocx(const std::filesystem::path& file, const DocxParts& parts) {
    const std::string mainType =
        parts.macroEnabled ? "application/vnd.ms-word.template.macroEnabledTemplate.main+xml"
        : parts.isTemplate ? "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml"
                           : "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";
    std::string types =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/word/document.xml\" ContentType=\"" + mainType + "\"/>";
    std::string rels =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    std::string references;
    std::vector<std::pair<std::string, std::string>> entries;
    int number = 0;
    const auto addParts = [&](const auto& list, const char* kind, const char* element) {
        for (const auto& [type, content] : list) {
            const std::string name = std::string(kind) + std::to_string(++number) + ".xml";
            types += "<Override PartName=\"/word/" + name +
                     "\" ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml." + kind + "+xml\"/>";
            rels += "<Relationship Id=\"rId" + std::to_string(number) +
                    "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/" + kind +
                    "\" Target=\"" + name + "\"/>";
            references += std::string("<w:") + kind + "Reference w:type=\"" + type + "\" r:id=\"rId" + std::to_string(number) + "\"/>";
            entries.emplace_back("word/" + name, "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:" +
                                                     std::string(element) + " " + kWordNamespaces + ">" + content + "</w:" +
                                                     element + ">");
        }
    };
    addParts(parts.headers, "header", "hdr");
    addParts(parts.footers, "footer", "ftr");
    types += parts.extraContentTypes + "</Types>";
    rels += parts.extraRelationships + "</Relationships>";
    const std::string document = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:document " +
                                 kWordNamespaces + "><w:body>" + parts.body + "<w:sectPr>" + references +
                                 "<w:pgSz w:w=\"11906\" w:h=\"16838\"/></w:sectPr></w:body></w:document>";
    entries.insert(entries.begin(), {"[Content_Types].xml", types});
    entries.insert(entries.begin() + 1,
                   {"_rels/.rels",
                    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                    "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" Target=\"word/document.xml\"/>"
                    "</Relationships>"});
    if (!parts.withoutDocument) entries.emplace_back("word/document.xml", document);
    entries.emplace_back("word/_rels/document.xml.rels", rels);
    for (const auto& entry : parts.extra) entries.push_back(entry);
    writeZip(file, entries);
}

// The entry's bytes; throws when the package or the entry cannot be read.
inline std::string readEntry(const std::filesystem::path& file, const std::string& name) {
    int error = 0;
    std::unique_ptr<zip_t, decltype(&zip_discard)> archive(zip_open(file.c_str(), ZIP_RDONLY, &error), zip_discard);
    if (!archive) throw std::runtime_error("not a package: " + file.string());
    zip_stat_t stat;
    if (zip_stat(archive.get(), name.c_str(), 0, &stat) != 0) throw std::runtime_error("no entry " + name);
    std::unique_ptr<zip_file_t, decltype(&zip_fclose)> entry(zip_fopen(archive.get(), name.c_str(), 0), zip_fclose);
    std::string bytes(static_cast<size_t>(stat.size), '\0');
    if (!entry || zip_fread(entry.get(), bytes.data(), bytes.size()) != static_cast<zip_int64_t>(bytes.size()))
        throw std::runtime_error("cannot read " + name);
    return bytes;
}

// The text of every w:t element of a part, unescaped, paragraphs separated by "|".
inline std::string visibleText(const std::string& xml) {
    std::string out;
    static const std::regex piece("<w:t(?: [^>]*)?>([^<]*)</w:t>|</w:p>|<w:p/>");
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), piece); it != std::sregex_iterator(); ++it) {
        if ((*it)[0].str()[1] != 'w' || (*it)[0].str().rfind("<w:t", 0) != 0) {
            out += "|";
            continue;
        }
        std::string text = (*it)[1].str();
        for (auto [entity, character] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}})
            for (size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
                text.replace(at, std::string_view(entity).size(), character);
        out += text;
    }
    return out;
}

inline std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '&') out += "&amp;";
        else out += c;
    }
    return out;
}

// A paragraph of runs: each run's text (escaped here), with optional run properties.
inline std::string paragraph(const std::vector<std::pair<std::string, std::string>>& runs, const std::string& properties = {}) {
    std::string p = "<w:p>" + properties;
    for (const auto& [text, runProperties] : runs)
        p += "<w:r>" + (runProperties.empty() ? "" : "<w:rPr>" + runProperties + "</w:rPr>") +
             "<w:t xml:space=\"preserve\">" + escaped(text) + "</w:t></w:r>";
    return p + "</w:p>";
}
inline std::string paragraph(const std::string& text) { return paragraph({{text, ""}}); }

// A table of rows of cell texts (each cell one paragraph).
inline std::string table(const std::vector<std::vector<std::string>>& rows) {
    std::string t = "<w:tbl><w:tblPr/><w:tblGrid>";
    for (size_t c = 0; c < (rows.empty() ? 0 : rows[0].size()); ++c) t += "<w:gridCol w:w=\"2000\"/>";
    t += "</w:tblGrid>";
    for (const auto& row : rows) {
        t += "<w:tr>";
        for (const auto& cell : row) t += "<w:tc><w:tcPr><w:tcW w:w=\"2000\" w:type=\"dxa\"/></w:tcPr>" + cell + "</w:tc>";
        t += "</w:tr>";
    }
    return t + "</w:tbl>";
}

// A text box anchored in a run: the drawing with its fallback picture, both holding `content`.
inline std::string textBox(const std::string& content) {
    return "<w:p><w:r><mc:AlternateContent><mc:Choice Requires=\"wps\"><w:drawing><wp:anchor distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\" simplePos=\"0\" relativeHeight=\"1\" behindDoc=\"0\" locked=\"0\" layoutInCell=\"1\" allowOverlap=\"1\">"
           "<wp:simplePos x=\"0\" y=\"0\"/><wp:positionH relativeFrom=\"column\"><wp:posOffset>0</wp:posOffset></wp:positionH>"
           "<wp:positionV relativeFrom=\"paragraph\"><wp:posOffset>0</wp:posOffset></wp:positionV><wp:extent cx=\"2000000\" cy=\"500000\"/>"
           "<wp:wrapNone/><wp:docPr id=\"1\" name=\"Text Box 1\"/><a:graphic><a:graphicData uri=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\">"
           "<wps:wsp><wps:cNvSpPr txBox=\"1\"/><wps:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"2000000\" cy=\"500000\"/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></wps:spPr>"
           "<wps:txbx><w:txbxContent>" + content + "</w:txbxContent></wps:txbx><wps:bodyPr/></wps:wsp></a:graphicData></a:graphic></wp:anchor></w:drawing></mc:Choice>"
           "<mc:Fallback><w:pict><v:shape style=\"width:157pt;height:39pt\"><v:textbox><w:txbxContent>" + content +
           "</w:txbxContent></v:textbox></v:shape></w:pict></mc:Fallback></mc:AlternateContent></w:r></w:p>";
}

}  // namespace lumora::testing
