#pragma once
// Filling the store from a person's other programs and feeding them: a vCard file imports as
// contacts into the Contacts folder, an iCalendar file as appointments into the Calendar and
// tasks into the Tasks folder, all of the current mailbox. An item whose UID the mailbox already
// holds outside Deleted Items updates that item in place instead: what the file carries is
// replaced, and the item keeps its entry id, its other fields (the CRM's marks in User1 to User4)
// and its user properties. A file holding one UID several times updates that many items, in
// order. An import is one transaction: a file that is too large or cannot be read imports
// nothing. An export writes the whole default folder to one file that replaces the target in
// one step, with each item's UID, so that importing it again updates rather than doubles.

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "pim_store.hpp"

namespace lumora::pim {

inline constexpr uintmax_t kMaxImportBytes = 16u << 20;

struct ImportCounts {
    int32_t contacts = 0;
    int32_t appointments = 0;
    int32_t tasks = 0;
    int32_t created = 0;  // of them, new items
    int32_t updated = 0;  // and stored items updated in place
    int32_t total() const { return contacts + appointments + tasks; }
};

// The file's kind is read from its first line (BEGIN:VCARD or BEGIN:VCALENDAR), not its name.
ImportCounts importFile(PimStore& store, const std::filesystem::path& file);

enum class ExportKind { Contacts, Calendar, Tasks };
// "contacts", "calendar" or "tasks", in any case; BadExportKind otherwise.
ExportKind exportKindOf(std::string_view name);
// Returns how many items were written.
int32_t exportFolder(PimStore& store, ExportKind kind, const std::filesystem::path& file);

}  // namespace lumora::pim
