// Displayed items outside a page: the files a person's mail, calendar and address programs open,
// written whole to the Lumora documents folder under names that no subject can turn into a path.

#include <fstream>
#include <string>

#include "pim_fixture.hpp"

namespace lumora::pim::tests {
namespace {

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ItemFilesTest : public PimTest {
protected:
    std::filesystem::path documents() const { return m_data.path() / "documents"; }
    std::filesystem::path displayed(Object item) {
        item.call("Display");
        const auto& shown = m_desktop.transcript().shown;
        return shown.empty() ? std::filesystem::path() : shown.back().file;
    }
};

TEST_F(ItemFilesTest, AMailBecomesAnUnsentDraftWithItsBccAndAttachments) {
    std::filesystem::create_directories(m_data.path() / "in");
    std::ofstream(m_data.path() / "in" / "quote.pdf", std::ios::binary) << std::string("%PDF\0\x01\xff", 7);
    Object mail = outlook().getObject("CreateItem", 0);
    mail.put("Subject", "Your quote – Q-17");
    mail.put("HTMLBody", "<html><body><p>Dear customer</p></body></html>");
    mail.put("BCC", "ann@example.com;bo@example.com;");
    mail.getObject("Recipients").call("Add", "ENTER THE E-MAIL ADDRESS OF THE RECIPIENT OF THE QUOTE HERE");
    mail.getObject("Attachments").call("Add", (m_data.path() / "in" / "quote.pdf").string());

    const std::filesystem::path file = displayed(mail);
    EXPECT_EQ(file, documents() / "Your quote – Q-17.eml");
    const std::string draft = readFile(file);
    EXPECT_NE(draft.find("X-Unsent: 1\r\n"), std::string::npos);
    EXPECT_NE(draft.find("Bcc: ann@example.com, bo@example.com\r\n"), std::string::npos) << draft;
    EXPECT_NE(draft.find("To: ENTER THE E-MAIL ADDRESS OF THE RECIPIENT OF THE QUOTE HERE: ;\r\n"), std::string::npos) << draft;
    EXPECT_NE(draft.find("Subject: Your quote =?UTF-8?B?4oCT?= Q-17\r\n"), std::string::npos);  // the dash encoded
    EXPECT_NE(draft.find("Content-Type: text/html"), std::string::npos);
    EXPECT_NE(draft.find("filename=quote.pdf"), std::string::npos);
    EXPECT_NE(draft.find("JVBERgAB/w=="), std::string::npos);  // the attachment's bytes, base64
    EXPECT_NE(m_desktop.transcript().shown.back().detail.find("\nBCC: ann@example.com; bo@example.com\n"), std::string::npos);
    // Displaying is not saving.
    EXPECT_TRUE(store().itemIds(store().defaultFolder(store().currentMailbox().id, FolderType::Drafts).id).empty());
}

TEST_F(ItemFilesTest, ALineBreakInASubjectOrNameStartsNoHeaderOfItsOwn) {
    Object mail = outlook().getObject("CreateItem", 0);
    mail.put("Subject", "Hello\r\nBcc: everyone@example.com");
    mail.getObject("Recipients").call("Add", "Ann\r\nX-Injected: 1 <ann@example.com>");
    const std::string draft = readFile(displayed(mail));
    EXPECT_EQ(draft.find("\r\nBcc:"), std::string::npos) << draft;
    EXPECT_EQ(draft.find("\r\nX-Injected:"), std::string::npos) << draft;
    EXPECT_NE(draft.find("ann@example.com"), std::string::npos);
}

TEST_F(ItemFilesTest, NamesComeFromTheSubjectStayInTheDocumentsFolderAndNeverReplaceAFile) {
    Object mail = outlook().getObject("CreateItem", 0);
    mail.put("Subject", "../../etc/passwd");
    EXPECT_EQ(displayed(mail), documents() / "_.._etc_passwd.eml");
    mail.put("Subject", "Offer");
    EXPECT_EQ(displayed(mail), documents() / "Offer.eml");
    EXPECT_EQ(displayed(mail), documents() / "Offer (2).eml");
    mail.put("Subject", " ..  ");
    EXPECT_EQ(displayed(mail), documents() / "Untitled.eml");
    mail.put("Subject", std::string(200, 'x') + "\xF0\x9F\x98\x80");
    EXPECT_EQ(displayed(mail).filename(), std::string(80, 'x') + ".eml");
    for (const auto& entry : std::filesystem::directory_iterator(documents()))
        EXPECT_NE(entry.path().filename().string().front(), '.') << "a scratch file was left: " << entry.path();
}

TEST_F(ItemFilesTest, AnAppointmentBecomesAnIcsAndAContactAVcard) {
    Object appointment = outlook().getObject("CreateItem", 1);
    appointment.put("Subject", "Site visit");
    appointment.put("Location", "Dock 3; gate B");
    appointment.put("Start", Date{46364.4166666667});  // 2026-12-08 10:00
    appointment.put("End", Date{46364.5});
    const std::string ics = readFile(displayed(appointment));
    EXPECT_NE(ics.find("BEGIN:VEVENT\r\n"), std::string::npos);
    EXPECT_NE(ics.find("SUMMARY:Site visit\r\n"), std::string::npos);
    EXPECT_NE(ics.find("LOCATION:Dock 3\\; gate B\r\n"), std::string::npos) << ics;
    EXPECT_NE(ics.find("DTSTART:20261208T100000\r\n"), std::string::npos) << ics;
    EXPECT_NE(ics.find("DTEND:20261208T120000\r\n"), std::string::npos);

    Object contact = outlook().getObject("CreateItem", 2);
    contact.put("FirstName", "Ann");
    contact.put("LastName", "Lee");
    const std::filesystem::path card = displayed(contact);
    EXPECT_EQ(card.filename(), "Ann Lee.vcf");
    EXPECT_NE(readFile(card).find("N:Lee;Ann;;;\r\n"), std::string::npos);
}

}  // namespace
}  // namespace lumora::pim::tests
