// A contact forwarded as a vCard: a new, unsaved mail carrying the card under the contact's name,
// while the contact stays as it was, saved or not.

#include <string>

#include "Platform/Outlook/pim_item.hpp"
#include "Platform/Outlook/vcard_items.hpp"
#include "pim_fixture.hpp"

namespace lumora::pim::tests {
namespace {

constexpr int32_t kContacts = 10;

class ContactForwardingTest : public PimTest {
protected:
    size_t itemsIn(FolderType type) {
        PimStore other = store();
        return other.itemIds(other.defaultFolder(other.currentMailbox().id, type).id).size();
    }
    // The name of the one card the mail carries.
    static std::string cardOf(const Object& mail) {
        const Object attachments = mail.getObject("Attachments");
        EXPECT_EQ(attachments.count(), 1);
        return attachments.item(1).get("FileName").toString();
    }
};

TEST_F(ContactForwardingTest, TheMailCarriesTheCardAndNothingIsSaved) {
    Object contact = defaultFolder(kContacts).getObject("Items").getObject("Add");
    contact.put("FirstName", "Ann");
    contact.put("LastName", "Lee/Smith");
    contact.put("Email1Address", "ann@example.com");
    Object mail = contact.getObject("ForwardAsVcard");
    EXPECT_EQ(mail.get("Class"), Variant(int32_t{43}));
    EXPECT_EQ(mail.get("Subject"), Variant("Ann Lee/Smith"));
    EXPECT_EQ(mail.get("Saved"), Variant(false));
    EXPECT_EQ(cardOf(mail), "Ann Lee_Smith.vcf");  // no name names a folder

    const std::filesystem::path saved = m_data.path() / "card.vcf";
    mail.getObject("Attachments").item(1).call("SaveAsFile", saved.string());
    const std::vector<ItemRecord> cards = readVCards(readFile(saved));
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(textValue(cards[0], "Email1Address"), "ann@example.com");
    EXPECT_EQ(itemsIn(FolderType::Contacts), 0u);
    EXPECT_EQ(itemsIn(FolderType::Drafts), 0u);

    // A saved contact is sent as stored, and left so.
    contact.call("Save");
    contact.put("LastName", "Lee");
    mail = contact.getObject("ForwardAsVcard");
    EXPECT_EQ(mail.get("Subject"), Variant("Ann Lee"));
    EXPECT_EQ(mapi().getObject("GetItemFromID", contact.get("EntryID")).get("LastName"), Variant("Lee/Smith"));
}

TEST_F(ContactForwardingTest, AContactWithoutANameGivesAnUntitledCard) {
    Object contact = defaultFolder(kContacts).getObject("Items").getObject("Add");
    contact.put("CompanyName", "Acme");
    const Object mail = contact.getObject("ForwardAsVcard");
    EXPECT_EQ(mail.get("Subject"), Variant(""));
    EXPECT_EQ(cardOf(mail), "Untitled.vcf");
}

}  // namespace
}  // namespace lumora::pim::tests
