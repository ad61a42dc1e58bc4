#pragma once
// The text the unsynchronised scans hand the page: the scanned folder's store id, "<-!->", then
// each record followed by "#~". A record's fields are joined by "|", nothing escaped; the fields
// a record cleans lose every "|" of their own, so that the page splits them where it should.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lumora::control {

// The text without any "|".
std::string withoutBars(std::string_view text);

// One record, field by field.
class UnsyncedRecord {
public:
    UnsyncedRecord& field(std::string_view text);
    UnsyncedRecord& cleaned(std::string_view text) { return field(withoutBars(text)); }
    const std::string& text() const { return m_text; }
    std::string take() { return std::move(m_text); }

private:
    std::string m_text;
    bool m_first = true;
};

// The records are kept apart until the whole list is asked for, and joined then in one go.
class UnsyncedList {
public:
    // `expected`: how many records the scan may add at most, as its count of candidates says.
    UnsyncedList(std::string storeId, size_t expected);
    void add(UnsyncedRecord record);
    std::string text() const;

private:
    std::string m_storeId;
    std::vector<std::string> m_records;
};

}  // namespace lumora::control
