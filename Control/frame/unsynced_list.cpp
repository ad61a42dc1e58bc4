#include "unsynced_list.hpp"

#include "Automation/vb/strings.hpp"
#include "Control/frame/control_messages.hpp"

namespace lumora::control {

std::string withoutBars(std::string_view text) { return vb::replace(text, msg::UnsyncedFieldSeparator, ""); }

UnsyncedRecord& UnsyncedRecord::field(std::string_view text) {
    if (!m_first) m_text += msg::UnsyncedFieldSeparator;
    m_first = false;
    m_text += text;
    return *this;
}

UnsyncedList::UnsyncedList(std::string storeId, size_t expected) : m_storeId(std::move(storeId)) {
    m_records.reserve(expected);
}

void UnsyncedList::add(UnsyncedRecord record) { m_records.push_back(record.take()); }

std::string UnsyncedList::text() const {
    size_t size = m_storeId.size() + msg::UnsyncedListStart.size();
    for (const std::string& record : m_records) size += record.size() + msg::UnsyncedRecordEnd.size();
    std::string text;
    text.reserve(size);
    text += m_storeId;
    text += msg::UnsyncedListStart;
    for (const std::string& record : m_records) {
        text += record;
        text += msg::UnsyncedRecordEnd;
    }
    return text;
}

}  // namespace lumora::control
