// Mail items as the campaign and the e-mail members fill them: address lines and recipients
// are one list, attachments carry the file's bytes, and both survive a save and a new lookup.

#include <fstream>
#include <string>

#include "Platform/Outlook/sqlite_handles.hpp"
#include "pim_fixture.hpp"

namespace lumora::pim::tests {
namespace {

constexpr int32_t kFileMissing = static_cast<int32_t>(0x80070002);
constexpr int32_t kNotAFile = static_cast<int32_t>(0x80070057);

std::string writeFile(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
    return file.string();
}

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(PimTest, AddressLinesAndRecipientsAreOneListThatASaveKeeps) {
    Object mail = outlook().getObject("CreateItem", 0);
    mail.put("BCC", "ann@example.com; bo@example.com;;  ");  // a campaign's list ends with ";"
    Object placeholder = mail.getObject("Recipients").getObject("Add", "ENTER THE E-MAIL ADDRESS OF THE RECIPIENT HERE");
    Object cc = mail.getObject("Recipients").getObject("Add", "Cy Dee <cy@example.com>");
    cc.put("Type", 2);

    EXPECT_EQ(mail.get("BCC"), Variant("ann@example.com; bo@example.com"));
    EXPECT_EQ(mail.get("To"), Variant("ENTER THE E-MAIL ADDRESS OF THE RECIPIENT HERE"));
    EXPECT_EQ(mail.get("CC"), Variant("Cy Dee <cy@example.com>"));
    EXPECT_EQ(mail.getObject("Recipients").get("Count"), Variant(int32_t{4}));
    EXPECT_EQ(cc.get("Address"), Variant("cy@example.com"));
    EXPECT_EQ(mail.getObject("Recipients").call("ResolveAll"), Variant(false));  // the placeholder
    EXPECT_EQ(placeholder.get("Resolved"), Variant(false));
    EXPECT_AUTOMATION_ERROR(cc.put("Type", 4), 5);

    mail.put("Subject", "Offer");
    mail.call("Save");
    Object again = mapi().getObject("GetItemFromID", mail.get("EntryID"));
    Object recipients = again.getObject("Recipients");
    ASSERT_EQ(recipients.get("Count"), Variant(int32_t{4}));
    EXPECT_EQ(recipients.getObject("Item", 1).get("Type"), Variant(int32_t{3}));
    EXPECT_EQ(recipients.getObject("Item", 4).get("Name"), Variant("Cy Dee <cy@example.com>"));
    EXPECT_EQ(again.get("BCC"), Variant("ann@example.com; bo@example.com"));

    again.put("BCC", "");  // clearing a line leaves the other types alone
    again.call("Save");
    Object third = mapi().getObject("GetItemFromID", mail.get("EntryID"));
    EXPECT_EQ(third.getObject("Recipients").get("Count"), Variant(int32_t{2}));
    EXPECT_EQ(third.get("CC"), Variant("Cy Dee <cy@example.com>"));
}

TEST_F(PimTest, RecipientsResolveAgainstAddressesAndMailboxes) {
    store().addMailbox("Pat Lee");
    Object recipients = outlook().getObject("CreateItem", 0).getObject("Recipients");
    EXPECT_EQ(recipients.getObject("Add", "pat lee").call("Resolve"), Variant(true));
    EXPECT_EQ(recipients.getObject("Add", "\"Lee, Pat\" <pat@example.com>").get("Address"), Variant("pat@example.com"));
    EXPECT_EQ(recipients.getObject("Add", "not an @ address").call("Resolve"), Variant(false));
    EXPECT_EQ(recipients.getObject("Add", "a@b@c").call("Resolve"), Variant(false));
    EXPECT_AUTOMATION_ERROR(recipients.call("Add", "   "), 5);
}

TEST_F(PimTest, AttachmentsCopyTheFileBytesIntoTheStore) {
    const std::filesystem::path folder = m_data.path() / "files";
    std::filesystem::create_directories(folder);
    std::string binary("%PDF\0\x01\xff", 7);
    std::string pdf = writeFile(folder / "quote.pdf", binary);
    std::string empty = writeFile(folder / "empty.txt", "");

    Object mail = outlook().getObject("CreateItem", 0);
    Object attachments = mail.getObject("Attachments");
    EXPECT_EQ(attachments.getObject("Add", pdf).get("FileName"), Variant("quote.pdf"));
    attachments.call("Add", empty);
    std::filesystem::remove(pdf);  // the item keeps what it took
    mail.call("Save");

    Object again = mapi().getObject("GetItemFromID", mail.get("EntryID"));
    Object stored = again.getObject("Attachments");
    ASSERT_EQ(stored.get("Count"), Variant(int32_t{2}));
    EXPECT_EQ(stored.getObject("Item", 1).get("Size"), Variant(int32_t{7}));
    stored.getObject("Item", 1).call("SaveAsFile", (folder / "back.pdf").string());
    EXPECT_EQ(readFile(folder / "back.pdf"), binary);
    EXPECT_EQ(stored.getObject("Item", 2).get("Size"), Variant(int32_t{0}));

    stored.getObject("Item", 1).call("Delete");
    again.call("Save");
    Object third = mapi().getObject("GetItemFromID", mail.get("EntryID"));
    ASSERT_EQ(third.getObject("Attachments").get("Count"), Variant(int32_t{1}));
    EXPECT_EQ(third.getObject("Attachments").getObject("Item", 1).get("FileName"), Variant("empty.txt"));
}

TEST_F(PimTest, AMissingPathOrAFolderAttachesNothing) {
    Object mail = outlook().getObject("CreateItem", 0);
    Object attachments = mail.getObject("Attachments");
    EXPECT_AUTOMATION_ERROR(attachments.call("Add", (m_data.path() / "gone.pdf").string()), kFileMissing);
    EXPECT_AUTOMATION_ERROR(attachments.call("Add", m_data.path().string()), kNotAFile);
    EXPECT_AUTOMATION_ERROR(attachments.call("Add", ""), kFileMissing);
    EXPECT_EQ(attachments.get("Count"), Variant(int32_t{0}));
}

TEST_F(PimTest, AnAttachmentsContentIdIsSetByItsTagAndKeptWithTheItem) {
    const std::filesystem::path folder = m_data.path() / "files";
    std::filesystem::create_directories(folder);
    Object mail = outlook().getObject("CreateItem", 0);
    Object logo = mail.getObject("Attachments").getObject("Add", writeFile(folder / "logo.png", "png"));
    Object accessor = logo.getObject("PropertyAccessor");
    const std::string tag(kAttachContentIdTag);
    EXPECT_EQ(accessor.call("GetProperty", tag), Variant(""));
    accessor.call("SetProperty", tag, "<logo.png@01DA5F>");  // brackets as a header writes them
    EXPECT_EQ(accessor.call("GetProperty", tag.substr(0, tag.size() - 4) + "001e"), Variant("logo.png@01DA5F"));

    const int32_t kUnknownProperty = static_cast<int32_t>(0x8004010F);
    EXPECT_AUTOMATION_ERROR(accessor.call("SetProperty", tag.substr(0, tag.size() - 4) + "0003", "x"), kUnknownProperty);
    EXPECT_AUTOMATION_ERROR(accessor.call("GetProperty", "urn:schemas:mailheader:content-id"), kUnknownProperty);
    for (const char* bad : {"two words", "a\"b", "<>", "semi;colon", "M\xC3\xBCller", "line\r\nX-Injected: 1"}) {
        SCOPED_TRACE(bad);
        EXPECT_AUTOMATION_ERROR(accessor.call("SetProperty", tag, bad), 5);
    }
    EXPECT_AUTOMATION_ERROR(accessor.call("SetProperty", tag, std::string(251, 'x')), 5);
    EXPECT_AUTOMATION_ERROR(accessor.call("SetProperty", tag, 42), 13);
    EXPECT_EQ(accessor.call("GetProperty", tag), Variant("logo.png@01DA5F"));  // refused ids change nothing

    mail.getObject("Attachments").call("Add", writeFile(folder / "plain.pdf", "%PDF-"));
    mail.call("Save");
    Object again = mapi().getObject("GetItemFromID", mail.get("EntryID"));
    Object stored = again.getObject("Attachments");
    EXPECT_EQ(stored.getObject("Item", 1).getObject("PropertyAccessor").call("GetProperty", tag), Variant("logo.png@01DA5F"));
    EXPECT_EQ(stored.getObject("Item", 2).getObject("PropertyAccessor").call("GetProperty", tag), Variant(""));
    stored.getObject("Item", 1).getObject("PropertyAccessor").call("SetProperty", tag, "");  // cleared
    again.call("Save");
    EXPECT_EQ(mapi().getObject("GetItemFromID", mail.get("EntryID")).getObject("Attachments").getObject("Item", 1)
                  .getObject("PropertyAccessor").call("GetProperty", tag),
              Variant(""));
}

TEST_F(PimTest, AStoreMadeBeforeContentIdsKeepsItsAttachmentsAndTakesIds) {
    std::string entryId;
    {
        PimStore old(m_data.path());
        ItemRecord mail;
        mail.folder = old.defaultFolder(old.currentMailbox().id, FolderType::Drafts).id;
        mail.attachments.push_back(std::make_shared<AttachmentRow>(AttachmentRow{"logo.png", "png", {}}));
        mail.mailPartsChanged = true;
        old.saveItem(mail, {});
        old.database().execute("ALTER TABLE attachments DROP COLUMN content_id; PRAGMA user_version = 3");
        entryId = mail.entryId;
    }
    Object mail = mapi().getObject("GetItemFromID", entryId);
    Object attachment = mail.getObject("Attachments").getObject("Item", 1);
    EXPECT_EQ(attachment.get("FileName"), Variant("logo.png"));
    attachment.getObject("PropertyAccessor").call("SetProperty", std::string(kAttachContentIdTag), "logo@crm");
    mail.call("Save");
    PimStore reader = store();
    ItemRecord stored = reader.loadItem(*reader.itemIdByEntryId(entryId));
    reader.loadMailParts(stored);
    ASSERT_EQ(stored.attachments.size(), 1u);
    EXPECT_EQ(stored.attachments[0]->bytes, "png");
    EXPECT_EQ(stored.attachments[0]->contentId, "logo@crm");
}

TEST_F(PimTest, AStoreMadeBeforeMailPartsGainsThemAndKeepsItsItems) {
    std::string entryId;
    {
        // A mail of that time kept its To line as a plain value.
        PimStore old(m_data.path());
        ItemRecord mail;
        mail.folder = old.defaultFolder(old.currentMailbox().id, FolderType::Drafts).id;
        mail.values["Subject"] = Variant("Old");
        old.saveItem(mail, {"Subject"});
        Statement(old.database(), "INSERT INTO item_values(item, name, kind, value) VALUES(?, 'To', ?, ?)")
            .bind(1, mail.id)
            .bindVariant(2, Variant("old@example.com; ann@example.com"))
            .run();
        old.database().execute("DROP TABLE recipients; DROP TABLE attachments; PRAGMA user_version = 0");
        entryId = mail.entryId;
    }
    Object old = mapi().getObject("GetItemFromID", entryId);
    EXPECT_EQ(old.getObject("Recipients").get("Count"), Variant(int32_t{2}));
    EXPECT_EQ(old.get("To"), Variant("old@example.com; ann@example.com"));
    old.put("To", "");
    old.call("Save");
    EXPECT_EQ(mapi().getObject("GetItemFromID", entryId).get("To"), Variant(""));  // emptied stays empty

    Object contact = outlook().getObject("CreateItem", 2);
    contact.put("LastName", "Kept");
    contact.call("Save");

    Object mail = outlook().getObject("CreateItem", 0);
    mail.put("To", "ann@example.com");
    mail.call("Save");
    EXPECT_EQ(mapi().getObject("GetItemFromID", mail.get("EntryID")).get("To"), Variant("ann@example.com"));
    EXPECT_EQ(mapi().getObject("GetItemFromID", contact.get("EntryID")).get("LastName"), Variant("Kept"));
}

}  // namespace
}  // namespace lumora::pim::tests
