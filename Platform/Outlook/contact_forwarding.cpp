#include "contact_forwarding.hpp"

#include <memory>

#include "Platform/Desktop/new_document.hpp"
#include "item_kinds.hpp"
#include "vcard_items.hpp"

namespace lumora::pim {

namespace {

constexpr std::string_view kVcardExtension = ".vcf";

// The name the contact is known by: the one given, else the one its parts compose.
std::string fullNameOf(const ItemRecord& contact) {
    std::string name = textValue(contact, "FullName");
    return name.empty() ? composedFullName(contact) : name;
}

}  // namespace

Object forwardAsVcard(const PimItem& contact) {
    const ItemRecord& record = contact.record();
    const std::shared_ptr<PimStore>& store = contact.state()->store;
    const FolderRow drafts = store->defaultFolder(store->currentMailbox().id, homeFolderOf(ItemClass::Mail));
    Object mail = PimItem::create(store, drafts.id, ItemClass::Mail);

    const std::string fullName = fullNameOf(record);
    if (!fullName.empty()) mail.put("Subject", fullName);
    // A name from a person's contact may hold a separator or nothing usable: the attachment is
    // named as a document would be, so saving it beside others names no other folder.
    auto card = std::make_shared<AttachmentRow>();
    card->fileName = desktop::safeFileStem(fullName) + std::string(kVcardExtension);
    card->bytes = vcardText({&record});
    ItemRecord& parts = mail.as<PimItem>()->state()->mailParts();
    parts.attachments.push_back(std::move(card));
    parts.mailPartsChanged = true;
    return mail;
}

}  // namespace lumora::pim
