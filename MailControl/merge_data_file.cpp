#include "merge_data_file.hpp"

#include <optional>

#include "Automation/class_ids.hpp"
#include "Automation/registry.hpp"
#include "Automation/traps.hpp"
#include "Automation/vb/strings.hpp"
#include "Platform/Files/text_stream_modes.hpp"

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
    m_files = Registry::instance().createObject(progid::FileSystem);
    for (const fs::path& file : {m_path, m_partial})
        if (m_files.call("FileExists", file.string()).toBool()) m_files.call("DeleteFile", file.string());
    Object created = m_files.call("CreateTextFile", m_partial.string(), true, false).toObject();
    created.call("WriteLine", headerLine);
    created.call("Close");
    m_stream = m_files.call("OpenTextFile", m_partial.string(), static_cast<int32_t>(files::IoMode::Appending), false,
                            static_cast<int32_t>(files::Tristate::False))
                   .toObject();
}

MergeDataFile::~MergeDataFile() {
    if (m_committed) return;
    ResumeNext ignored;
    ignored([&] { m_stream.call("Close"); });
    ignored([&] {
        if (m_files.call("FileExists", m_partial.string()).toBool()) m_files.call("DeleteFile", m_partial.string());
    });
}

void MergeDataFile::writeLine(const std::string& line) { m_stream.call("WriteLine", line); }

void MergeDataFile::commit() {
    m_stream.call("Close");
    m_files.call("MoveFile", m_partial.string(), m_path.string());
    m_committed = true;
}

}  // namespace lumora::mail
