// Letters at the sizes a page can ask for: a letter whose values would grow the document past
// Word's limit on text ends at once with its member's failure message, before the memory is
// taken; a seminar table of thousands of people is filled whole, each person in a row of their
// own under the captions, and the saved letter opens in LibreOffice.

#include <gtest/gtest.h>

#include <algorithm>

#include "Platform/Word/text_budget.hpp"
#include "letters_fixture.hpp"
#include "tests/support/peak_memory.hpp"

namespace lumora {
namespace {

using testing::paragraphTexts;
using testing::readEntry;
using Texts = std::vector<std::string>;
namespace fs = std::filesystem;

// Fields A and B; A's value holds B's tag a hundred times and B's value is half a megabyte, so
// replacing the tags in turn would make some 50 million characters of one short template.
std::string fieldsAndValues(const std::string& fieldsOpen, const std::string& dataClose) {
    std::string holdingB;
    for (int i = 0; i < 100; ++i) holdingB += "&lt;B&gt; ";
    return fieldsOpen + R"(<field name="a" templatetag="A"/><field name="b" templatetag="B"/><Data>)" +
           R"(<entry fieldname="a" value=")" + holdingB + R"("/><entry fieldname="b" value=")" +
           std::string(size_t{512} << 10, 'x') + R"("/></Data>)" + dataClose;
}

TEST_F(Letters, ALetterThatWouldGrowPastWordsLimitEndsAtOnceWithItsMessageAndWritesNothing) {
    word::ScopedDocumentTextLimit limit(2 << 20);
    const fs::path tpl = makeTemplate(host::paragraph(host::run("Dear <A>")));
    const fs::path letter = temp.path() / "Letter.docx";
    const fs::path seminar = temp.path() / "Seminar.docx";
    testing::resetPeakMemory();
    const size_t before = testing::currentMemoryBytes();
    createLetterFrom(fieldsAndValues("<Data>", "</Data>"), tpl.string(), letter.string());
    createSeminarLetter(tpl.string(), seminar.string(), fieldsAndValues("<record>", "</record>"));
    // The document stops near the limit of 2 Mi characters, not at 50 million.
    EXPECT_LT(testing::peakMemoryBytes(), before + (size_t{160} << 20));

    const std::string tooLarge = "Out of memory: the document would grow beyond 2097152 characters";
    EXPECT_EQ(boxTexts(), (Texts{"An error occurred attempting to insert the address information into the Microsoft "
                                 "Word Document. Check the fields have been added to the document to replace. '<B>' " +
                                     tooLarge,
                                 "Error in template build replacing seminar tags ('<B>') - " + tooLarge}));
    EXPECT_FALSE(fs::exists(letter));
    EXPECT_FALSE(fs::exists(seminar));
    EXPECT_TRUE(desktop.transcript().shown.empty());
}

constexpr int kPeople = 2'500;

std::string person(int n, const char* field) {
    const std::string number = std::to_string(n);
    if (std::string_view(field) == "name") return "Guest " + number;
    if (std::string_view(field) == "company") return "Firm " + number;
    return "guest" + number + "@example.com";
}

// The sample seminar record with its two people replaced by kPeople, their fields in another
// order than the table's columns.
std::string seminarRecordOfManyPeople() {
    std::string record(host::sampleSeminarRecord());
    const size_t listStart = record.find('>', record.find("<listitemname")) + 1;
    const size_t listEnd = record.find("</listitemname>");
    std::string people;
    for (int n = 1; n <= kPeople; ++n)
        people += "<person><field templatetag=\"email\" label=\"E-mail\" value=\"" + person(n, "email") +
                  "\"/><field templatetag=\"name\" label=\"Name\" value=\"" + person(n, "name") +
                  "\"/><field templatetag=\"company\" label=\"Company\" value=\"" + person(n, "company") +
                  "\"/></person>";
    return record.replace(listStart, listEnd - listStart, people);
}

TEST_F(Letters, ASeminarTableOfThousandsOfPeopleHasEachInARowOfTheirOwnAndOpensInLibreOffice) {
    const fs::path saved = temp.path() / "Seminar.docx";
    createSeminarLetter(samples.seminarTemplate.string(), saved.string(), seminarRecordOfManyPeople());
    EXPECT_EQ(boxTexts(), Texts{});
    const std::string document = readEntry(saved, "word/document.xml");
    Texts table{"Name", "Company", "E-mail"};
    for (int n = 1; n <= kPeople; ++n)
        for (const char* field : {"name", "company", "email"}) table.push_back(person(n, field));
    const Texts body = paragraphTexts(document);
    const auto at = std::search(body.begin(), body.end(), table.begin(), table.end());
    ASSERT_NE(at, body.end());
    EXPECT_EQ(at - body.begin(), 4);  // after the four paragraphs of the letter before the table
    size_t rows = 0;
    for (size_t p = document.find("<w:tr>"); p != std::string::npos; p = document.find("<w:tr>", p + 1)) ++rows;
    EXPECT_EQ(rows, size_t{kPeople} + 1);

    const fs::path converted = temp.path() / "converted";
    commandOutput("soffice -env:UserInstallation=file://" + (temp.path() / "profile").string() +
                  " --headless --convert-to \"txt:Text (encoded):UTF8\" --outdir '" + converted.string() + "' '" +
                  saved.string() + "' 2>&1");
    std::ifstream text(converted / "Seminar.txt");
    const std::string opened((std::istreambuf_iterator<char>(text)), std::istreambuf_iterator<char>());
    for (const std::string& expected : {std::string("Dear Anne,"), person(1, "email"), person(kPeople, "name")})
        EXPECT_NE(opened.find(expected), std::string::npos) << expected;
}

}  // namespace
}  // namespace lumora
