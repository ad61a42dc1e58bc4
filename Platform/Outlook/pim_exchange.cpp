#include "pim_exchange.hpp"

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>

#include "Automation/vb/strings.hpp"
#include "Platform/Desktop/desktop.hpp"
#include "Platform/Desktop/new_document.hpp"
#include "icalendar_items.hpp"
#include "pim_errors.hpp"
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

// Each imported item as the store writes it: a stored item with its UID, its carried fields
// replaced, or the new item in its class's default folder.
class ImportMatcher {
public:
    ImportMatcher(PimStore& store, std::span<const std::string_view> (*carriedFields)(ItemClass))
        : m_store(store), m_mailbox(store.currentMailbox().id), m_carriedFields(carriedFields) {}

    void add(ItemRecord imported) {
        if (std::optional<int64_t> id = nextStoredWith(imported)) {
            ItemRecord stored = m_store.loadItem(*id);  // its user properties unread: kept as they are
            std::vector<std::string> names;
            for (std::string_view field : m_carriedFields(stored.itemClass)) {
                const std::string name(field);
                auto value = imported.values.find(name);
                if (value != imported.values.end())
                    stored.values[name] = std::move(value->second);
                else
                    stored.values.erase(name);
                names.push_back(name);
            }
            m_items.push_back(std::move(stored));
            m_changed.push_back(std::move(names));
            ++m_counts.updated;
        } else {
            imported.folder = m_store.defaultFolder(m_mailbox, homeFolderOf(imported.itemClass)).id;
            m_changed.push_back(valueNames(imported));
            m_items.push_back(std::move(imported));
            ++m_counts.created;
        }
        const ItemClass itemClass = m_items.back().itemClass;
        if (itemClass == ItemClass::Contact) ++m_counts.contacts;
        if (itemClass == ItemClass::Appointment) ++m_counts.appointments;
        if (itemClass == ItemClass::Task) ++m_counts.tasks;
    }

    ImportCounts save() {
        m_store.saveItems(m_items, m_changed);
        return m_counts;
    }

private:
    // The next stored item the UID names that no earlier item of the file took.
    std::optional<int64_t> nextStoredWith(const ItemRecord& imported) {
        if (imported.uid.empty()) return std::nullopt;
        auto known = m_byUid.find({imported.itemClass, imported.uid});
        if (known == m_byUid.end()) {
            std::vector<int64_t> ids = m_store.itemIdsByUid(m_mailbox, imported.itemClass, imported.uid);
            std::reverse(ids.begin(), ids.end());  // taken from the back
            known = m_byUid.emplace(std::pair{imported.itemClass, imported.uid}, std::move(ids)).first;
        }
        if (known->second.empty()) return std::nullopt;
        const int64_t id = known->second.back();
        known->second.pop_back();
        return id;
    }

    PimStore& m_store;
    const int64_t m_mailbox;
    std::span<const std::string_view> (*m_carriedFields)(ItemClass);
    std::map<std::pair<ItemClass, std::string>, std::vector<int64_t>> m_byUid;  // still to take
    std::vector<ItemRecord> m_items;
    std::vector<std::vector<std::string>> m_changed;
    ImportCounts m_counts;
};

std::span<const std::string_view> vcardFieldsOf(ItemClass) { return vcardFields(); }

}  // namespace

ImportCounts importFile(PimStore& store, const fs::path& file) {
    const std::string text = readWhole(file);
    const std::string head = firstLine(text);
    const bool isVCard = head == "BEGIN:VCARD";
    if (!isVCard && head != "BEGIN:VCALENDAR") raise(PimError::BadImportFile, "neither a vCard nor an iCalendar file");
    std::vector<ItemRecord> items = isVCard ? readVCards(text) : readCalendar(text);
    ImportMatcher matcher(store, isVCard ? vcardFieldsOf : calendarFieldsOf);
    for (ItemRecord& item : items) matcher.add(std::move(item));
    return matcher.save();
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
