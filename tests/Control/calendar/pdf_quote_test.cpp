// A quote made into a PDF and mailed through the control, on a real store and real files in the
// temporary folder. The real converter makes the PDF whose text poppler reads back; a converter
// the test scripts (its documents stand-in PDFs holding the .htm's bytes) reaches each way a
// conversion can stop part way; without one the person is told to install it.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>

#include "Automation/cancellation.hpp"
#include "Control/calendar/pdf_attachment.hpp"
#include "Platform/Files/page_reach.hpp"
#include "Platform/Files/register.hpp"
#include "Platform/Pdf/register.hpp"
#include "tests/Control/support/fake_applications.hpp"
#include "tests/Control/support/outlook_fixture.hpp"
#include "tests/support/item_window_desktop.hpp"
#include "tests/support/mail_draft_reader.hpp"

namespace lumora {
namespace {

namespace fs = std::filesystem;
using testing::fake;

const std::string kStandInPdfStart = "%PDF-1.4\n";

std::string fileText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What the scripted converter does, and what it was asked.
struct Converter {
    bool opens = true;
    bool presents = true;  // counts the opened document among its documents
    bool valid = true;
    bool saves = true;
    std::function<void()> onExit;

    std::vector<std::string> opened;
    std::vector<std::string> saved;
    int viewsClosed = 0;
};

// Registers the scripted converter's two classes; every object they make shares `script`.
void registerConverter(const std::shared_ptr<Converter>& script) {
    auto pdfDocument = [script] {
        auto document = fake("PDDoc");
        document->on("Create").on("Close");
        document->on("save", [script](Args& a) {
            const std::string path = a[1].toString();
            script->saved.push_back(path);
            if (!script->saves) return Variant(false);
            std::ofstream(path, std::ios::binary) << kStandInPdfStart << fileText(script->opened.back());
            return Variant(true);
        });
        return Object(document);
    };
    auto view = [script, pdfDocument] {
        auto avDoc = fake("AVDoc");
        avDoc->on("open", [script](Args& a) {
            script->opened.push_back(a[0].toString());
            return Variant(script->opens);
        });
        avDoc->on("isValid", [script](Args&) { return Variant(script->valid); });
        avDoc->on("GetPDDoc", [pdfDocument](Args&) { return Variant(pdfDocument()); });
        avDoc->on("Close", [script](Args&) {
            ++script->viewsClosed;
            return Variant(true);
        });
        return Object(avDoc);
    };
    testing::registerFake("AcroExch.AVDoc", view);
    testing::registerFake("AcroExch.App", [script, view] {
        auto app = fake("App");
        app->on("GetNumAVDocs", [script](Args&) {
            return Variant(int32_t(script->presents && script->opens ? script->opened.size() : 0));
        });
        app->on("GetActiveDoc", [view](Args&) { return Variant(view()); });
        app->on("Exit", [script](Args&) {
            if (script->onExit) script->onExit();
            return Variant(true);
        });
        return Object(app);
    });
}

class PdfQuoteTest : public testing::OutlookControlTest {
protected:
    void SetUp() override {
        OutlookControlTest::SetUp();
        files::registerFileClasses(Registry::instance());
    }
    fs::path temp() const { return dataFolder() / "temp"; }
    void installConverter() {
        registerConverter(converter);
        install("AcroExch.App");
        install("AcroExch.AVDoc");
    }
    void createPdf(const std::string& uniqueName, const std::string& body = "<p>Quote Q-17</p>",
                   const std::string& address = "null") {
        std::vector<Variant> arguments = {Variant(body),    Variant(uniqueName), Variant(address),
                                          Variant("Q-17"), Variant("Quote"),    Variant("Email")};
        EXPECT_EQ(callWith("CreateHTMforPDF", arguments), Variant());
    }
    // The names of the files left in the temporary folder.
    std::vector<std::string> leftInTemp() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(temp())) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // Takes an application away while the member runs, as the converter's last step.
    static void uninstall(const std::string& progId) {
        RegistryFaults faults = Registry::instance().faults();
        faults.absent.insert(progId);
        Registry::instance().setFaults(faults);
    }
    void expectConversionFailure(const std::string& number) {
        expectLastBox("An error occurred attempting to convert the quote to a PDF file. Error number:" + number +
                          "Please contact your system administrator",
                      "LumoraControl2005");
    }

