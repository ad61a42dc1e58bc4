// New e-mails through the control on a real store, read back from the draft a person's mail
// program opens (by Python's own e-mail parser): the quote and report e-mail with its
// placeholders and subjects, and the new, reply and forward messages with their quoted original.

#include <gtest/gtest.h>

#include <fstream>

#include "tests/Control/support/outlook_fixture.hpp"
#include "tests/support/mail_draft_reader.hpp"

namespace lumora {
namespace {

using nlohmann::json;

const std::string kCrLf = "\r\n";
const std::string kFace = "\xF0\x9F\x98\x80";  // a character outside the Basic Multilingual Plane

class OutgoingEmailTest : public testing::OutlookControlTest {
protected:
    // The draft of the last e-mail shown.
    json lastDraft() {
        if (shown().empty() || shown().back().kind != "mail") {
            ADD_FAILURE() << "no e-mail was shown";
            return json::object();
        }
        return testing::readMailDraft(shown().back().file);
    }
    Variant generateEmail(const std::string& body, const std::string& address, const std::string& subject,
                          const std::string& mailType, const std::string& addressType = "Email") {
        arguments = {Variant(body), Variant(address), Variant(subject), Variant(mailType), Variant(addressType)};
        return callWith("GenerateEmail", arguments);
    }
    // One of the four message members; SendEmail takes the address alone.
    Variant message(const std::string& member, const std::string& address, const std::string& subject = "",
                    const std::string& body = "") {
        arguments = {Variant(address)};
        if (member != "SendEmail")
            arguments.insert(arguments.end(), {Variant("Bo <bo@example.com>"), Variant("08/12/2026 09:10"),
                                               Variant("Ann <ann@example.com>"), Variant(subject), Variant(body)});
        return callWith(member, arguments);
    }
    // A body part as the parser gives it, its line ends as a reader shows them (a base64 or
    // quoted-printable part keeps the CR LF of MIME's canonical text), without the line end the
    // draft closes it with.
    static std::string bodyOf(const json& part) {
        std::string text;
        for (char c : part.is_string() ? part.get<std::string>() : std::string())
            if (c != '\r') text += c;
        if (!text.empty() && text.back() == '\n') text.pop_back();
        return text;
    }
    void damageStore() {
        Registry::instance().forgetRunningInstances();
        std::ofstream(dataFolder() / "pim.sqlite", std::ios::binary | std::ios::trunc) << std::string(8192, 'Z');
        std::filesystem::remove(dataFolder() / "pim.sqlite-wal");
    }

