#include "item_kinds.hpp"

namespace lumora::pim {

const DefaultFolderKind kDefaultFolders[10] = {
    {FolderType::Inbox, "Inbox", ItemType::Mail},
    {FolderType::Outbox, "Outbox", ItemType::Mail},
    {FolderType::SentMail, "Sent Items", ItemType::Mail},
    {FolderType::DeletedItems, "Deleted Items", ItemType::Mail},
    {FolderType::Drafts, "Drafts", ItemType::Mail},
    {FolderType::Calendar, "Calendar", ItemType::Appointment},
    {FolderType::Contacts, "Contacts", ItemType::Contact},
    {FolderType::Tasks, "Tasks", ItemType::Task},
    {FolderType::Journal, "Journal", ItemType::Journal},
    {FolderType::Notes, "Notes", ItemType::Note},
};

std::optional<DefaultFolderKind> defaultFolderOfType(int32_t folderType) {
    for (const DefaultFolderKind& folder : kDefaultFolders)
        if (static_cast<int32_t>(folder.type) == folderType) return folder;
    return std::nullopt;
}

std::optional<ItemClass> classOfType(int32_t itemType) {
    switch (static_cast<ItemType>(itemType)) {
    case ItemType::Mail: return ItemClass::Mail;
    case ItemType::Appointment: return ItemClass::Appointment;
    case ItemType::Contact: return ItemClass::Contact;
    case ItemType::Task: return ItemClass::Task;
    case ItemType::DistributionList: return ItemClass::DistributionList;
    default: return std::nullopt;
    }
}

std::optional<ItemClass> classFromNumber(int32_t itemClass) {
    switch (static_cast<ItemClass>(itemClass)) {
    case ItemClass::Mail:
    case ItemClass::Appointment:
    case ItemClass::Contact:
    case ItemClass::Task:
    case ItemClass::DistributionList:
        return static_cast<ItemClass>(itemClass);
    }
    return std::nullopt;
}

FolderType homeFolderOf(ItemClass itemClass) {
    switch (itemClass) {
    case ItemClass::Appointment: return FolderType::Calendar;
    case ItemClass::Contact:
    case ItemClass::DistributionList: return FolderType::Contacts;
    case ItemClass::Task: return FolderType::Tasks;
    case ItemClass::Mail: break;
    }
    return FolderType::Drafts;
}

std::string_view showKindOf(ItemClass itemClass) {
    switch (itemClass) {
    case ItemClass::Appointment: return "appointment";
    case ItemClass::Contact: return "contact";
    case ItemClass::Task: return "task";
    case ItemClass::DistributionList: return "distlist";
    case ItemClass::Mail: break;
    }
    return "mail";
}

}  // namespace lumora::pim
