// A quote page becomes a PDF through the objects in the order the desktop control calls them;
// the converter stays warm between quotes, and the documents behave as their callers rely on.

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

}  // namespace
}  // namespace lumora::testing