    std::vector<Variant> arguments;
};

TEST_F(OutgoingEmailTest, GenerateEmailAddressesAQuoteOrReportAndTitlesIt) {
    EXPECT_EQ(generateEmail("<p>Q-17</p>", "null", "Q-17", "Quote"), Variant());
    EXPECT_EQ(arguments[1], Variant("ENTER THE E-MAIL ADDRESS OF THE RECIPIENT OF THE QUOTE HERE"));
    json draft = lastDraft();
    EXPECT_EQ(draft["subject"], "Quote: Q-17");
    EXPECT_EQ(bodyOf(draft["html"]), "<p>Q-17</p>");
    EXPECT_TRUE(draft["unsent"]);
    EXPECT_NE(shown().back().detail.find("To: ENTER THE E-MAIL ADDRESS OF THE RECIPIENT OF THE QUOTE HERE\n"),
              std::string::npos);

    generateEmail("<p>r</p>", "", "March", "Quote", "Fax");
    EXPECT_EQ(arguments[1], Variant("ENTER THE FAX ADDRESS OF THE RECIPIENT OF THE QUOTE HERE"));
    // Mail types are compared exactly: a lower-case quote is a report.
    generateEmail("<p>r</p>", "null", "March", "quote");
    EXPECT_EQ(arguments[1], Variant("ENTER THE E-MAIL ADDRESS OF THE RECIPIENT OF THE REPORT HERE"));
    EXPECT_EQ(lastDraft()["subject"], "Report on: March");
    generateEmail("<p>r</p>", "", "", "Report", "Fax");
    EXPECT_EQ(arguments[1], Variant("ENTER THE FAX ADDRESS OF THE RECIPIENT OF THE REPORT HERE"));
    EXPECT_EQ(lastDraft()["subject"], "");

    generateEmail("<p>r</p>", "\"Lee, Ann " + kFace + "\" <ann@example.com>", "Q", "Quote");
    EXPECT_EQ(lastDraft()["to"], "\"Lee, Ann " + kFace + "\" <ann@example.com>");
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(shown().size(), 5u);
}

TEST_F(OutgoingEmailTest, GenerateEmailCopiesTheScreenAsTheWindowOpens) {
    generateEmail("<p>r</p>", "ann@example.com", "Q", "Quote");
    ASSERT_EQ(desktop().transcript().keys.size(), 1u);
    const std::vector<int32_t>& keys = desktop().transcript().keys[0];
    // One Print Screen press, or on an older generation Alt held around it.
    EXPECT_TRUE(keys == std::vector<int32_t>({44}) || keys == std::vector<int32_t>({18, 44, 44, 18}));
}

TEST_F(OutgoingEmailTest, GenerateEmailTakesAFiveMegabyteBody) {
    const std::string body = "<html><body>" + std::string(5 << 20, 'x') + kFace + "</body></html>";
    generateEmail(body, "ann@example.com", "Big", "Quote");
    EXPECT_EQ(bodyOf(lastDraft()["html"]).size(), body.size());
    EXPECT_TRUE(boxes().empty());
}

TEST_F(OutgoingEmailTest, GenerateEmailWithoutOutlookExplainsForWhatWasBeingSent) {
    setFaults(testing::machineWithoutOutsideApplications());
    generateEmail("<p>r</p>", "", "S", "Report");
    expectLastBox("Unable to send this report. Ensure Microsoft Outlook is available and configured for your use.",
                  "Unable to send report", 64);
    generateEmail("<p>r</p>", "", "S", "Quote");
    expectLastBox("Unable to send this quote. Ensure Microsoft Outlook is available and configured for your use.",
                  "Unable to send quote", 64);
    EXPECT_TRUE(shown().empty());
}

TEST_F(OutgoingEmailTest, GenerateEmailExplainsAnyOtherFailureAsAQuote) {
    damageStore();
    generateEmail("<p>r</p>", "", "S", "Report");
    expectLastBox("Unable to send this quote. Ensure Microsoft Outlook is available and configured for your use.",
                  "Unable to send quote", 64);
    EXPECT_TRUE(shown().empty());
}

TEST_F(OutgoingEmailTest, NewMessagesCarryTheAddressSubjectAndPlainBody) {
    EXPECT_EQ(message("SendEmail", "o\\'brien@example.com"), Variant(true));
    EXPECT_EQ(arguments[0], Variant("o'brien@example.com"));  // the caller's variable, unescaped
    EXPECT_EQ(lastDraft()["to"], "o'brien@example.com");

    EXPECT_EQ(message("SendEmailFull", "o\\'brien@example.com", "Offer " + kFace, "Line 1\r\nLine 2"), Variant(true));
    EXPECT_EQ(arguments[0], Variant("o\\'brien@example.com"));
    json draft = lastDraft();
    EXPECT_EQ(draft["subject"], "Offer " + kFace);
    EXPECT_EQ(bodyOf(draft["text"]), "Line 1\nLine 2");
    EXPECT_TRUE(draft["html"].is_null());
    EXPECT_TRUE(boxes().empty());
}

TEST_F(OutgoingEmailTest, RepliesQuoteTheOriginalAsHtmlOrPlainText) {
    EXPECT_EQ(message("SendEmailWithOriginal", "bo@example.com", "Offer", "<Html><b>Yes</b></Html>"), Variant(true));
    EXPECT_EQ(lastDraft()["subject"], "RE: Offer");
    EXPECT_NE(shown().back().detail.find(
                  "HTMLBody: <br>-----Original Message-----<br>From:Bo <bo@example.com><br>Sent:08/12/2026 09:10"
                  "<br>To:Ann <ann@example.com><br>Subject:Offer<br><br><Html><b>Yes</b></Html>\n"),
              std::string::npos)
        << shown().back().detail;

    message("SendEmailWithOriginal", "bo@example.com", "Offer", "Plain yes");
    EXPECT_NE(shown().back().detail.find("Body: " + kCrLf + kCrLf + "-----Original Message-----" + kCrLf +
                                         "From:Bo <bo@example.com>" + kCrLf + "Sent:08/12/2026 09:10" + kCrLf +
                                         "To:Ann <ann@example.com>" + kCrLf + "Subject:Offer" + kCrLf + kCrLf +
                                         "Plain yes\n"),
              std::string::npos)
        << shown().back().detail;
    EXPECT_TRUE(lastDraft()["html"].is_null());
}

TEST_F(OutgoingEmailTest, AForwardIsLeftForThePersonToAddress) {
    EXPECT_EQ(message("ForwardEmailWithOriginal", "bo@example.com", "Offer", "text"), Variant(true));
    json draft = lastDraft();
    EXPECT_EQ(draft["subject"], "RE: Offer");
    EXPECT_EQ(draft["to"], "");
    EXPECT_NE(draft["text"].get<std::string>().find("-----Original Message-----"), std::string::npos);
}

TEST_F(OutgoingEmailTest, MessagesWithoutOutlookAnswerFalseQuietly) {
    setFaults(testing::machineWithoutOutsideApplications());
    for (const char* member : {"SendEmail", "SendEmailFull", "SendEmailWithOriginal", "ForwardEmailWithOriginal"})
        EXPECT_EQ(message(member, "a@example.com", "s", "b"), Variant(false)) << member;
    EXPECT_TRUE(boxes().empty());
    EXPECT_TRUE(shown().empty());
}

}  // namespace
}  // namespace lumora
