// Letters made by the control from the sample templates and records, and from broken or hostile
// templates: what the user sees, and what is written where.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <regex>

#include "letters_fixture.hpp"

namespace lumora {
namespace {

using testing::readEntry;
using testing::paragraphTexts;
using Texts = std::vector<std::string>;
namespace fs = std::filesystem;

const std::string kCannotOpenStart = "An error occurred whilst attempting to open file '";
const std::string kCannotOpenEnd = "'. Check this file exists, and is in the location specified.";

// Every file under a folder, for "nothing else was written" checks.
std::vector<fs::path> filesUnder(const fs::path& folder) {
    std::vector<fs::path> out;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) out.push_back(entry.path());
    std::sort(out.begin(), out.end());
    return out;
}

TEST_F(Letters, SavedLetterHasEveryTagFilledInBodyHeaderTextBoxAndFooter) {
    const fs::path saved = temp.path() / "out" / "Letter.docx";
    fs::create_directories(saved.parent_path());
    createLetter(samples.letterTemplate.string(), saved.string());
    EXPECT_EQ(boxTexts(), Texts{});
    const Texts body = paragraphTexts(readEntry(saved, "word/document.xml"));
    ASSERT_GE(body.size(), 7u);
    // The blank second address line is not in a table: its tag goes, its empty line stays.
    EXPECT_EQ(Texts(body.begin(), body.begin() + 7),
              (Texts{"Anne Dodsworth", "Northwind Traders", "12 Sandy Lane", "", "Leeds", "", "Dear Anne Dodsworth,"}));
    EXPECT_EQ(paragraphTexts(readEntry(saved, "word/header1.xml")), (Texts{"Northwind Traders", "Our ref: NW-2041"}));
    EXPECT_EQ(paragraphTexts(readEntry(saved, "word/footer1.xml")), (Texts{"Northwind Traders customer care"}));
    // Without an e-mail address the letter stays open for the user.
    ASSERT_FALSE(desktop.transcript().shown.empty());
    EXPECT_EQ(desktop.transcript().shown.back().kind, "document");
}

TEST_F(Letters, ALetterSavedAsDocxOrAsPdfReadsBackThroughLibreOfficeAndPdftotext) {
    const fs::path docx = temp.path() / "Letter.docx";
    createLetter(samples.letterTemplate.string(), docx.string());
    const fs::path converted = temp.path() / "converted";
    commandOutput("soffice -env:UserInstallation=file://" + (temp.path() / "profile").string() +
                  " --headless --convert-to pdf --outdir '" + converted.string() + "' '" + docx.string() + "' 2>&1");
    const std::string fromDocx = commandOutput("pdftotext '" + (converted / "Letter.pdf").string() + "' -");
    EXPECT_NE(fromDocx.find("Dear Anne Dodsworth,"), std::string::npos) << fromDocx;
    EXPECT_NE(fromDocx.find("Our ref: NW-2041"), std::string::npos) << fromDocx;
    // LibreOffice prints the reference inside its box at the right of the header, clear of the
    // logo and the company's name at the left (the box starts 281pt into the 72pt margin).
    const std::string words = commandOutput("pdftotext -bbox -f 1 -l 1 '" + (converted / "Letter.pdf").string() + "' -");
    std::smatch reference;
    ASSERT_TRUE(std::regex_search(words, reference, std::regex(R"re(<word xMin="([0-9.]+)"[^>]*>NW-2041</word>)re"))) << words;
    EXPECT_GT(std::stod(reference[1]), 72 + 281.2);

    // Any capitals of "pdf" export a PDF.
    const fs::path pdf = temp.path() / "Letter.PdF";
    createLetter(samples.letterTemplate.string(), pdf.string());
    EXPECT_EQ(boxTexts(), Texts{});
    const std::string exported = commandOutput("pdftotext '" + pdf.string() + "' -");
    EXPECT_NE(exported.find("Dear Anne Dodsworth,"), std::string::npos) << exported;
}

TEST_F(Letters, WithoutAPdfConverterTheUserIsToldAndTheLetterIsSavedInWordsFormatUnderThatName) {
    const fs::path pdf = temp.path() / "Letter.pdf";
    testing::withoutOffice(temp.path() / "no-programs", [&] { createLetter(samples.letterTemplate.string(), pdf.string()); });
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].request.text,
              "Unable to export to PDF.  PDF Export requires Word 2007 or above with Microsoft's free 'Save as PDF' "
              "add-in");
    EXPECT_EQ(boxes()[0].request.title, "Lumora");
    EXPECT_EQ(boxes()[0].request.buttons, 64);
    EXPECT_EQ(paragraphTexts(readEntry(pdf, "word/document.xml")).at(0), "Anne Dodsworth");
}

