// A page being converted reads itself and the files beside it, and nothing else: no server
// (the loopback listener counts every connection), no file of the system, no file above its
// folder however the path is spelled or linked; the pictures beside it are printed. A page
// that never finishes loading fails within the time limit without holding its caller, and the
// next quote converts again.

#include <chrono>

#include "Platform/Pdf/browser_converter.hpp"
#include "Platform/Pdf/html_to_pdf.hpp"
#include "Platform/Pdf/page_folder.hpp"
#include "loopback_listener.hpp"
#include "pdf_fixture.hpp"
#include "tests/Platform/Desktop/environment_guard.hpp"

namespace lumora::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using namespace std::chrono_literals;

class ContainmentTest : public PdfTest {
protected:
    // A quote in its own folder below the test folder, with a secret beside that folder, a
    // link inside pointing at the secret, and the things a quote may rightly load beside it.
    std::filesystem::path hostilePage(int port) {
        writeFile(folder.path() / "secret.txt", "SECRET-ABOVE-4711");
        const auto quote = folder.path() / "quote";
        writeFile(quote / "notes" / "inside.htm", "<p>INSIDE-NOTE-0815</p>");
        writeFile(quote / "logo.png", pngImage(13, 11, 30, 160, 30));
        std::filesystem::create_symlink(folder.path() / "secret.txt", quote / "linked.txt");
        const std::string server = "http://127.0.0.1:" + std::to_string(port);
        const std::string html =
            "<html><head><link rel='stylesheet' href='" + server + "/style.css'></head><body>"
            "<h1>Quote Q-7</h1><img src='logo.png'>"
            "<img src='" + server + "/x.png'><img src='file:///etc/passwd'>"
            "<iframe src='/etc/hostname'></iframe><iframe src='file:///etc/passwd'></iframe>"
            "<iframe src='../secret.txt'></iframe><iframe src='..%2fsecret.txt'></iframe>"
            "<iframe src='%2e%2e/secret.txt'></iframe><iframe src='linked.txt'></iframe>"
            "<iframe src='notes/inside.htm'></iframe>"
            "<script>try { new WebSocket('ws://127.0.0.1:" + std::to_string(port) + "/'); } catch (e) {}"
            "fetch('" + server + "/data').catch(() => {});</script>"
            "</body></html>";
        writeFile(quote / "quote.htm", html);
        return quote / "quote.htm";
    }

    void expectNothingFromOutside(const std::filesystem::path& pdf, const LoopbackListener& listener) {
        const std::string text = pdfText(pdf);
        EXPECT_THAT(text, HasSubstr("Quote Q-7"));
        EXPECT_THAT(text, HasSubstr("INSIDE-NOTE-0815"));
        EXPECT_THAT(text, Not(HasSubstr("SECRET-ABOVE-4711")));
        EXPECT_THAT(text, Not(HasSubstr("root:")));
        EXPECT_THAT(text, Not(HasSubstr(fileText("/etc/hostname").substr(0, fileText("/etc/hostname").find('\n')))));
        EXPECT_EQ(pdfImageSizes(pdf).count("13x11"), 1u);  // the logo beside the page
        std::this_thread::sleep_for(200ms);
        EXPECT_EQ(listener.connections(), 0);
    }
};

TEST_F(ContainmentTest, APageReadsOnlyItselfAndTheFilesBesideIt) {
    LoopbackListener listener;
    expectNothingFromOutside(convert(hostilePage(listener.port())), listener);
}

// Where no sandbox can be made the browser runs as it is, and the page still reaches nothing.
TEST_F(ContainmentTest, WithoutTheSandboxAPageStillReachesNothing) {
    // A bubblewrap that fails as one refused its namespaces does.
    const auto bin = folder.path() / "bin";
    std::filesystem::create_directories(bin);
    std::filesystem::create_symlink("/bin/false", bin / "bwrap");
    EnvironmentGuard environment;
    environment.set("PATH", bin.string() + ":" + std::getenv("PATH"));
    pdf::endBrowser();
    LoopbackListener listener;
    const auto pdf = convert(hostilePage(listener.port()));
    pdf::endBrowser();  // the next tests get a confined browser again
    expectNothingFromOutside(pdf, listener);
}

TEST_F(ContainmentTest, APageThatNeverFinishesLoadingFailsWithinTheLimitAndTheNextQuoteConverts) {
    pdf::setConversionTimeLimit(4s);
    const auto endless = page("<p>Endless</p><script>for (;;) {}</script>", "endless.htm");
    const Object view = Registry::instance().createObject("AcroExch.AVDoc");
    const auto before = std::chrono::steady_clock::now();
    std::string failure;
    try {
        view.call("Open", endless.string(), 1);
    } catch (const Error& e) {
        failure = e.description();
    }
    const auto took = std::chrono::steady_clock::now() - before;
    pdf::setConversionTimeLimit(pdf::kConversionTimeLimit);
    EXPECT_EQ(failure, "The conversion of endless.htm to PDF did not finish in time and was ended");
    EXPECT_LT(took, 15s);
    EXPECT_EQ(Registry::instance().createObject("AcroExch.App").call("GetNumAVDocs").toI4(), 0);
    EXPECT_THAT(pdfText(convert(page(kQuotePage))), HasSubstr("Quote Q-1042"));
}

TEST_F(ContainmentTest, ALargePageConvertsAndOneBeyondTheLimitIsRefusedUnread) {
    // Five megabytes, most of them in the terms a quote carries hidden for the record.
    std::string terms;
    while (terms.size() < (5u << 20)) terms += "<p>Terms and conditions of sale, clause on delivery and payment.</p>\n";
    const auto large = page("<html><body><h1>Large quote</h1><div style='display:none'>" + terms +
                                "</div><p>End of quote</p></body></html>",
                            "large.htm");
    const std::string text = pdfText(convert(large));
    EXPECT_THAT(text, HasSubstr("Large quote"));
    EXPECT_THAT(text, HasSubstr("End of quote"));

    const auto huge = folder.path() / "huge.htm";
    std::filesystem::resize_file(page("<p>", "huge.htm"), pdf::kMaxPageFileBytes + 1);
    const Object view = Registry::instance().createObject("AcroExch.AVDoc");
    try {
        view.call("Open", huge.string(), 1);
        ADD_FAILURE() << "a page beyond the limit was opened";
    } catch (const Error& e) {
        EXPECT_EQ(e.description(), "The page huge.htm is too large to convert");
    }
}

}  // namespace
}  // namespace lumora::testing
