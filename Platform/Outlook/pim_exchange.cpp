#include "pim_exchange.hpp"

#include <algorithm>
#include <fstream>

#include "Automation/vb/strings.hpp"
#include "Platform/Desktop/desktop.hpp"
#include "Platform/Desktop/new_document.hpp"
#include "icalendar_items.hpp"
#include "pim_errors.hpp"
#include "uid_matcher.hpp"
#include "vcard_items.hpp"

namespace lumora::pim {

namespace fs = std::filesystem;

namespace {

std::string readWhole(const fs::path& file) {
    std::error_code error;
    if (!fs::is_regular_file(file, error)) raise(PimError::BadImportFile, file.string() + " is not a file");
    const uintmax_t size = fs::file_size(file, error);
    if (error) raise(PimError::BadImportFile, file.string() + " cannot be read");
    if (size > kMaxImportBytes) raise(PimError::ImportTooLarge, file.string());
    std::ifstream in(file, std::ios::binary);
    std::string text(size, '\0');
    if (!in.read(text.data(), static_cast<std::streamsize>(size))) raise(PimError::BadImportFile, file.string() + " cannot be read");
    return text;
}

// The first line that is not blank, without a byte-order mark, in upper case.
std::string firstLine(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    const size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) return {};
    text.remove_prefix(start);
    std::string line(text.substr(0, text.find_first_of("\r\n")));
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
    for (char& c : line) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return line;
}

// The fields a file of the kind carries, as the matcher names them.
std::vector<std::string> namesOf(std::span<const std::string_view> fields) {
    return {fields.begin(), fields.end()};
}

std::vector<std::string> vcardFieldNames(ItemClass) { return namesOf(vcardFields()); }
std::vector<std::string> calendarFieldNames(ItemClass itemClass) { return namesOf(calendarFieldsOf(itemClass)); }

}  // namespace

ImportCounts importFile(PimStore& store, const fs::path& file) {
    const std::string text = readWhole(file);
    const std::string head = firstLine(text);
    const bool isVCard = head == "BEGIN:VCARD";
    if (!isVCard && head != "BEGIN:VCALENDAR") raise(PimError::BadImportFile, "neither a vCard nor an iCalendar file");
    std::vector<ItemRecord> items = isVCard ? readVCards(text) : readCalendar(text);
    const int64_t mailbox = store.currentMailbox().id;
    UidMatcher matcher(store, mailbox, isVCard ? vcardFieldNames : calendarFieldNames);
    ImportCounts counts;
    for (ItemRecord& item : items) {
        const ItemClass itemClass = item.itemClass;
        const size_t position = matcher.add(std::move(item), store.defaultFolder(mailbox, homeFolderOf(itemClass)).id);
        ++(matcher.isNew(position) ? counts.created : counts.updated);
        if (itemClass == ItemClass::Contact) ++counts.contacts;
        if (itemClass == ItemClass::Appointment) ++counts.appointments;
        if (itemClass == ItemClass::Task) ++counts.tasks;
    }
    matcher.save();
    return counts;
}

ExportKind exportKindOf(std::string_view name) {
    if (vb::equalsNoCase(name, "contacts")) return ExportKind::Contacts;
    if (vb::equalsNoCase(name, "calendar")) return ExportKind::Calendar;
    if (vb::equalsNoCase(name, "tasks")) return ExportKind::Tasks;
    raise(PimError::BadExportKind, name);
}

int32_t exportFolder(PimStore& store, ExportKind kind, const fs::path& file) {
    const FolderType type = kind == ExportKind::Contacts ? FolderType::Contacts
                            : kind == ExportKind::Calendar ? FolderType::Calendar
                                                           : FolderType::Tasks;
    const FolderRow folder = store.defaultFolder(store.currentMailbox().id, type);
    std::vector<ItemRecord> records;
    for (int64_t id : store.itemIds(folder.id)) records.push_back(store.loadItem(id));
    std::vector<const ItemRecord*> items;
    for (const ItemRecord& record : records)
        if (record.itemClass != ItemClass::DistributionList) items.push_back(&record);
    desktop::replaceFile(file, kind == ExportKind::Contacts ? vcardText(items)
                                                            : calendarText(items, desktop::current().now()));
    return static_cast<int32_t>(items.size());
}

}  // namespace lumora::pim