TEST_F(Letters, SeminarTablesWithoutABracketedHeaderOrWithoutTheirListAreLeftAlone) {
    using host::paragraph;
    using host::run;
    auto table = [](const std::string& header) {
        return "<w:tbl><w:tblGrid><w:gridCol w:w=\"4000\"/></w:tblGrid><w:tr><w:tc>" + paragraph(run(header)) +
               "</w:tc></w:tr></w:tbl>" + paragraph();
    };
    const fs::path saved = temp.path() / "Seminar.docx";
    createSeminarLetter(makeTemplate(table("Plain heading") + table("<rooms_name>")).string(), saved.string());
    EXPECT_EQ(boxTexts(), Texts{});
    EXPECT_EQ(paragraphTexts(readEntry(saved, "word/document.xml")), (Texts{"Plain heading", "", "<rooms_name>", ""}));
}

TEST_F(Letters, SeminarInvitationFillsItsListTableWithLabelsAndOneRowPerPerson) {
    const fs::path saved = temp.path() / "Seminar.docx";
    createSeminarLetter(samples.seminarTemplate.string(), saved.string());
    EXPECT_EQ(boxTexts(), Texts{});
    const Texts body = paragraphTexts(readEntry(saved, "word/document.xml"));
    const Texts expectedTable{"Name",        "Company",  "E-mail", "Robert King", "Contoso", "robert@contoso.example",
                              "Laura Callahan", "Fabrikam", "laura@fabrikam.example"};
    EXPECT_NE(std::search(body.begin(), body.end(), expectedTable.begin(), expectedTable.end()), body.end())
        << ::testing::PrintToString(body);
    EXPECT_EQ(body.at(2), "You are invited to the Spring product day on 12 March 2027 at Leeds Town Hall.");
    // The people's rows copy the plain row below the header, not the header's bold.
    const std::string document = readEntry(saved, "word/document.xml");
    const size_t table = document.find("<w:tbl>");
    const size_t peopleRows = document.find("</w:tr>", table) + std::strlen("</w:tr>");
    const std::string people = document.substr(peopleRows, document.find("</w:tbl>", table) - peopleRows);
    EXPECT_NE(people.find("Robert King"), std::string::npos) << people;
    EXPECT_EQ(people.find("<w:b/>"), std::string::npos) << people;
}

TEST_F(Letters, AListTableWithAVerticallyMergedNameColumnGetsEveryNameInACellOfItsOwn) {
    using host::paragraph;
    using host::run;
    auto cell = [](const std::string& merge, const std::string& text) {
        return "<w:tc><w:tcPr>" + merge + "</w:tcPr>" + paragraph(run(text)) + "</w:tc>";
    };
    auto listTable = [](const std::string& rows) {
        return "<w:tbl><w:tblGrid><w:gridCol w:w=\"3000\"/><w:gridCol w:w=\"3000\"/></w:tblGrid>" + rows +
               "</w:tbl>" + paragraph();
    };
    const std::string restart = "<w:vMerge w:val=\"restart\"/>";
    // The header's name cell starts a merge: the rows added for the people do not join or restart it.
    const fs::path saved = temp.path() / "Seminar.docx";
    createSeminarLetter(
        makeTemplate(listTable("<w:tr>" + cell(restart, "<people_name>") + cell("", "<people_email>") + "</w:tr>"))
            .string(),
        saved.string());
    EXPECT_EQ(boxTexts(), Texts{});
    const std::string document = readEntry(saved, "word/document.xml");
    EXPECT_EQ(paragraphTexts(document), (Texts{"Name", "E-mail", "Robert King", "robert@contoso.example",
                                               "Laura Callahan", "laura@fabrikam.example", ""}));
    EXPECT_EQ(document.find("vMerge"), document.rfind("vMerge"));  // the header's own, nothing more

    // A first data row under the header's merged cell has no name cell: the fill stops there
    // and says so, rather than writing a name nobody sees.
    createSeminarLetter(makeTemplate(listTable("<w:tr>" + cell(restart, "<people_name>") +
                                               cell("", "<people_email>") + "</w:tr><w:tr>" +
                                               cell("<w:vMerge/>", "") + cell("", "y") + "</w:tr>"))
                            .string(),
                        "");
    EXPECT_EQ(boxTexts(), Texts{"Error in template build checking tables - The requested member of the collection "
                                "does not exist.. Last header retrieved <people_name>"});
}

