#pragma once
// The numbers the object model speaks in: item classes (an item's Class), item types (what
// CreateItem and Items.Add make, a folder's DefaultItemType) and default folder types; and the
// property tags callers read and set through a PropertyAccessor.

#include <cstdint>
#include <optional>
#include <string_view>

namespace lumora::pim {

enum class ItemClass : int32_t { Mail = 43, Appointment = 26, Contact = 40, Task = 48, DistributionList = 69 };

enum class ItemType : int32_t { Mail = 0, Appointment = 1, Contact = 2, Task = 3, Journal = 4, Note = 5, Post = 6,
                                DistributionList = 7 };

enum class FolderType : int32_t { DeletedItems = 3, Outbox = 4, SentMail = 5, Inbox = 6, Calendar = 9,
                                  Contacts = 10, Journal = 11, Notes = 12, Tasks = 13, Drafts = 16 };

// An attachment's content id, the name an HTML body's "cid:" URLs show it by, as a property tag
// in its Unicode string form. The store also takes the tag's 8-bit string form (ending 001E).
inline constexpr std::string_view kAttachContentIdTag = "http://schemas.microsoft.com/mapi/proptag/0x3712001F";

// The class of item that an item type makes; nullopt for the types this store does not hold.
std::optional<ItemClass> classOfType(int32_t itemType);
std::optional<ItemClass> classFromNumber(int32_t itemClass);
// The default folder a new item of the class belongs to until it is saved elsewhere.
FolderType homeFolderOf(ItemClass itemClass);
// The item window kind the Desktop shows: "mail", "appointment", "contact", "task", "distlist".
std::string_view showKindOf(ItemClass itemClass);

struct DefaultFolderKind {
    FolderType type;
    std::string_view name;
    ItemType itemType;
};
// The default folders every mailbox has, in the order they are made.
extern const DefaultFolderKind kDefaultFolders[10];
// The default folder of that type number; nullopt for a number that names none.
std::optional<DefaultFolderKind> defaultFolderOfType(int32_t folderType);

}  // namespace lumora::pim
