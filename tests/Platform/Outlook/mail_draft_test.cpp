// Drafts as other mail programs read them: Python's email package, ripmime and munpack each read
// every kind of draft the PIM writes and find the same addresses, text and attachment bytes.

#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "pim_fixture.hpp"
#include "tests/support/docx_files.hpp"
#include "tests/support/mail_draft_reader.hpp"

namespace lumora::pim::tests {
namespace {

using nlohmann::json;
using lumora::testing::hexOf;
using lumora::testing::readMailDraft;

const std::string kPdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj <<>> endobj\ntrailer <<>>\n%%EOF\n";
const std::string kPng("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x01\0\0\0\x01\x08\x02\0\0\0", 29);
const std::string kGif = "GIF89a\x01\x00\x01\x00\x80\x00\x00";

class MailDraftTest : public PimTest {
protected:
    std::string file(const std::string& name, const std::string& bytes) {
        std::filesystem::create_directories(m_data.path() / "in");
        std::ofstream(m_data.path() / "in" / name, std::ios::binary) << bytes;
        return (m_data.path() / "in" / name).string();
    }
    std::string docx(const std::string& name) {
        const std::filesystem::path path = m_data.path() / "in" / name;
        std::filesystem::create_directories(path.parent_path());
        lumora::testing::writeDocx(path, lumora::testing::withBody(lumora::testing::paragraph("Angebot")));
        return path.string();
    }
    Object newMail() { return outlook().getObject("CreateItem", 0); }
    Object attach(Object& mail, const std::string& path) { return mail.getObject("Attachments").getObject("Add", path); }

    // The draft Display writes, as the readers report it; m_raw keeps its text.
    json draftOf(Object& mail) {
        mail.call("Display");
        const std::filesystem::path written = m_desktop.transcript().shown.back().file;
        m_raw = readFile(written);
        json draft = readMailDraft(written);
        expectReadableEverywhere(draft);
        return draft;
    }

    // What every draft owes every reader: no defect but the one Python notes on the RFC 2047
    // name of a non-ASCII file name (the form older readers need), lines within RFC 5322's 998,
    // CR LF alone as line ends, and the mark of a message still to be sent.
    static void expectReadableEverywhere(const json& draft) {
        for (const auto& defect : draft["defects"]) {
            const std::string text = defect;
            const bool nameForOlderReaders =
                text.find(" Content-Type: ") != std::string::npos &&
                (text.find("encoded word inside quoted string") != std::string::npos ||
                 text.find("missing trailing whitespace after encoded-word") != std::string::npos);
            EXPECT_TRUE(nameForOlderReaders) << text;
        }
        EXPECT_LE(draft["longest_line"].get<int>(), 998) << draft["long_lines"];
        EXPECT_EQ(draft["bare_line_feeds"], 0);
        EXPECT_EQ(draft["headers"]["x-unsent"], "1");
    }

    static const json& partOfType(const json& draft, const std::string& type, int skip = 0) {
        for (const auto& part : draft["parts"])
            if (part["type"] == type && skip-- == 0) return part;
        static const json none = json::object();
        ADD_FAILURE() << "no part of type " << type << " in " << draft["structure"];
        return none;
    }

    static const json* savedAs(const json& files, const std::string& name) {
        for (const auto& saved : files)
            if (saved["name"] == name) return &saved;
        return nullptr;
    }