TEST_F(Letters, EachFailureIsToldInTheWordsOfTheStageItStoppedIn) {
    const fs::path missing = temp.path() / "no such folder" / "Letter.docx";
    createLetter(samples.letterTemplate.string(), missing.string());
    createSeminarLetter(samples.seminarTemplate.string(), missing.string());
    // A list table whose header spans both columns: its second column's cell does not exist.
    using host::paragraph;
    using host::run;
    const std::string spanned = "<w:tbl><w:tblGrid><w:gridCol w:w=\"3000\"/><w:gridCol w:w=\"3000\"/></w:tblGrid>"
                                "<w:tr><w:tc><w:tcPr><w:gridSpan w:val=\"2\"/></w:tcPr>" +
                                paragraph(run("<people_name>")) + "</w:tc></w:tr></w:tbl>" + paragraph();
    createSeminarLetter(makeTemplate(spanned).string(), "");
    RegistryFaults noOutlook;
    noOutlook.absent.insert("Outlook.Application");
    Registry::instance().setFaults(noOutlook);
    createLetter(samples.letterTemplate.string(), "", "anne@northwind.example");
    Registry::instance().setFaults({});

    EXPECT_EQ(boxTexts(),
              (Texts{"An error occurred saving a copy of the document in CreateLetterXML:-Path not found",
                     "Error saving document to '" + missing.string() +
                         "' - Path not found Please inform your systems administrator",
                     "Error in template build checking tables - The requested member of the collection does not "
                     "exist.. Last header retrieved <people_name>",
                     "An error occurred running Outlook at step 1: Instantiating Outlook. Check that outlook is "
                     "installed and can be run."}));
    // Only the seminar letter that could not be saved is shown afterwards, so it can be saved by hand.
    ASSERT_EQ(desktop.transcript().shown.size(), 1u);
    EXPECT_EQ(desktop.transcript().shown[0].kind, "document");
}

TEST_F(Letters, ASaveNameWithAControlCharacterIsABadNameAndNothingIsWritten) {
    const fs::path out = temp.path() / "out";
    fs::create_directories(out);
    createLetter(samples.letterTemplate.string(), (out / "Letter\n1.docx").string());
    createLetter(samples.letterTemplate.string(), (out / "Letter\t1.docx").string());
    EXPECT_EQ(boxTexts(),
              (Texts{"An error occurred saving a copy of the document in CreateLetterXML:-Bad file name or number",
                     "An error occurred saving a copy of the document in CreateLetterXML:-Bad file name or number"}));
    EXPECT_EQ(filesUnder(out), std::vector<fs::path>{});
}

TEST_F(Letters, AnEmptyTemplateIsRefusedAndNothingIsShown) {
    createLetter("", "");
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].request.text, "No template has been specified for the document");
    EXPECT_EQ(boxes()[0].request.buttons, 48);
    EXPECT_TRUE(desktop.transcript().shown.empty());
}

TEST_F(Letters, LetterEmailedAsAttachmentOrAsHtmlBodyLeavesNoTemporaryFile) {
    createLetter(samples.letterTemplate.string(), "", "anne@northwind.example", "html");  // not "HTML": attached
    createLetter(samples.letterTemplate.string(), "", "anne@northwind.example", "HTML");
    EXPECT_EQ(boxTexts(), Texts{});
    std::vector<desktop::ShowRequest> mails;
    for (const auto& shown : desktop.transcript().shown)
        if (shown.kind == "mail") mails.push_back(shown);
    ASSERT_EQ(mails.size(), 2u);
    EXPECT_EQ(mails[0].title, "Your letter");
    EXPECT_NE(mails[1].detail.find("HTMLBody: "), std::string::npos) << mails[1].detail;
    EXPECT_NE(mails[1].detail.find("Anne Dodsworth"), std::string::npos);
    EXPECT_EQ(filesUnder(temp.path() / "tmp"), std::vector<fs::path>{});
}

