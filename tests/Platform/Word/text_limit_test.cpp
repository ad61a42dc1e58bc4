// The limit on a document's text: an edit, a replace-all or a new row that would take the
// document past it is refused with error 7 before anything changes or the memory is taken, the
// limit counting every story of the document together; edits within it go on as before.

#include "Platform/Word/text_budget.hpp"
#include "tests/Automation/error_matchers.hpp"
#include "tests/support/peak_memory.hpp"
#include "word_fixture.hpp"

namespace lumora::testing {
namespace {

constexpr int32_t kOutOfMemory = 7;

std::string allText(const Object& range) { return range.get("Text").toString(); }

TEST_F(WordTest, AnEditPastTheLimitIsRefusedWhileEditsWithinItAndShrinkingOnesGoOn) {
    word::ScopedDocumentTextLimit limit(100);
    const Object document = addDocument(paragraph("Dear <NAME>,"));  // 13 characters with its mark
    const Object tag = document.call("Range", Named{"Start", 5}, Named{"End", 11}).toObject();
    try {
        tag.put("Text", std::string(94, 'x'));  // 13 - 6 + 94 = 101
        FAIL() << "an edit past the limit went through";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), kOutOfMemory);
        EXPECT_EQ(e.description(), "Out of memory: the document would grow beyond 100 characters");
    }
    EXPECT_EQ(allText(document.call("Range").toObject()), "Dear <NAME>,\r");
    EXPECT_EQ(allText(tag), "<NAME>");

    tag.put("Text", std::string(93, 'x'));  // exactly the limit
    EXPECT_AUTOMATION_ERROR(tag.call("InsertAfter", "!"), kOutOfMemory);
    tag.put("Text", "Anne");  // shrinking makes room again
    tag.call("InsertAfter", " and Bob");
    EXPECT_EQ(savedText(document), "Dear Anne and Bob,|");
}

TEST_F(WordTest, TheLimitCountsEveryStoryOfTheDocumentTogether) {
    word::ScopedDocumentTextLimit limit(60);
    DocxParts parts = withBody(paragraph("Body <Co>"));
    parts.headers = {{"default", paragraph("Head <Co>")}};
    const auto file = templateFile(parts);
    const Object document = app.getObject("Documents").call("Add", file.string()).toObject();
    const Object header = document.getObject("StoryRanges").call("Item", 7).toObject();
    replaceAll(header, "<Co>", std::string(30, 'h'));  // 10 + 30 - 4 = 36 in the header
    // 36 in the header and 10 in the body leave room for 14 more, not 26 - 4 = 22.
    EXPECT_AUTOMATION_ERROR(replaceAll(document.call("Range").toObject(), "<Co>", std::string(26, 'b')), kOutOfMemory);
    replaceAll(document.call("Range").toObject(), "<Co>", std::string(18, 'b'));
    EXPECT_EQ(savedText(document), "Body " + std::string(18, 'b') + "|");
}

TEST_F(WordTest, AReplacementStandingForMoreThanTheLimitIsRefusedBeforeItIsBuilt) {
    word::ScopedDocumentTextLimit limit(1 << 20);
    const std::string found(1000, 'a');
    const Object document = addDocument(paragraph(found));
    std::string replacement;
    for (int i = 0; i < 50'000; ++i) replacement += "^&";  // 50 million characters, 200 MB as built
    resetPeakMemory();
    const size_t before = currentMemoryBytes();
    EXPECT_AUTOMATION_ERROR(replaceAll(document.call("Range").toObject(), found, replacement), kOutOfMemory);
    EXPECT_LT(peakMemoryBytes(), before + (size_t{32} << 20));
    EXPECT_EQ(savedText(document), found + "|");
}

TEST_F(WordTest, ARowPastTheLimitIsNotAdded) {
    const Object document = addDocument(paragraph("x") + table({{paragraph("a"), paragraph("b")}}) + paragraph(""));
    const int32_t length = document.call("Range").toObject().get("StoryLength").toI4();
    word::ScopedDocumentTextLimit limit(length + 5);  // a row of two empty cells takes four
    const Object rows = document.getObject("Tables", 1).getObject("Rows");
    rows.call("Add");
    EXPECT_AUTOMATION_ERROR(rows.call("Add"), kOutOfMemory);
    EXPECT_EQ(rows.count(), 2);
}

}  // namespace
}  // namespace lumora::testing
