#pragma once
// The text the unsynchronised scans hand the page: the scanned folder's store id, "<-!->", then
// each record followed by "#~". A record's fields are joined by "|", nothing escaped; the fields
// a record cleans lose every "|" of their own, so that the page splits them where it should.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "Automation/object.hpp"
#include "Automation/traps.hpp"
#include "failure_forms.hpp"
#include "private_operations.hpp"

namespace lumora::control {

// The text without any "|".
std::string withoutBars(std::string_view text);

// One record, field by field: given as text, or read as text from a member of the item.
class UnsyncedRecord {
public:
    UnsyncedRecord& field(std::string_view text);
    UnsyncedRecord& cleaned(std::string_view text) { return field(withoutBars(text)); }
    UnsyncedRecord& field(const Object& item, std::string_view member) { return field(item.get(member).toString()); }
    UnsyncedRecord& cleaned(const Object& item, std::string_view member) {
        return cleaned(item.get(member).toString());
    }
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

// The frame of the scanning members: the text `scan` builds, after Outlook is released; any
// failure on the way is shown with its own description in an OK-only box, and gives "".
template <class Scan>
Variant unsyncedScan(ControlState& state, Scan&& scan) {
    return trapped(
        [&]() -> Variant {
            Variant result(scan());
            cleanUpOutlook(state);
            return result;
        },
        [&](const Error& e) {
            tell(e.description());
            cleanUpOutlook(state);
            return emptyText();
        });
}

}  // namespace lumora::control
