// E-mail and fax campaigns on the real PIM: the recipient lists read from the XML, the one mail
// item shown with every address in BCC, its subject, body kind and attachments, read back from
// the displayed draft and the transcript; bad documents, addresses and files get their texts.

#include <gtest/gtest.h>

#include <fstream>

#include "Platform/Outlook/register.hpp"
#include "Platform/Xml/register.hpp"
#include "tests/Automation/error_matchers.hpp"
#include "tests/Control/support/deliverable_fixture.hpp"

namespace lumora {
namespace {

namespace fs = std::filesystem;

const std::string kRecipients = R"(<MAIL_CAMPAIGN>
  <fieldlist><field fieldname="Email1Address" mergeheader="Email"/><Email1Address>list@example.com</Email1Address></fieldlist>
  <contact><Email1Address>ann@example.com</Email1Address><Email1Address>ann@example.com</Email1Address>
    <BusinessFaxNumberFormatted>+44 1 234</BusinessFaxNumberFormatted></contact>
  <anything><Email1Address></Email1Address><email1address>case@example.com</email1address></anything>
  <contact><Email1Address> bo@example.com </Email1Address><BusinessFaxNumberFormatted>+44 5 678</BusinessFaxNumberFormatted></contact>
</MAIL_CAMPAIGN>)";

class CampaignTest : public testing::DeliverableTest {
protected:
    void SetUp() override {
        DeliverableTest::SetUp();
        pim::registerPimClasses(Registry::instance());
        xml::registerXmlClasses(Registry::instance());
        install("Outlook.Application");
        mail = create("LumoraMailContl.LumoraMailCtrl");
        files = dataFolder() / "temp";
    }

