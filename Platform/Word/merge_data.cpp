// Reading the records of a mail merge from a data file or a data-source document, and writing
// a new data-source document with its header record.

#include "merge_data.hpp"

#include "Automation/error.hpp"
#include "Automation/vb/strings.hpp"
#include "Platform/Html/html_parser.hpp"
#include "document_files.hpp"
#include "word_errors.hpp"
#include "wordml.hpp"

namespace lumora::word {

namespace fs = std::filesystem;

namespace {

// A data file larger than this is not read: a merge of that size is not a letter campaign.
constexpr size_t kDataFileLimit = size_t{256} << 20;

// RFC 4180 records: fields split at commas, quoted fields may hold commas, doubled quotes and
// line breaks; lines end in CRLF or LF. A quote inside an unquoted field is taken as written,
// as the control writes its values without escaping them.
std::vector<std::vector<std::string>> splitRecords(std::string_view text) {
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    std::string field;
    bool quoted = false;
    bool fieldStarted = false;
    auto endField = [&] {
        record.push_back(std::move(field));
        field.clear();
        fieldStarted = false;
    };
    auto endRecord = [&] {
        endField();
        records.push_back(std::move(record));
        record.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c != '"') {
                field += c;
            } else if (i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == '"' && !fieldStarted) {
            quoted = true;
            fieldStarted = true;
        } else if (c == ',') {
            endField();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            endRecord();
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (fieldStarted || !field.empty() || !record.empty()) endRecord();
    return records;
}

MergeData fromRows(std::vector<std::vector<std::string>> rows, std::string_view label) {
    if (rows.empty()) raise(WordError::NotMergeData, std::string(label));
    MergeData data;
    data.names = std::move(rows.front());
    for (std::string& name : data.names) name = vb::trim(name);
    for (size_t r = 1; r < rows.size(); ++r) {
        rows[r].resize(data.names.size());
        data.records.push_back(std::move(rows[r]));
    }
    return data;
}

// A cell's text: its paragraphs joined by line breaks, as a value with line breaks was written.
std::string cellText(xmlNode* cell) {
    std::string text;
    bool firstParagraph = true;
    auto walk = [&](auto& self, xmlNode* node) -> void {
        for (xmlNode* child = node->children; child; child = child->next) {
            if (child->type != XML_ELEMENT_NODE) continue;
            if (ml::is(child, "p")) {
                if (!firstParagraph) text += '\n';
                firstParagraph = false;
                self(self, child);
            } else if (ml::is(child, "t")) {
                text += ml::text(child);
            } else if (ml::is(child, "br") || ml::is(child, "cr")) {
                text += '\n';
            } else if (ml::is(child, "tab")) {
                text += '\t';
            } else if (!ml::is(child, "instrText") && !ml::is(child, "delText") && !ml::is(child, "tbl")) {
                self(self, child);
            }
        }
    };
    walk(walk, cell);
    return text;
}

}  // namespace

std::optional<size_t> MergeData::columnOf(std::string_view name) const {
    for (size_t i = 0; i < names.size(); ++i)
        if (vb::equalsNoCase(names[i], name)) return i;
    return std::nullopt;
}

MergeData readCsvData(std::string_view bytes, std::string_view label) {
    // A file holding NUL bytes is a binary file, not a data file; its first line would name nothing.
    if (bytes.find('\0') != std::string_view::npos) raise(WordError::NotMergeData, std::string(label));
    const std::string text = html::decodeDocumentBytes(bytes);
    return fromRows(splitRecords(text), label);
}

MergeData readTableData(DocxDocument& docx, std::string_view label) {
    const std::vector<XmlNode*> tables = docx.tables();
    if (tables.empty()) raise(WordError::NotMergeData, std::string(label));
    std::vector<std::vector<std::string>> rows;
    for (xmlNode* row : docx.rowsOf(tables.front())) {
        std::vector<std::string> cells;
        for (xmlNode* cell = ml::firstElement(row); cell; cell = ml::nextElement(cell))
            if (ml::is(cell, "tc")) cells.push_back(cellText(cell));
        rows.push_back(std::move(cells));
    }
    return fromRows(std::move(rows), label);
}

MergeData readDataSource(const fs::path& file) {
    checkReadable(file);
    const std::string label = file.filename().string();
    if (isPackageFile(file)) {
        auto docx = DocxDocument::open(file);
        return readTableData(*docx, label);
    }
    return readCsvData(readWholeFile(file, kDataFileLimit), label);
}

void writeDataSourceDocument(const fs::path& file, std::string_view headerRecord) {
    std::error_code error;
    if (!fs::is_directory(file.parent_path(), error)) raise(RuntimeError::PathNotFound);
    auto docx = blankDocument();
    Story& main = docx->main();
    xmlNode* body = main.root();
    xmlDoc* doc = body->doc;
    auto element = [&](xmlNode* parent, const char* name) { return xmlAddChild(parent, ml::make(doc, name)); };
    auto setVal = [](xmlNode* node, const char* name, const std::string& value) {
        xmlNewNsProp(node, node->ns, BAD_CAST name, BAD_CAST value.c_str());
    };
    std::vector<std::string> names;
    for (std::string_view rest = headerRecord;;) {
        const size_t comma = rest.find(',');
        names.emplace_back(vb::trim(std::string(rest.substr(0, comma))));
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    // A table as wide as the text, its columns shared equally, with single borders.
    const int textWidth = 9026;
    const std::string columnWidth = std::to_string(textWidth / static_cast<int>(names.size()));
    xmlNode* table = ml::make(doc, "tbl");
    xmlNode* properties = element(table, "tblPr");
    xmlNode* width = element(properties, "tblW");
    setVal(width, "w", std::to_string(textWidth));
    setVal(width, "type", "dxa");
    xmlNode* borders = element(properties, "tblBorders");
    for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"}) {
        xmlNode* border = element(borders, side);
        setVal(border, "val", "single");
        setVal(border, "sz", "4");
    }
    xmlNode* grid = element(table, "tblGrid");
    for (size_t i = 0; i < names.size(); ++i) setVal(element(grid, "gridCol"), "w", columnWidth);
    // The header row and one empty row for the first record, as script fills it from row 2.
    for (bool header : {true, false}) {
        xmlNode* row = element(table, "tr");
        for (const std::string& name : names) {
            xmlNode* cell = element(row, "tc");
            xmlNode* cellWidth = element(element(cell, "tcPr"), "tcW");
            setVal(cellWidth, "w", columnWidth);
            setVal(cellWidth, "type", "dxa");
            xmlNode* paragraph = element(cell, "p");
            if (header && !name.empty()) ml::setText(element(element(paragraph, "r"), "t"), name);
        }
    }
    xmlAddPrevSibling(ml::firstElement(body), table);
    docx->noteStructureEdit(main);
    docx->save(file);
}

const MergeData& AttachedDataSource::data() {
    std::error_code error;
    const auto stamp = fs::last_write_time(m_file, error);
    const auto size = fs::file_size(m_file, error);
    if (error || !m_readAt || *m_readAt != stamp || m_readSize != size) {
        m_data = readDataSource(m_file);
        m_readAt = error ? std::nullopt : std::optional(stamp);
        m_readSize = size;
    }
    return m_data;
}

}  // namespace lumora::word