    std::string m_raw;
};

TEST_F(MailDraftTest, EveryKindOfBodyIsUtf8WithItsTextIntact) {
    const std::string plain = "Sehr geehrte Frau Zoë Müller,\nanbei das Angebot – 😀\n";
    const std::string html = "<html><head><meta charset=\"iso-8859-1\"></head><body><p>Zoë Müller</p></body></html>";
    struct Kind {
        std::string plain, html, structure;
    };
    for (const Kind& kind : {Kind{plain, "", "text/plain"}, Kind{"", html, "text/html"},
                             Kind{plain, html, "multipart/alternative[text/plain, text/html]"}}) {
        SCOPED_TRACE(kind.structure);
        Object mail = newMail();
        mail.put("Subject", "Angebot für Zoë – Q-17 😀");
        if (!kind.plain.empty()) mail.put("Body", kind.plain);
        if (!kind.html.empty()) mail.put("HTMLBody", kind.html);
        const json draft = draftOf(mail);
        EXPECT_EQ(draft["structure"], kind.structure);
        EXPECT_EQ(draft["headers"]["subject"], "Angebot für Zoë – Q-17 😀");
        for (const auto& part : draft["parts"]) {
            EXPECT_EQ(part["charset"], "utf-8");
            EXPECT_TRUE(part["encoding"] == "quoted-printable" || part["encoding"] == "base64") << part["encoding"];
        }
        if (!kind.plain.empty()) EXPECT_EQ(partOfType(draft, "text/plain")["text"], "Sehr geehrte Frau Zoë Müller,\nanbei das Angebot – 😀\n");
        if (!kind.html.empty()) {
            const json& part = partOfType(draft, "text/html");
            EXPECT_NE(part["text"].get<std::string>().find("<p>Zoë Müller</p>"), std::string::npos);
            EXPECT_EQ(part["meta_charsets"], json::array({"utf-8"}));
        }
    }
    Object ascii = newMail();
    ascii.put("Body", "Short ASCII lines\ngo out as they are.\n");
    EXPECT_EQ(draftOf(ascii)["parts"][0]["encoding"], "7bit") << m_raw;
    ascii.put("Body", std::string(200, 'x'));  // too long a line for 7bit
    EXPECT_EQ(draftOf(ascii)["parts"][0]["encoding"], "quoted-printable") << m_raw;
}

TEST_F(MailDraftTest, TheHtmlDeclaresTheEncodingItsPartHas) {
    struct Case {
        std::string html;
        json declared;
    };
    const std::vector<Case> cases{
        {R"(<html><head><META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=windows-1252"></head>)"
         "<body>Zoë Müller</body></html>",
         json::array({"utf-8"})},
        {"<html><head><meta charset='UTF-8'><!-- <meta charset=\"latin1\"> --></head><body>Zoë Müller</body></html>",
         json::array({"utf-8"})},
        {"<p>Zoë Müller</p>", json::array()},  // none declared, none added
        // Bytes that are no UTF-8 (a page saved in Windows-1252 and read whole) read as that code page.
        {"<html><head><meta charset=\"windows-1252\"></head><body>Zo\xEB M\xFCller \x80</body></html>", json::array({"utf-8"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.html);
        Object mail = newMail();
        mail.put("HTMLBody", c.html);
        const json html = partOfType(draftOf(mail), "text/html");
        EXPECT_EQ(html["charset"], "utf-8");
        EXPECT_EQ(html["meta_charsets"], c.declared);
        EXPECT_NE(html["text"].get<std::string>().find("Zoë Müller"), std::string::npos) << html["text"];
    }
}

TEST_F(MailDraftTest, AttachmentsKeepTheirBytesNamesAndATypeTheirContentTells) {
    const std::string word = docx("word.docx");
    struct Expected {
        std::string name, bytes, type;
        json charset;
    };
    const std::vector<Expected> expected{
        {"quote.pdf", kPdf, "application/pdf", nullptr},
        {"Attachment.Doc", readFile(word), "application/vnd.openxmlformats-officedocument.wordprocessingml.document", nullptr},
        {"terms.txt", "Liefer- und Zahlungsbedingungen – gültig ab 1.1.\r\n", "text/plain", "utf-8"},
        {"legacy.txt", "Gr\xFC\xDF" "e aus K\xF6ln\r\n", "text/plain", nullptr},
        {"Angebot Müller.pdf", kPdf, "application/pdf", nullptr},
        {"Zoë.vcf", "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Zoë Müller\r\nEND:VCARD\r\n", "text/vcard", "utf-8"},
    };
    Object mail = newMail();
    mail.put("Subject", "Unterlagen");
    mail.put("Body", "Anbei.");
    for (const Expected& e : expected) attach(mail, file(e.name, e.bytes));

    const json draft = draftOf(mail);
    EXPECT_EQ(draft["structure"], "multipart/mixed[text/plain, application/pdf, " + expected[1].type +
                                      ", text/plain, text/plain, application/pdf, text/vcard]");
    for (size_t i = 0; i < expected.size(); ++i) {
        const Expected& e = expected[i];
        SCOPED_TRACE(e.name);
        const json& part = draft["parts"][i + 1];
        EXPECT_EQ(part["type"], e.type);
        EXPECT_EQ(part["charset"], e.charset);
        EXPECT_EQ(part["disposition"], "attachment");
        EXPECT_EQ(part["filename"], e.name);
        EXPECT_EQ(part["hex"], hexOf(e.bytes));
        const json* ripped = savedAs(draft["ripmime"], e.name);
        ASSERT_NE(ripped, nullptr) << draft["ripmime"];
        EXPECT_EQ((*ripped)["hex"], hexOf(e.bytes));
    }
    // munpack knows only the name on Content-Type, in its RFC 2047 form, which it does not
    // decode; without that form it saved non-ASCII names as "part2", "part3".
    ASSERT_EQ(draft["munpack"].size(), expected.size()) << draft["munpack"];
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(draft["munpack"][i]["name"].get<std::string>().rfind("part", 0), std::string::npos) << draft["munpack"];
        std::string unpacked = expected[i].bytes;
        if (expected[i].type.starts_with("text/")) unpacked = std::regex_replace(unpacked, std::regex("\r\n"), "\n");
        EXPECT_TRUE(std::any_of(draft["munpack"].begin(), draft["munpack"].end(),
                                [&](const json& f) { return f["hex"] == hexOf(unpacked); }))
            << expected[i].name;
    }
    EXPECT_NE(m_raw.find("filename*=UTF-8''Angebot%20M%C3%BCller.pdf"), std::string::npos) << m_raw;
    EXPECT_NE(m_raw.find("name=\"=?UTF-8?Q?Angebot_M=C3=BCller.pdf?=\""), std::string::npos) << m_raw;
    EXPECT_NE(m_raw.find("filename=quote.pdf"), std::string::npos);
}

TEST_F(MailDraftTest, RecipientsComeOutAsWrittenWithEveryHeaderInAscii) {
    Object mail = newMail();
    mail.put("To", "\"Müller, Zoë\" <zoe@example.com>; \"Bob \\\"the Builder\\\" O'Neil\" <bob@example.com>; "
                   "Back\\slash <bs@example.com>; Party 🎉 Team <party@example.com>");
    mail.put("CC", "info@bücher.example; zoë@example.com; Zoë <zoë@example.com>; ENTER THE ADDRESS HERE: or, here");
    mail.getObject("Recipients").getObject("Add", "\"Kim; Lee\" <kim@example.com>").put("Type", 3);
    mail.put("SenderName", "Vertrieb – Nord");
    mail.put("SenderEmailAddress", "vertrieb@example.com");
    const json draft = draftOf(mail);
    EXPECT_TRUE(draft["defects"].empty()) << draft["defects"];
    EXPECT_EQ(draft["headers"]["to"], json::parse(R"([
        {"name": "Müller, Zoë", "address": "zoe@example.com"},
        {"name": "Bob \"the Builder\" O'Neil", "address": "bob@example.com"},
        {"name": "Back\\slash", "address": "bs@example.com"},
        {"name": "Party 🎉 Team", "address": "party@example.com"}])"));
    // A domain in Unicode becomes its A-labels; an address whose local part is not ASCII, like
    // a placeholder, stays visible as a group for the person to correct.
    EXPECT_EQ(draft["headers"]["cc"], json::parse(R"([
        {"name": "", "address": "info@xn--bcher-kva.example"},
        {"group": "zoë@example.com", "members": []},
        {"group": "Zoë <zoë@example.com>", "members": []},
        {"group": "ENTER THE ADDRESS HERE: or, here", "members": []}])"));
    EXPECT_EQ(draft["headers"]["bcc"], json::parse(R"([{"name": "Kim; Lee", "address": "kim@example.com"}])"));
    EXPECT_EQ(draft["headers"]["from"], json::parse(R"([{"name": "Vertrieb – Nord", "address": "vertrieb@example.com"}])"));
    const std::string headers = m_raw.substr(0, m_raw.find("\r\n\r\n"));
    EXPECT_TRUE(std::all_of(headers.begin(), headers.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        << headers;
}

TEST_F(MailDraftTest, LongLinesFoldWithinTheLimitAndLoseNothing) {
    std::string bcc;
    for (int i = 0; i < 3000; ++i) bcc += "member" + std::to_string(i) + "@example.com;";
    const std::string subject = std::string(1500, 'x') + " " + std::string(600, 'y') + " ü";
    std::string placeholder = "ENTER THE ADDRESS HERE";
    while (placeholder.size() < 1200) placeholder += " OR HERE";
    const std::string longName = std::string(1100, 'a') + " Müller.pdf";
    Object mail = newMail();
    mail.put("BCC", bcc);
    mail.put("Subject", subject);
    mail.getObject("Recipients").call("Add", placeholder);
    mail.getObject("Attachments").call("Add", file("long.pdf", kPdf), 1, 1, longName);

    const json draft = draftOf(mail);
    EXPECT_TRUE(draft["defects"].size() <= 2) << draft["defects"];  // the RFC 2047 name alone
    ASSERT_EQ(draft["headers"]["bcc"].size(), 3000u);
    EXPECT_EQ(draft["headers"]["bcc"][2999]["address"], "member2999@example.com");
    EXPECT_EQ(draft["headers"]["subject"], subject);
    EXPECT_EQ(draft["headers"]["to"][0]["group"], placeholder);
    EXPECT_EQ(draft["parts"][1]["filename"], longName);
}

TEST_F(MailDraftTest, AnHtmlBodyShowsTheAttachmentsItRefersToInPlace) {
    Object mail = newMail();
    mail.put("HTMLBody", "<html><body><img src=\"cid:logo.png@crm\"><p style=\"background:url(cid:stripe@crm)\">Zoë</p>"
                         "<p>cid:sign.gif@crm.old is text about another one</p></body></html>");
    Object logo = attach(mail, file("logo.png", kPng));
    logo.getObject("PropertyAccessor").call("SetProperty", std::string(kAttachContentIdTag), "logo.png@crm");
    attach(mail, file("stripe.gif", kGif)).getObject("PropertyAccessor").call("SetProperty", std::string(kAttachContentIdTag), "<stripe@crm>");
    attach(mail, file("sign.gif", kGif)).getObject("PropertyAccessor").call("SetProperty", std::string(kAttachContentIdTag), "sign.gif@crm");
    attach(mail, file("quote.pdf", kPdf));

    json draft = draftOf(mail);
    EXPECT_EQ(draft["structure"],
              "multipart/mixed[multipart/related[text/html, image/png, image/gif], image/gif, application/pdf]");
    EXPECT_EQ(draft["parts"][1]["content_id"], "logo.png@crm");
    EXPECT_EQ(draft["parts"][1]["disposition"], "inline");
    EXPECT_EQ(draft["parts"][1]["hex"], hexOf(kPng));
    EXPECT_EQ(draft["parts"][2]["content_id"], "stripe@crm");
    // Not shown by the body: attached, so the person still sees it.
    EXPECT_EQ(draft["parts"][3]["disposition"], "attachment");
    EXPECT_EQ(draft["parts"][3]["filename"], "sign.gif");
    for (const char* name : {"logo.png", "stripe.gif", "sign.gif", "quote.pdf"})
        EXPECT_NE(savedAs(draft["ripmime"], name), nullptr) << name << draft["ripmime"];
    EXPECT_NE(m_raw.find("type=\"text/html\""), std::string::npos) << m_raw.substr(0, 2000);

    mail.put("Body", "Zoë");
    mail.getObject("Attachments").call("Remove", 4);
    mail.getObject("Attachments").call("Remove", 3);
    draft = draftOf(mail);
    EXPECT_EQ(draft["structure"],
              "multipart/related[multipart/alternative[text/plain, text/html], image/png, image/gif]");
}

}  // namespace
}  // namespace lumora::pim::tests