    Variant document(const std::string& markup) {
        Object doc = create("Msxml2.DOMDocument");
        doc.call("loadXML", markup);
        return Variant(doc);
    }
    std::string run(const std::string& markup, const std::string& medium, const std::string& body,
                     const std::string& attachments) {
        Variant recipients = document(markup);
        return mail.call("RunCampaign", ByRef{recipients}, medium, "Spring offer", body, "", attachments).toString();
    }
    std::string file(const std::string& name, const std::string& bytes) {
        std::ofstream(files / name, std::ios::binary) << bytes;
        return (files / name).string();
    }
    const desktop::ShowRequest& lastShown() {
        const auto& shown = desktop().transcript().shown;
        EXPECT_FALSE(shown.empty());
        return shown.back();
    }
    std::string draft() {
        std::ifstream in(lastShown().file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    Object mail;
    fs::path files;
};

TEST_F(CampaignTest, AddressListsTakeEveryNonEmptyFieldOfTheirExactNameInDocumentOrder) {
    Variant recipients = document(kRecipients);
    // Duplicates stay; the blanks around " bo@example.com " go with the document's own text.
    EXPECT_EQ(mail.call("BuildAddressList", ByRef{recipients}).toString(), "ann@example.com;ann@example.com;bo@example.com;");
    EXPECT_EQ(mail.call("BuildFaxAddressList", ByRef{recipients}).toString(), "+44 1 234;+44 5 678;");
    Variant elsewhere = document("<CAMPAIGN><contact><Email1Address>a@example.com</Email1Address></contact></CAMPAIGN>");
    EXPECT_AUTOMATION_ERROR(mail.call("BuildAddressList", ByRef{elsewhere}), 91);
}

TEST_F(CampaignTest, EmailCampaignShowsOneHtmlMailWithEveryAddressInBccAndTheNamedFiles) {
    const std::string price = file("price list.pdf", "%PDF-1.4 price");
    const std::string terms = file("terms.txt", "Terms");
    fs::create_directories(files / "folder");
    EXPECT_EQ(run(kRecipients, "0", "<Html><body><p>Dear customer</p></body></html>",
                  price + "; " + terms + ";" + (files / "missing.doc").string() + ";;" + (files / "folder").string()),
              "Success");
    const desktop::ShowRequest& shown = lastShown();
    EXPECT_EQ(shown.kind, "mail");
    EXPECT_EQ(shown.title, "Spring offer");
    EXPECT_NE(shown.detail.find("BCC: ann@example.com; ann@example.com; bo@example.com\n"), std::string::npos);
    EXPECT_NE(shown.detail.find("HTMLBody: <Html><body><p>Dear customer</p></body></html>\n"), std::string::npos);
    EXPECT_NE(shown.detail.find("Attachment: price list.pdf\nAttachment: terms.txt\n"), std::string::npos);
    EXPECT_EQ(shown.detail.find("Attachment: missing.doc"), std::string::npos);
    EXPECT_EQ(shown.detail.find("To:"), std::string::npos);

    const std::string eml = draft();
    EXPECT_NE(eml.find("X-Unsent: 1"), std::string::npos);
    EXPECT_NE(eml.find("Subject: Spring offer"), std::string::npos);
    EXPECT_NE(eml.find("ann@example.com"), std::string::npos);
    EXPECT_NE(eml.find("text/html"), std::string::npos);
    EXPECT_NE(eml.find("terms.txt"), std::string::npos);
}

TEST_F(CampaignTest, FaxCampaignUsesFaxNumbersAndAPlainBodyWhenHtmlIsNotAtTheStart) {
    EXPECT_EQ(run(kRecipients, "1", " <HTML>not quite</HTML>", ""), "Success");
    EXPECT_NE(lastShown().detail.find("BCC: +44 1 234; +44 5 678\n"), std::string::npos);
    EXPECT_NE(lastShown().detail.find("Body:  <HTML>not quite</HTML>\n"), std::string::npos);
    EXPECT_EQ(lastShown().detail.find("HTMLBody:"), std::string::npos);
}

TEST_F(CampaignTest, ACampaignWithoutAttachmentsAttachesNothingFromTheCampaignBefore) {
    const std::string price = file("price.pdf", "%PDF");
    EXPECT_EQ(run(kRecipients, "0", "Hello", price), "Success");
    EXPECT_NE(lastShown().detail.find("Attachment: price.pdf"), std::string::npos);
    EXPECT_EQ(run(kRecipients, "0", "Hello again", ""), "Success");
    EXPECT_EQ(lastShown().detail.find("Attachment:"), std::string::npos);
    EXPECT_EQ(draft().find("price.pdf"), std::string::npos);
}

TEST_F(CampaignTest, AddressesWithSemicolonsOrLineBreaksInsideStayAddressesAndAddNoHeader) {
    const std::string markup =
        "<MAIL_CAMPAIGN><r><Email1Address>ann@example.com;bo@example.com</Email1Address></r>"
        "<r><Email1Address>cy@example.com&#13;&#10;Bcc: spy@example.net</Email1Address></r></MAIL_CAMPAIGN>";
    Variant recipients = document(markup);
    EXPECT_EQ(mail.call("BuildAddressList", ByRef{recipients}),
              Variant("ann@example.com;bo@example.com;cy@example.com\r\nBcc: spy@example.net;"));
    EXPECT_EQ(run(markup, "0", "Hello", ""), "Success");
    const std::string eml = draft();
    EXPECT_NE(eml.find("bo@example.com"), std::string::npos);
    // The line break may not start a header of its own.
    EXPECT_EQ(eml.find("\nBcc: spy@example.net"), std::string::npos);
    EXPECT_EQ(eml.find("\r\nBcc: spy"), std::string::npos);
}

TEST_F(CampaignTest, BadInputAndAnAbsentOutlookGetTheStageTexts) {
    EXPECT_EQ(run("<MAIL_CAMPAIGN><r><Phone>1</Phone></r></MAIL_CAMPAIGN>", "0", "x", ""),
              "No valid email/fax addresses in supplied data");
    EXPECT_EQ(run("<MAIL_CAMPAIGN><r><Email1Address>a@example.com</Email1Address></r></MAIL_CAMPAIGN>", "1", "x", ""),
              "No valid email/fax addresses in supplied data");
    EXPECT_EQ(run("<LIST><r><Email1Address>a@example.com</Email1Address></r></LIST>", "0", "x", ""),
              "Error Retrieving email addresses: Object variable or With block variable not set");
    EXPECT_EQ(run(kRecipients, "2", "x", ""), "Error starting Word instance: ActiveX component can't create object");
    EXPECT_TRUE(desktop().transcript().shown.empty());

    Registry::instance().forgetRunningInstances();
    Registry::instance().setFaults(testing::machineWithoutOutsideApplications());
    EXPECT_EQ(run(kRecipients, "0", "x", ""),
              "Error in MS Outlook: ActiveX component can't create object at step About to create outlook app");
    EXPECT_TRUE(boxes().empty());
}

TEST_F(CampaignTest, VersionIsTheFileVersion) { EXPECT_EQ(mail.call("GetVersion"), Variant("5.1.9")); }

}  // namespace
}  // namespace lumora
