// Quotes made by the control from Word templates and quote records: the in-line line table, the
// external HTML table, the quote left in Word or saved, and the mailed quote in each form. The
// saved packages are read back by libxml2, PDFs by pdftotext, mail drafts by Python's email.

#include <gtest/gtest.h>

#include "Control/documents/quote_builder.hpp"
#include "Control/documents/quote_paths.hpp"
#include "letters_fixture.hpp"
#include "quotes_fixture.hpp"

namespace lumora {
namespace {

namespace fs = std::filesystem;
using testing::paragraphTexts;
using testing::readEntry;
using testing::TableRows;
using testing::tablesOf;
using Texts = std::vector<std::string>;

const std::string kAllParts = std::string(kQuoteFields) + std::string(kThreeLines);
const std::string kHeading = "Quote Q-1001 for Anne M\xC3\xBCller";
const TableRows kFilledTable{{"Description", "Quantity", "Unit Price", "<Discount>"},
                             {"Desk", "2", "120.00", ""},
                             {"Chair", "4", "45.50", ""},
                             {"Lamp", "1", "19.99", ""}};

size_t documentsShown(const desktop::HeadlessDesktop& desktop) {
    return std::count_if(desktop.transcript().shown.begin(), desktop.transcript().shown.end(),
                         [](const auto& shown) { return shown.kind == "document"; });
}

TEST_F(Quotes, InlineLinesFillARowEachByColumnKeyUnderTheFieldsCaptions) {
    const fs::path saved = temp.path() / "Q-1001.docx";
    // Any strMakeWordVisible but "1" builds unseen; the finished quote is shown.
    EXPECT_EQ(wordQuote(quoteRecord(kAllParts), quoteTemplate(lineTable()), saved.string(), "true"), "");
    EXPECT_EQ(boxTexts(), Texts{});
    const std::string document = readEntry(saved, "word/document.xml");
    EXPECT_EQ(paragraphTexts(document).at(0), kHeading);
    EXPECT_EQ(tablesOf(document), std::vector<TableRows>{kFilledTable});
    EXPECT_EQ(documentsShown(desktop), 1u);
}

TEST_F(Quotes, AFieldTaggedWithBlanksCaptionsTheColumnItsHeaderNames) {
    // The header <Unit Price> has the key unit_price; a field tagged "Unit Price" names it too.
    std::string fields(kQuoteFields);
    const std::string taggedWithUnderscore = R"(templatetag="unit_price" label="Unit Price")";
    fields.replace(fields.find(taggedWithUnderscore), taggedWithUnderscore.size(),
                   R"(templatetag="Unit Price" label="Price each")");
    const fs::path saved = temp.path() / "blanks.docx";
    wordQuote(quoteRecord(fields + std::string(kThreeLines)), quoteTemplate(lineTable()), saved.string());
    EXPECT_EQ(tablesOf(readEntry(saved, "word/document.xml")).at(0).at(0).at(2), "Price each");
}

TEST_F(Quotes, WithoutLinesCaptionsOrALineTableTheQuoteSaysWhatItCouldNotDo) {
    // No lines: the captions and tags are filled, the empty line row stays.
    const fs::path noLines = temp.path() / "no-lines.docx";
    wordQuote(quoteRecord(kQuoteFields), quoteTemplate(lineTable()), noLines.string());
    const std::string document = readEntry(noLines, "word/document.xml");
    EXPECT_EQ(paragraphTexts(document).at(0), kHeading);
    EXPECT_EQ(tablesOf(document), (std::vector<TableRows>{{kFilledTable[0], {"", "", "", ""}}}));

    // No captions: the build stops at the headers and its Word is closed unsaved.
    const fs::path noCaptions = temp.path() / "no-captions.docx";
    wordQuote(quoteRecord(kThreeLines), quoteTemplate(lineTable()), noCaptions.string());
    EXPECT_FALSE(fs::exists(noCaptions));
    EXPECT_EQ(boxTexts(), Texts{"An error has occurred replacing the document tags: Object variable or With block "
                                "variable not set\r\nStep Information: Processing in-line table headers"});

    // No table and no marker: the user is told, and the tags are filled all the same.
    const fs::path noTable = temp.path() / "no-table.docx";
    wordQuote(quoteRecord(kAllParts), quoteTemplate(""), noTable.string());
    ASSERT_EQ(boxes().size(), 2u);
    EXPECT_EQ(boxes()[1].request.text, "The quote template has no table for line data");
    EXPECT_EQ(boxes()[1].request.title, "Lumora");
    EXPECT_EQ(boxes()[1].request.buttons, 64);
    EXPECT_EQ(paragraphTexts(readEntry(noTable, "word/document.xml")).at(0), kHeading);
    EXPECT_EQ(documentsShown(desktop), 2u);
}

TEST_F(Quotes, TheExternalTableTakesThePlaceOfItsMarkerParagraph) {
    const fs::path saved = temp.path() / "external.docx";
    wordQuote(quoteRecord(kAllParts), externalTemplate(), saved.string());
    EXPECT_EQ(boxTexts(), Texts{});
    const std::string document = readEntry(saved, "word/document.xml");
    EXPECT_EQ(paragraphTexts(document).at(0), kHeading);
    EXPECT_EQ(tablesOf(document), (std::vector<TableRows>{{{"Group A"},
                                                           {"Desk", "2", "120.00"},
                                                           {"Chair", "4", "45.50"},
                                                           {"Group B"},
                                                           {"Lamp", "1", "19.99"}}}));
    EXPECT_TRUE(fs::is_empty(tmp()));
}

TEST_F(Quotes, AnExternalTableThatCannotBeReadOrFilledEndsTheBuildInItsOwnWords) {
    writeFile(temp.path() / "templates" / "plain.htm", "<table><tr><td>&lt;DESCRIPTION&gt;</td></tr></table>");
    for (const char* name : {"missing.htm", "plain.htm"})
        wordQuote(quoteRecord(kAllParts), quoteTemplate(testing::paragraph(std::string("<htmltable>") + name)),
                  (temp.path() / "never.docx").string());
    EXPECT_EQ(boxTexts(),
              (Texts{"An Error occurred on first reference to html template 'missing.htm': File not found\r\n"
                     "Ensure that the html file exists in the quotes templates directory and can be accessed",
                     "An Error occurred adding data to html template 'plain.htm': The html table template has no "
                     "line row: its start marker must be followed by its end marker\r\n"
                     "Ensure that html table template is correctly formatted"}));
    EXPECT_EQ(boxes()[1].request.buttons, 16);
    EXPECT_EQ(boxes()[1].request.title, "Lumora");
    EXPECT_FALSE(fs::exists(temp.path() / "never.docx"));
    EXPECT_TRUE(fs::is_empty(tmp()));
}

TEST_F(Quotes, AMailedQuoteTakesTheFormThePageAsksForAndLeavesNoTemporaryFile) {
    const fs::path tpl = quoteTemplate(lineTable());
    const fs::path parts = temp.path() / "parts";
    fs::create_directories(parts);
    EXPECT_EQ(wordQuoteHtml(quoteRecord(kAllParts), tpl, "ATTACH", "Q-1001.final.doc"),
              "ENTER THE E-MAIL ADDRESS OF THE RECIPIENT OF THE QUOTE HERE");
    nlohmann::json mail = lastMail(parts);
    EXPECT_EQ(mail["subject"], "Quote: Q-1001");
    ASSERT_EQ(mail["attachments"].size(), 1u);
    EXPECT_EQ(mail["attachments"][0]["filename"], "Q-1001.doc");
    EXPECT_EQ(tablesOf(readEntry(parts / "Q-1001.doc", "word/document.xml")), std::vector<TableRows>{kFilledTable});

    wordQuoteHtml(quoteRecord(kAllParts), tpl, "AttachHtml", "C:/quotes/Q7");
    mail = lastMail();
    ASSERT_EQ(mail["attachments"].size(), 1u);
    EXPECT_EQ(mail["attachments"][0]["filename"], "Q7.htm");

    wordQuoteHtml(quoteRecord(kAllParts), tpl, "html", "");
    mail = lastMail();
    EXPECT_TRUE(mail["attachments"].empty());
    const std::string body = mail["html"].get<std::string>();
    for (const std::string text : {"Anne M\xC3\xBCller", "Chair", "45.50", "Lamp"})
        EXPECT_NE(body.find(text), std::string::npos) << text;

    EXPECT_EQ(boxTexts(), Texts{});
    EXPECT_TRUE(fs::is_empty(tmp()));
}

TEST_F(Quotes, EveryLineReachesThePdfWordExportsAndTheOneLibreOfficeMakesOfEachDocx) {
    const fs::path tpl = quoteTemplate(lineTable());
    const fs::path out = temp.path() / "out";
    fs::create_directories(out);
    wordQuote(quoteRecord(kAllParts), tpl, (out / "Q-1001.PDF").string());
    wordQuote(quoteRecord(kAllParts), tpl, (out / "Q-1002.docx").string());
    wordQuote(quoteRecord(kAllParts), externalTemplate(), (out / "Q-1003.docx").string());
    commandOutput("soffice -env:UserInstallation=file://" + (temp.path() / "profile").string() +
                  " --headless --convert-to pdf --outdir '" + (out / "converted").string() + "' '" +
                  (out / "Q-1002.docx").string() + "' '" + (out / "Q-1003.docx").string() + "' 2>&1");
    wordQuoteHtml(quoteRecord(kAllParts), tpl, "attachpdf", "Q-1004");
    lastMail(out);
    EXPECT_EQ(boxTexts(), Texts{});
    for (const fs::path& pdf : {out / "Q-1001.PDF", out / "converted" / "Q-1002.pdf", out / "converted" / "Q-1003.pdf",
                                out / "Q-1004.pdf"}) {
        const std::string text = commandOutput("pdftotext -layout '" + pdf.string() + "' -");
        for (const std::string line : {kHeading, std::string("Desk"), std::string("120.00"), std::string("Chair"),
                                       std::string("45.50"), std::string("Lamp"), std::string("19.99")})
            EXPECT_NE(text.find(line), std::string::npos) << pdf << ": " << line << "\n" << text;
    }
}

TEST_F(Quotes, WithoutAPdfConverterTheMailedQuoteIsADocAndEveryFailedSaveIsTold) {
    const fs::path tpl = quoteTemplate(lineTable());
    testing::withoutOffice(temp.path() / "no-programs", [&] {
        wordQuoteHtml(quoteRecord(kAllParts), tpl, "AttachPDF", "Q-1001", (temp.path() / "copy.pdf").string());
    });
    const std::string noExport =
        "Unable to export to PDF.  PDF Export requires Word 2007 or above with Microsoft's free 'Save as PDF' add-in";
    EXPECT_EQ(boxTexts(), (Texts{noExport, "Unable to write as PDF.  Will be written as doc instead", noExport,
                                 "Unable to save document as PDf format.  PDF save requires Word 2007 or above with "
                                 "the appropriate Microsoft add-in"}));
    EXPECT_EQ(boxes()[1].request.buttons, 64);
    EXPECT_EQ(boxes()[3].request.buttons, 48);
    EXPECT_EQ(boxes()[3].request.title, "Lumora");
    EXPECT_EQ(lastMail()["attachments"][0]["filename"], "Q-1001.doc");
    EXPECT_FALSE(fs::exists(temp.path() / "copy.pdf"));
    EXPECT_TRUE(fs::is_empty(tmp()));

    // A quote that cannot be saved where the page asks is shown, for the user to save it.
    const fs::path nowhere = temp.path() / "no such folder" / "Q.docx";
    EXPECT_EQ(wordQuote(quoteRecord(kAllParts), tpl, nowhere.string()), "");
    EXPECT_EQ(boxes().back().request.text,
              "The document could not be saved to '" + nowhere.string() +
                  "'. Path not found  Please inform your systems administrator");
    EXPECT_EQ(boxes().back().request.buttons, 48);
    EXPECT_EQ(documentsShown(desktop), 1u);
}

TEST(QuoteNames, NamesComeFromTheLastPartOfAPathWrittenWithEitherSeparator) {
    EXPECT_EQ(control::BaseFileName("Q-1001.final.doc"), "Q-1001");
    EXPECT_EQ(control::BaseFileName("C:/quotes/Q7"), "Q7");
    EXPECT_EQ(control::BaseFileName("C:\\quotes\\v1.2/Q8.dotx"), "Q8");
    EXPECT_EQ(control::FolderOfPath("/tmp/lumora\\59lines.htm"), "/tmp/lumora");
    EXPECT_EQ(control::FolderOfPath("lines.htm"), "");
    EXPECT_EQ(control::FileNameOfPath("C:\\tmp/59lines.htm"), "59lines.htm");
    EXPECT_EQ(control::FileNameOfPath("lines.htm"), "lines.htm");
    EXPECT_EQ(control::QuoteHeaderKey("<unit price>\r\a"), "unit_price");
    EXPECT_EQ(control::NullToText(Variant::null()), "");
}

}  // namespace
}  // namespace lumora
