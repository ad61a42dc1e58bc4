// An HTML letter as a mail body: the pictures Word saved beside the page, in "<name>_files",
// go along as attachments the body shows in place by content id; every other link stays as it
// was and attaches nothing. The mail is a real PIM item, and its draft is read back by Python's
// email package.

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>

#include "Control/documents/html_mail_body.hpp"
#include "Platform/Outlook/item_kinds.hpp"
#include "tests/Automation/error_matchers.hpp"
#include "tests/Control/support/word_fixture.hpp"
#include "tests/support/mail_draft_reader.hpp"

namespace lumora {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const std::string kPng("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16);
const std::string kGif = "GIF89a\x01\x00\x01\x00";

void write(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

class HtmlMailBody : public testing::WordFixture {
protected:
    fs::path tmp() const { return temp.path() / "tmp"; }
    Object newMail() { return Registry::instance().createObject("Outlook.Application").getObject("CreateItem", 0); }

    static std::set<std::string> contentIdsIn(const std::string& html) {
        std::set<std::string> ids;
        const std::regex cid("cid:([^\"]+)\"");
        for (auto it = std::sregex_iterator(html.begin(), html.end(), cid); it != std::sregex_iterator(); ++it)
            ids.insert((*it)[1]);
        return ids;
    }
};

TEST_F(HtmlMailBody, PicturesInsideTheFolderBesideThePageAreShownByContentId) {
    const fs::path page = tmp() / "Letter05_09.htm";
    const fs::path pictures = tmp() / "Letter05_09_files";
    write(pictures / "image001.png", kPng);
    write(pictures / "image two.gif", kGif);
    write(pictures / "sub" / "stripe.gif", kGif);
    write(page, "<html><head><meta charset=\"utf-8\"></head><body>"
                "<img src=\"Letter05_09_files/image001.png\" alt=\"Logo\"><p>Sehr geehrte Frau Müller,</p>"
                "<img src='Letter05_09_files/image001.png'>"
                "<v:shape><v:imagedata src=\"Letter05_09_files/image%20two.gif\"/></v:shape>"
                "<table><tr><td background=\"Letter05_09_files/sub/stripe.gif\">x</td></tr></table>"
                "<script>var s = '<img src=\"Letter05_09_files/image001.png\">';</script></body></html>");

    Object mail = newMail();
    control::setHtmlMailBody(mail, page.string());
    const std::string html = mail.get("HTMLBody").toString();
    EXPECT_EQ(contentIdsIn(html).size(), 3u) << html;
    EXPECT_NE(html.find("alt=\"Logo\"><p>Sehr geehrte Frau Müller,</p>"), std::string::npos);  // the rest as written
    EXPECT_NE(html.find("var s = '<img src=\"Letter05_09_files/image001.png\">';"), std::string::npos);  // no element

    Object attachments = mail.getObject("Attachments");
    ASSERT_EQ(attachments.get("Count"), Variant(int32_t{3}));  // the logo once, shown twice
    std::set<std::string> attachedIds;
    for (int32_t i = 1; i <= 3; ++i) {
        Object attachment = attachments.getObject("Item", i);
        attachedIds.insert(attachment.getObject("PropertyAccessor")
                               .call("GetProperty", std::string(pim::kAttachContentIdTag))
                               .toString());
    }
    EXPECT_EQ(attachedIds, contentIdsIn(html));
    EXPECT_EQ(attachments.getObject("Item", 2).get("FileName"), Variant("image two.gif"));

    // The mail program's view: the pictures inside the HTML's related part, none attached.
    mail.call("Display");
    const json draft = testing::readMailDraft(desktop.transcript().shown.back().file);
    EXPECT_EQ(draft["structure"], "multipart/related[text/html, image/png, image/gif, image/gif]");
    EXPECT_EQ(draft["parts"][1]["hex"], testing::hexOf(kPng));
    EXPECT_EQ(draft["parts"][1]["disposition"], "inline");
    EXPECT_TRUE(attachedIds.count(draft["parts"][1]["content_id"].get<std::string>()));
}

TEST_F(HtmlMailBody, LinksThatLeadOutOfTheFolderStayAsWrittenAndAttachNothing) {
    const fs::path page = tmp() / "Letter.htm";
    const fs::path pictures = tmp() / "Letter_files";
    write(tmp() / "secret.png", kPng);
    write(tmp() / "Other_files" / "logo.png", kPng);
    write(pictures / "logo.png", kPng);
    fs::create_directories(pictures / "folder.png");
    fs::create_symlink(tmp() / "secret.png", pictures / "link.png");
    fs::create_directory_symlink(tmp() / "Other_files", pictures / "linked");
    const std::string links[] = {
        "../secret.png", "Letter_files/../secret.png", "Letter_files/%2E%2E/secret.png", "Letter_files/..%2Fsecret.png",
        "/etc/hostname", (tmp() / "secret.png").string(), "file:///etc/hostname", "http://example.com/logo.png",
        "Letter_files/link.png", "Letter_files/linked/logo.png", "Letter_files/missing.png", "Letter_files/folder.png",
        "Other_files/logo.png", "Letter_files\\logo.png", "Letter_files/logo.png%", "Letter_files//logo.png",
        "Letter_files/logo.png?v=2", "Letter_files",
    };
    std::string body = "<html><body>";
    for (const std::string& link : links) body += "<img src=\"" + link + "\">";
    body += "</body></html>";
    write(page, body);

    Object mail = newMail();
    control::setHtmlMailBody(mail, page.string());
    EXPECT_EQ(mail.get("HTMLBody"), Variant(body));
    EXPECT_EQ(mail.getObject("Attachments").get("Count"), Variant(int32_t{0}));
    EXPECT_AUTOMATION_ERROR(control::setHtmlMailBody(mail, (tmp() / "gone.htm").string()), 53);
    EXPECT_EQ(control::pictureFolderOf("/tmp/x/Letter05_09.htm"), "/tmp/x/Letter05_09_files");
}

}  // namespace
}  // namespace lumora
