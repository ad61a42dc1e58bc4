#pragma once
// The records a mail merge runs over, and where they come from: a comma-separated data file
// (RFC 4180, UTF-8 with or without a byte-order mark; the first record names the fields) or a
// data-source document (its first table; the first row names the fields). Which of the two a
// file is, is decided by its content, not its name: the control names its data-source document
// ".doc" while it is written as a package, and a data file may carry any extension.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumora::word {

class DocxDocument;

struct MergeData {
    std::vector<std::string> names;
    std::vector<std::vector<std::string>> records;  // each as long as names

    // The column of a field name, ignoring letter case as merge fields do; nullopt when none.
    std::optional<size_t> columnOf(std::string_view name) const;
};

// Errors: NotMergeData naming the label.
MergeData readCsvData(std::string_view bytes, std::string_view label);
// The first table of the main text. Errors: NotMergeData when the document has no table.
MergeData readTableData(DocxDocument& docx, std::string_view label);
// A data file or data-source document. Errors: 53/76/70 for a file that cannot be read, the
// package reader's, NotMergeData.
MergeData readDataSource(const std::filesystem::path& file);

// Writes a new data-source document holding one table: the header record split at its commas,
// and one empty row for the first record. Errors: 76 for a missing folder, FileNotWritten; nothing is left behind.
void writeDataSourceDocument(const std::filesystem::path& file, std::string_view headerRecord);

// A data source attached to a main document: read again when the file has changed since, as
// the control fills the data-source document after attaching it.
class AttachedDataSource {
public:
    explicit AttachedDataSource(std::filesystem::path file) : m_file(std::move(file)) {}
    const std::filesystem::path& file() const { return m_file; }
    const MergeData& data();

private:
    std::filesystem::path m_file;
    MergeData m_data;
    std::optional<std::filesystem::file_time_type> m_readAt;
    uintmax_t m_readSize = 0;
};

}  // namespace lumora::word
