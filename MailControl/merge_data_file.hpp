#pragma once
// The merge data file the progress window hands to the word processor: CSV after RFC 4180 in
// UTF-8, a header line of merge headers and one line per recipient, each ended by CR LF.
//
// Values are quoted with their quotes doubled, so a value holding a quote, a comma or a line
// break keeps its record and the fields after it intact, and names outside any code page survive.
// The file appears whole or not at all: lines go to a partial file beside it, which takes the
// data file's name only when every record is written and is removed if the merge stops first.
// It is written through the file system object, as plain bytes (UTF-8), so its faults are the
// ones script sees ("Path not found", "Permission denied").

#include <filesystem>
#include <string>
#include <vector>

#include "Automation/object.hpp"
#include "merge_tags.hpp"

namespace lumora::mail {

// A field as RFC 4180 writes it: inside quotes with each quote doubled.
std::string quotedCsvField(std::string_view value);

// The merge headers joined by ",". A header is quoted only when it holds a quote, a comma or a
// line break, so ordinary headers read exactly as the template's author wrote them.
std::string BuildHeaderLine(const std::vector<MergeTag>& tags);

// One recipient's line: per tag, the quoted text of the record's first child element whose name
// matches the tag's fieldname without regard to letter case; an empty, unquoted field if none.
std::string recordLine(const std::vector<MergeTag>& tags, const Object& record);

class MergeDataFile {
public:
    // Deletes an earlier data file of that name and starts the partial file with the header
    // line, then holds it open for appending. Raises the file system object's errors.
    MergeDataFile(std::filesystem::path path, const std::string& headerLine);
    ~MergeDataFile();  // removes the partial file unless committed
    MergeDataFile(const MergeDataFile&) = delete;
    MergeDataFile& operator=(const MergeDataFile&) = delete;

    void writeLine(const std::string& line);
    // Closes the finished file and gives it its name.
    void commit();

private:
    std::filesystem::path m_path;
    std::filesystem::path m_partial;
    Object m_files;   // the file system object
    Object m_stream;  // the partial file, open for appending
    bool m_committed = false;
};

}  // namespace lumora::mail
