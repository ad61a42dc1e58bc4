#include "merge_data_file.hpp"

#include <system_error>

#include "Automation/error.hpp"
#include "Automation/vb/strings.hpp"

namespace lumora::mail {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool needsQuotes(std::string_view value) { return value.find_first_of("\",\r\n") != std::string_view::npos; }

// The text of the record's first child element named like fieldName in any letter case.
std::optional<std::string> fieldValue(const Object& record, const std::string& upperFieldName) {
    std::optional<std::string> value;
    forEachElement(record, [&](const Object& child) {
        if (!value && vb::uCase(child.get("nodeName").toString()) == upperFieldName)
            value = child.get("text").toString();
    });
    return value;
}

}  // namespace

std::string quotedCsvField(std::string_view value) {
    std::string out = "\"";
    for (char c : value) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

std::string BuildHeaderLine(const std::vector<MergeTag>& tags) {
    std::string line;
    for (size_t i = 0; i < tags.size(); ++i) {
        if (i > 0) line += ',';
        line += needsQuotes(tags[i].mergeheader) ? quotedCsvField(tags[i].mergeheader) : tags[i].mergeheader;
    }
    return line;
}

std::string recordLine(const std::vector<MergeTag>& tags, const Object& record) {
    std::string line;
    for (size_t i = 0; i < tags.size(); ++i) {
        if (i > 0) line += ',';
        if (auto value = fieldValue(record, vb::uCase(tags[i].fieldname))) line += quotedCsvField(*value);
    }
    return line;
}

MergeDataFile::MergeDataFile(fs::path path, const std::string& headerLine)
    : m_path(std::move(path)), m_partial(m_path.string() + ".partial") {
    std::error_code ignored;
    if (!fs::is_directory(m_path.parent_path(), ignored)) raise(RuntimeError::PathNotFound);
    fs::remove(m_path, ignored);
    m_out.open(m_partial, std::ios::binary | std::ios::trunc);
    if (!m_out) raise(RuntimeError::PermissionDenied);
    writeLine(headerLine);
}

MergeDataFile::~MergeDataFile() {
    if (m_committed) return;
    m_out.close();
    std::error_code ignored;
    fs::remove(m_partial, ignored);
}

void MergeDataFile::writeLine(const std::string& line) {
    m_out << line << kLineEnd;
    if (!m_out) raise(RuntimeError::PermissionDenied);
}

void MergeDataFile::commit() {
    m_out.close();
    if (m_out.fail()) raise(RuntimeError::PermissionDenied);
    std::error_code failed;
    fs::rename(m_partial, m_path, failed);
    if (failed) raise(RuntimeError::PermissionDenied);
    m_committed = true;
}

}  // namespace lumora::mail