    std::shared_ptr<Converter> converter = std::make_shared<Converter>();
};

TEST_F(PdfQuoteTest, WithoutAConverterThePersonIsToldToInstallOne) {
    createPdf("Q-17");
    expectLastBox("Adobe Acrobat was not detected on your system and therefore Lumora was unable to generate a pdf "
                  "file attachment. Please contact your system administrator",
                  "Install Adobe Acrobat", 64);
    EXPECT_EQ(boxes().size(), 1u);
    EXPECT_TRUE(shown().empty());
    // The quote's .htm stays: only a mailed PDF lets it go.
    const std::vector<std::string> left = leftInTemp();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(std::regex_match(left[0], std::regex("Q-1[0-9A-F]{4}\\.htm"))) << left[0];
    EXPECT_EQ(fileText(temp() / left[0]), "<p>Quote Q-17</p>\r\n");
}

TEST_F(PdfQuoteTest, AConvertedQuoteIsMailedAndItsFilesAreGone) {
    installConverter();
    const files::PageReach page({temp()});  // as a page's call, which reaches the temporary folder
    createPdf("Quote#17");
    ASSERT_EQ(converter->opened.size(), 1u);
    EXPECT_TRUE(std::regex_match(converter->opened[0], std::regex(temp().string() + "/Quo[0-9A-F]{4}\\.htm")))
        << converter->opened[0];
    EXPECT_EQ(converter->saved, std::vector<std::string>{(temp() / "Quote17.pdf").string()});
    EXPECT_EQ(converter->viewsClosed, 1);
    EXPECT_TRUE(boxes().empty());
    EXPECT_TRUE(leftInTemp().empty());

    ASSERT_EQ(shown().size(), 1u);
    const nlohmann::json draft = testing::readMailDraft(shown()[0].file);
    EXPECT_EQ(draft["subject"], "Quote: Q-17");
    EXPECT_EQ(draft["to"], "ENTER THE E-MAIL ADDRESS OF THE RECIPIENT OF THE QUOTE HERE:;");  // a group: no address
    ASSERT_EQ(draft["attachments"].size(), 1u);
    EXPECT_EQ(draft["attachments"][0]["filename"], "Quote17.pdf");
    EXPECT_EQ(draft["attachments"][0]["size"], kStandInPdfStart.size() + std::string("<p>Quote Q-17</p>\r\n").size());
}

TEST_F(PdfQuoteTest, TheMailKeepsThePdfAfterItsFileIsDeleted) {
    installConverter();
    desktop::SystemConfig config;
    config.tempFolder = temp().string() + "/";
    testing::ItemWindowDesktop page(config);
    desktop::ScopedDesktop onThePage(page);
    createPdf("Q-17", std::string(5 << 20, 'q'), "ann@example.com");
    EXPECT_TRUE(leftInTemp().empty());

    // The person saves the mail from its window once the control has finished.
    ASSERT_EQ(page.windows.size(), 1u);
    page.windows[0]->save({});
    const Object mail = item(page.windows[0]->entryId());
    EXPECT_EQ(mail.get("To"), Variant("ann@example.com"));
    ASSERT_EQ(mail.getObject("Attachments").count(), 1);
    EXPECT_EQ(mail.getObject("Attachments").item(1).get("Size"),
              Variant(int32_t(kStandInPdfStart.size() + (5 << 20) + 2)));
}

TEST_F(PdfQuoteTest, UniqueNamesNeverPlaceThePdfOutsideTheTemporaryFolder) {
    installConverter();
    const std::vector<std::pair<std::string, std::string>> names = {
        {"../../.config/autostart/x", ".....configautostartx.pdf"},
        {"C:\\Quotes\\<17>*?\"|", "CQuotes17|.pdf"},
        {"/\\:*?<>\"", ".pdf"},
        {"###", ".pdf"},
        {std::string("a\0b\x01", 4), "ab.pdf"},
    };
    for (const auto& [uniqueName, pdfName] : names) {
        createPdf(uniqueName);
        ASSERT_FALSE(converter->saved.empty());
        EXPECT_EQ(converter->saved.back(), (temp() / pdfName).string()) << uniqueName;
        EXPECT_EQ(testing::readMailDraft(shown().back().file)["attachments"][0]["filename"], pdfName);
    }
    EXPECT_TRUE(boxes().empty());
    EXPECT_TRUE(leftInTemp().empty());
    EXPECT_FALSE(fs::exists(dataFolder() / ".config"));
    EXPECT_EQ(shown().size(), names.size());
}

TEST_F(PdfQuoteTest, AConversionThatStopsPartWaySaysWhereAndKeepsWhatItMade) {
    installConverter();
    converter->opens = false;
    createPdf("Q1");
    expectConversionFailure("-2147221502");
    EXPECT_EQ(converter->viewsClosed, 1);
    EXPECT_EQ(leftInTemp().size(), 1u);  // the .htm
    fs::remove_all(temp()), fs::create_directories(temp());

    converter->opens = true;
    converter->valid = false;
    createPdf("Q2");
    ASSERT_EQ(boxes().size(), 3u);
    EXPECT_EQ(boxes()[1].request.text, "myAdobeDoc is not valid anymore!");
    expectConversionFailure("-2147221502");

    converter->valid = true;
    converter->saves = false;
    createPdf("Q3");
    EXPECT_EQ(boxes()[3].request.text, "Unable to save document");
    expectConversionFailure("-2147221501");  // no PDF to attach
    EXPECT_TRUE(shown().empty());
    fs::remove_all(temp()), fs::create_directories(temp());

    converter->saves = true;
    converter->onExit = [] { uninstall("Outlook.Application"); };
    createPdf("Q4");
    expectConversionFailure("-2147221501");
    EXPECT_EQ(leftInTemp().size(), 2u);
    EXPECT_TRUE(fs::exists(temp() / "Q4.pdf"));
    fs::remove_all(temp()), fs::create_directories(temp());
    install("Outlook.Application");

    // The file-system object gone once the PDF is made: mailed, but the PDF cannot be deleted.
    converter->onExit = [] { uninstall("Scripting.FileSystemObject"); };
    createPdf("Q5");
    install("Scripting.FileSystemObject");
    expectConversionFailure("-2147221500");
    EXPECT_EQ(shown().size(), 1u);
    EXPECT_TRUE(fs::exists(temp() / "Q5.pdf"));
    EXPECT_EQ(leftInTemp().size(), 2u);
}

TEST_F(PdfQuoteTest, AnUnusableTemporaryFolderGivesTheMembersOwnMessage) {
    installConverter();
    fs::remove_all(temp());
    createPdf("Q-17");
    expectConversionFailure("75");
    EXPECT_TRUE(converter->opened.empty());
}

// The PIM and the PDF converter as a workstation has them: the quote's text is in the PDF the
// mail carries, as poppler's pdftotext reads it, and the temporary folder is left as it was.
class RealConverterTest : public PdfQuoteTest {
protected:
    void SetUp() override {
        PdfQuoteTest::SetUp();
        pdf::registerPdfClasses(Registry::instance());
        install("AcroExch.App");
        install("AcroExch.AVDoc");
    }
};

TEST_F(RealConverterTest, TheMailedPdfHoldsTheQuote) {
    createPdf("Q-1042 Caf\xC3\xA9", "<html><body><h1>Quote Q-1042</h1><p>Total due: 3,600.00</p></body></html>",
              "anna@example.com");
    EXPECT_TRUE(boxes().empty()) << boxes().back().request.text;
    EXPECT_TRUE(leftInTemp().empty());
    ASSERT_EQ(shown().size(), 1u);
    const fs::path parts = dataFolder() / "parts";
    fs::create_directories(parts);
    const nlohmann::json draft = testing::readMailDraft(shown()[0].file, parts);
    EXPECT_EQ(draft["to"], "anna@example.com");
    ASSERT_EQ(draft["attachments"].size(), 1u);
    EXPECT_EQ(draft["attachments"][0]["filename"], "Q-1042 Caf\xC3\xA9.pdf");
    const fs::path pdf = parts / "Q-1042 Caf\xC3\xA9.pdf";
    EXPECT_EQ(fileText(pdf).substr(0, 5), "%PDF-");
    const testing::CommandResult text = testing::runCommand("pdftotext '" + pdf.string() + "' -");
    ASSERT_TRUE(text.succeeded) << text.output;
    EXPECT_NE(text.output.find("Quote Q-1042"), std::string::npos) << text.output;
    EXPECT_NE(text.output.find("Total due: 3,600.00"), std::string::npos) << text.output;
}

// The private conversion step, with a short bound, for a converter that never presents the
// document, and with the page's call cancelled while it waits.
TEST_F(PdfQuoteTest, TheWaitForTheDocumentEnds) {
    installConverter();
    converter->presents = false;
    std::ofstream(temp() / "q.htm") << "<p>q</p>";
    control::ControlState state;
    const control::PdfMail mail{"ann@example.com", "Q", "Quote", "Email"};
    EXPECT_EQ(control::ConvertHtmlToPdf(state, (temp() / "q.htm").string(), temp().string() + "/", "q", mail,
                                        std::chrono::milliseconds(100)),
              control::PdfMailStatus::ConversionFailed);
    EXPECT_FALSE(state.acrobat.AcroApp);
    EXPECT_FALSE(state.acrobat.AcroAVDoc);
    EXPECT_EQ(converter->viewsClosed, 1);

    CancelFlag pageGone;
    pageGone.cancel();
    ScopedCancelFlag call(pageGone);
    EXPECT_EQ(control::ConvertHtmlToPdf(state, (temp() / "q.htm").string(), temp().string() + "/", "q", mail),
              control::PdfMailStatus::ConversionFailed);
    EXPECT_TRUE(converter->saved.empty());
    EXPECT_TRUE(shown().empty());
}

}  // namespace
}  // namespace lumora