TEST_F(Letters, BrokenAndHostileTemplatesGiveTheOpeningMessageAndWriteNothing) {
    const auto valid = host::templateParts(host::paragraphs({"Dear <CONTACT>,"}));
    std::vector<std::pair<std::string, std::string>> parts;
    for (const auto& part : valid) parts.emplace_back(part.name, part.content);
    auto without = [&](const std::string& name) {
        auto out = parts;
        std::erase_if(out, [&](const auto& p) { return p.first == name; });
        return out;
    };
    auto with = [&](const std::string& name, const std::string& content) {
        auto out = without(name);
        out.emplace_back(name, content);
        return out;
    };
    const fs::path bad = temp.path() / "bad";
    fs::create_directories(bad);
    std::ofstream(bad / "not a zip.dotx") << "This is plain text, not a package.";
    testing::writeZip(bad / "no document.dotx", without("word/document.xml"));
    testing::writeZip(bad / "traversal.dotx", with("../../escaped.xml", "<x/>"));
    testing::writeZip(bad / "xxe.dotx",
               with("word/document.xml",
                    R"(<?xml version="1.0"?><!DOCTYPE d [<!ENTITY x SYSTEM "file:///etc/passwd">]>)"
                    R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)"
                    R"(<w:body><w:p><w:r><w:t>&x;</w:t></w:r></w:p></w:body></w:document>)"));
    // A main part that inflates to 512 MB from half a megabyte.
    const auto bombParts = without("word/document.xml");
    {
        int status = 0;
        zip_t* archive = zip_open((bad / "bomb.dotx").c_str(), ZIP_CREATE | ZIP_TRUNCATE, &status);
        for (const auto& [name, content] : bombParts)
            zip_file_add(archive, name.c_str(), zip_source_buffer(archive, content.data(), content.size(), 0), 0);
        zip_source_t* zeros = zip_source_function(
            archive,
            [](void* userdata, void* data, zip_uint64_t length, zip_source_cmd_t cmd) -> zip_int64_t {
                auto* left = static_cast<zip_uint64_t*>(userdata);
                switch (cmd) {
                    case ZIP_SOURCE_OPEN: *left = 512ull << 20; return 0;
                    case ZIP_SOURCE_READ: {
                        const zip_uint64_t n = std::min(length, *left);
                        std::memset(data, ' ', n);
                        *left -= n;
                        return static_cast<zip_int64_t>(n);
                    }
                    case ZIP_SOURCE_CLOSE: return 0;
                    case ZIP_SOURCE_FREE: delete left; return 0;
                    case ZIP_SOURCE_STAT: zip_stat_init(static_cast<zip_stat_t*>(data)); return sizeof(zip_stat_t);
                    case ZIP_SOURCE_SUPPORTS:
                        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                                              ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
                    default: return 0;
                }
            },
            new zip_uint64_t(0));
        zip_file_add(archive, "word/document.xml", zeros, 0);
        zip_close(archive);
    }

    const std::vector<fs::path> before = filesUnder(temp.path());
    for (const char* name : {"not a zip.dotx", "no document.dotx", "traversal.dotx", "xxe.dotx", "bomb.dotx"}) {
        const size_t shownBefore = boxes().size();
        const fs::path save = temp.path() / "out" / (std::string(name) + ".docx");
        createLetter((bad / name).string(), save.string());
        ASSERT_EQ(boxes().size(), shownBefore + 1) << name;
        EXPECT_EQ(boxes().back().request.text, kCannotOpenStart + (bad / name).string() + kCannotOpenEnd) << name;
        EXPECT_FALSE(fs::exists(save)) << name;
    }
    EXPECT_EQ(filesUnder(temp.path()), before);
    EXPECT_FALSE(fs::exists(temp.path().parent_path() / "escaped.xml"));
}

}  // namespace
}  // namespace lumora
