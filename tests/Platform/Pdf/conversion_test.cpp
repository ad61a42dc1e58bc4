// A quote page becomes a PDF through the objects in the order the desktop control calls them;
// the converter stays warm between quotes, and the documents behave as their callers rely on.

#include "Platform/Files/drive_map.hpp"
#include "Platform/Pdf/browser_converter.hpp"
#include "pdf_fixture.hpp"

namespace lumora::testing {
namespace {

using ::testing::HasSubstr;

TEST_F(PdfTest, AQuotePageBecomesAPdfThatReadsAsTheQuoteAndTheSecondPaysNoBrowserStart) {
    const auto pdf = convert(page(kQuotePage));
    const std::string text = pdfText(pdf);
    EXPECT_THAT(text, HasSubstr("Quote Q-1042"));
    EXPECT_THAT(text, HasSubstr("Prepared for Anna Smith, Caf\xC3\xA9 Lumi\xC3\xA8re"));
    EXPECT_THAT(text, HasSubstr("Total due: 3,600.00"));
    const int starts = pdf::browserStarts();
    EXPECT_THAT(pdfText(convert(page("<p>Second quote</p>", "second.htm"))), HasSubstr("Second quote"));
    EXPECT_EQ(pdf::browserStarts(), starts);
}

TEST_F(PdfTest, PagePathsWithADriveLetterAreMappedLikeEveryOtherFileAPageNames) {
    files::DriveMap::instance().set("C:", folder.path());
    page(kQuotePage, "Quote 7#1.htm");
    std::filesystem::create_directories(folder.path() / "out");
    const bool saved = convert("C:\\Quote 7#1.htm", "c:\\out\\Quote 7#1.pdf");
    files::DriveMap::instance().clearAll();
    EXPECT_TRUE(saved);
    EXPECT_THAT(pdfText(folder.path() / "out" / "Quote 7#1.pdf"), HasSubstr("Quote Q-1042"));
}

TEST_F(PdfTest, ASaveThatCannotBeWrittenReturnsFalseAndLeavesNoFile) {
    const auto htm = page(kQuotePage);
    writeFile(folder.path() / "plain.txt", "not a folder");
    const std::string targets[] = {(folder.path() / "missing" / "q.pdf").string(), (folder.path() / "plain.txt" / "q.pdf").string(),
                                   "Q:\\unmapped\\q.pdf", ""};
    for (const std::string& target : targets) {
        EXPECT_FALSE(convert(htm.string(), target)) << target;
        EXPECT_FALSE(std::filesystem::exists(target)) << target;
    }
    EXPECT_EQ(fileText(folder.path() / "plain.txt"), "not a folder");
    // A PDF already there is replaced whole by the next save.
    const auto pdf = folder.path() / "q.pdf";
    writeFile(pdf, "old");
    EXPECT_TRUE(convert(htm.string(), pdf.string()));
    EXPECT_THAT(pdfText(pdf), HasSubstr("Total due"));
}

TEST_F(PdfTest, ViewsAreCountedUntilClosedAndTheLastOpenedIsActive) {
    const Object app = Registry::instance().createObject("AcroExch.App");
    const Object first = Registry::instance().createObject("AcroExch.AVDoc");
    const Object second = Registry::instance().createObject("AcroExch.AVDoc");
    EXPECT_TRUE(app.call("GetActiveDoc").toObject().isNothing());
    EXPECT_TRUE(first.call("Open", page(kQuotePage).string(), 1).toBool());
    EXPECT_TRUE(second.call("Open", page("<p>Second</p>", "second.htm").string(), "Second quote").toBool());
    EXPECT_EQ(app.call("GetNumAVDocs").toI4(), 2);
    EXPECT_TRUE(app.call("GetActiveDoc").toObject().sameAs(second));
    EXPECT_EQ(app.call("GetActiveDoc").toObject().call("GetTitle").toString(), "Second quote");
    EXPECT_TRUE(second.call("Close", true).toBool());
    EXPECT_FALSE(second.call("IsValid").toBool());
    EXPECT_FALSE(second.call("Close", true).toBool());
    EXPECT_THROW(second.call("GetPDDoc"), Error);
    EXPECT_TRUE(app.call("GetActiveDoc").toObject().sameAs(first));
    EXPECT_EQ(first.call("GetTitle").toString(), "quote.htm");
    EXPECT_TRUE(app.call("CloseAllDocs").toBool());
    EXPECT_EQ(app.call("GetNumAVDocs").toI4(), 0);
    EXPECT_FALSE(first.call("IsValid").toBool());
}

TEST_F(PdfTest, APageThatIsNotThereIsNotOpenedAndNothingIsCounted) {
    const Object app = Registry::instance().createObject("AcroExch.App");
    const Object view = Registry::instance().createObject("AcroExch.AVDoc");
    for (const std::string path : {(folder.path() / "missing.htm").string(), folder.path().string(), std::string("/dev/zero")}) {
        try {
            view.call("Open", path, 1);
            ADD_FAILURE() << path << " was opened";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), 53) << path;
        }
    }
    EXPECT_EQ(app.call("GetNumAVDocs").toI4(), 0);
    EXPECT_FALSE(view.call("IsValid").toBool());
}

// A document made without a view: blank when created from nothing, or an existing PDF opened.
TEST_F(PdfTest, ADocumentCreatedFromNothingIsOneBlankPageAndAnExistingPdfOpensWithItsPages) {
    const Object blank = Registry::instance().createObject("AcroExch.PDDoc");
    EXPECT_FALSE(blank.call("Save", 1, (folder.path() / "nothing.pdf").string()).toBool());
    EXPECT_TRUE(blank.call("Create").toBool());
    const auto blankFile = folder.path() / "blank.pdf";
    EXPECT_TRUE(blank.call("Save", 1, blankFile.string()).toBool());
    EXPECT_EQ(pdfPageCount(blankFile), 1);
    EXPECT_EQ(blank.call("GetNumPages").toI4(), 1);

    std::string rows;
    for (int i = 0; i < 150; ++i) rows += "<p>Line " + std::to_string(i) + "</p>";
    const auto pdf = convert(page(rows, "long.htm"));
    const int pages = pdfPageCount(pdf);
    EXPECT_GT(pages, 1);
    const Object opened = Registry::instance().createObject("AcroExch.PDDoc");
    EXPECT_TRUE(opened.call("Open", pdf.string()).toBool());
    EXPECT_EQ(opened.call("GetNumPages").toI4(), pages);
    EXPECT_FALSE(opened.call("Open", page("<p>not a pdf</p>", "fake.pdf").string()).toBool());
    EXPECT_EQ(opened.call("GetNumPages").toI4(), pages);  // a failed open keeps what the document held
}

}  // namespace
}  // namespace lumora::testing
