// The character positions script sees, and the edits and finds that work on them: what counts
// as visible text, whole words, backward and special-character searches, inserting around a
// range, joining paragraphs, and where ranges and files may and may not go.

#include "word_fixture.hpp"

namespace lumora::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::string allText(const Object& document) { return document.call("Range").toObject().get("Text").toString(); }

TEST_F(WordTest, VisibleTextSkipsDeletedRevisionsFieldCodesAndTextBoxesButKeepsLinksAndControls) {
    const Object document = addDocument(
        "<w:p><w:r><w:t>A</w:t><w:tab/><w:t>B</w:t><w:br/></w:r><w:del w:id=\"1\"><w:r><w:delText>gone</w:delText></w:r></w:del>"
        "<w:ins w:id=\"2\"><w:r><w:t>new</w:t></w:r></w:ins><w:hyperlink r:id=\"x\"><w:r><w:t>link</w:t></w:r></w:hyperlink>"
        "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>PAGE</w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
        "<w:r><w:t>7</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>"
        "<w:sdt><w:sdtContent>" + paragraph("in control") + "</w:sdtContent></w:sdt>" + textBox(paragraph("boxed")));
    EXPECT_EQ(allText(document), "A\tB\vnewlink7\rin control\r\r");
    const Object find = document.call("Range").toObject().getObject("Find");
    EXPECT_FALSE(find.call("Execute", "gone").toBool());
    EXPECT_FALSE(find.call("Execute", "PAGE").toBool());
    EXPECT_TRUE(document.call("Range").toObject().getObject("Find").call("Execute", "newlink").toBool());
}

TEST_F(WordTest, FindsWholeWordsBackwardAndSpecialCharacters) {
    const Object document = addDocument(paragraph("cat catalogue cat") + paragraph("next"));
    const Object range = document.call("Range").toObject();
    const Object find = range.getObject("Find");
    ASSERT_TRUE(find.call("Execute", "cat", false, true, Named{"Forward", false}).toBool());
    EXPECT_EQ(range.get("Start").toI4(), 14);  // the last whole word, searching backward
    const Object all = document.call("Range").toObject();
    ASSERT_TRUE(all.getObject("Find").call("Execute", "cat^pnext").toBool());
    EXPECT_EQ(all.get("Text").toString(), "cat\rnext");
    const Object whole = document.call("Range").toObject();
    whole.getObject("Find").call("Execute", "cat", false, true, Named{"ReplaceWith", "[^&]"}, Named{"Replace", 2});
    EXPECT_EQ(allText(document), "[cat] catalogue [cat]\rnext\r");
    EXPECT_THROW(whole.getObject("Find").call("Execute", "c?t", Named{"MatchWildcards", true}), Error);
}

TEST_F(WordTest, ReplacingEveryParagraphMarkSkipsCellEndsAndTheLastMarkAndEnds) {
    const Object document = addDocument(paragraph("a") + table({{paragraph("b") + paragraph("c")}}) + paragraph("d"));
    replaceAll(document.call("Range").toObject(), "^p", "");
    // Joining "a" to the cell, or anything across the cell's end, is refused; "b" and "c" join.
    EXPECT_EQ(allText(document), "a\rbc\r\ad\r");
}

TEST_F(WordTest, ReplacingOneLeavesTheRangeOnTheNewText) {
    const Object document = addDocument(paragraph("one <t> two <t>"));
    const Object range = document.call("Range").toObject();
    ASSERT_TRUE(range.getObject("Find").call("Execute", "<t>", Named{"ReplaceWith", "THREE"}, Named{"Replace", 1}).toBool());
    EXPECT_EQ(range.get("Text").toString(), "THREE");
    EXPECT_EQ(allText(document), "one THREE two <t>\r");
}

// A long text is split into pieces where an edit first changes it, so that each edit rewrites a
// piece rather than the whole: here every tag of one long text, some of them across the edges
// of the pieces, and each replaced by a text longer than itself.
TEST_F(WordTest, EveryTagOfOneLongTextIsReplacedAcrossThePiecesItIsSplitInto) {
    std::string tags = "a";
    std::string expected = "a";
    for (int i = 0; i < 5'000; ++i) {
        tags += "<B> ";
        expected += "[" + std::to_string(i % 10) + "] ";
    }
    const Object document = addDocument(paragraph(tags) + paragraph("after"));
    for (int i = 0; i < 5'000; ++i) {
        const Object range = document.call("Range").toObject();
        ASSERT_TRUE(range.getObject("Find").call("Execute", "<B>").toBool()) << i;
        range.put("Text", "[" + std::to_string(i % 10) + "]");
    }
    EXPECT_EQ(allText(document), expected + "\rafter\r");
    EXPECT_EQ(savedText(document), expected + "|after|");
}

TEST_F(WordTest, InsertAfterAndBeforeGrowTheRangeAndTextOnACollapsedRangeInserts) {
    const Object document = addDocument(paragraph("middle"));
    const Object range = document.call("Range", 0, 6).toObject();
    range.call("InsertAfter", " end");
    range.call("InsertBefore", "start ");
    EXPECT_EQ(range.get("Text").toString(), "start middle end");
    const Object point = document.call("Range", 0, 0).toObject();
    point.put("Text", ">");
    EXPECT_EQ(allText(document), ">start middle end\r");
    EXPECT_EQ(range.get("Start").toI4(), 1);
}

TEST_F(WordTest, DeletingAParagraphMarkJoinsTheParagraphsButNeverTheLastOne) {
    const Object document = addDocument(paragraph({{"first", "<w:b/>"}}) + paragraph("second"));
    document.call("Range", 5, 6).toObject().call("Delete");
    EXPECT_EQ(allText(document), "firstsecond\r");
    document.call("Range").toObject().call("Delete");
    EXPECT_EQ(allText(document), "\r");
    EXPECT_EQ(savedText(document), "|");
}

// A whole paragraph deleted, its mark with it (as a quote's marker paragraph is), leaves the next
// paragraph's alignment; joining from inside a paragraph keeps that paragraph's.
TEST_F(WordTest, DeletingAWholeParagraphLeavesTheNextItsPropertiesAndJoiningKeepsTheFirsts) {
    const std::string right = "<w:pPr><w:jc w:val=\"right\"/></w:pPr>";
    const std::string centred = "<w:pPr><w:jc w:val=\"center\"/></w:pPr>";
    const Object document = addDocument(paragraph("marker") + paragraph({{"total", ""}}, right) +
                                         paragraph({{"left", ""}}, centred) + paragraph("end"));
    document.call("Range", 0, 7).toObject().call("Delete");
    EXPECT_EQ(allText(document), "total\rleft\rend\r");
    EXPECT_NE(savedPart(document).find("<w:p><w:pPr><w:jc w:val=\"right\"/></w:pPr><w:r><w:t xml:space=\"preserve\">total"), std::string::npos)
        << savedPart(document);
    // "total" and the mark after it, with "le": the paragraph of "ft" keeps its own.
    document.call("Range", 0, 8).toObject().call("Delete");
    EXPECT_EQ(allText(document), "ft\rend\r");
    EXPECT_NE(savedPart(document).find(centred), std::string::npos) << savedPart(document);
    // From inside "ft", joining it to "end" keeps its centring.
    document.call("Range", 1, 3).toObject().call("Delete");
    EXPECT_EQ(allText(document), "fend\r");
    EXPECT_NE(savedPart(document).find(centred), std::string::npos) << savedPart(document);
}

TEST_F(WordTest, SectionBreaksStayOneWhenTheirParagraphIsSplitOrJoined) {
    const std::string sectionEnd = "<w:pPr><w:sectPr><w:pgSz w:w=\"100\"/></w:sectPr></w:pPr>";
    const Object document = addDocument(paragraph({{"a <x> b", ""}}, sectionEnd) + paragraph("next"));
    typeOverEach(document, "<x>", "1\r2");
    EXPECT_EQ(allText(document), "a 1\r2 b\rnext\r");
    std::string xml = savedPart(document);
    const auto count = [](const std::string& text, const std::string& what) {
        size_t n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(count(xml, "<w:pgSz w:w=\"100\"/>"), 1u);
    // The break now ends the second half: it is in the paragraph after the one of "a 1".
    const size_t breakAt = xml.find("<w:pgSz w:w=\"100\"/>");
    EXPECT_LT(xml.find("</w:p>", xml.find("a 1")), breakAt);
    EXPECT_LT(breakAt, xml.find(" b</w:t>"));
    // Joining that half to the next paragraph keeps the break.
    document.call("Range", 7, 8).toObject().call("Delete");
    EXPECT_EQ(allText(document), "a 1\r2 bnext\r");
    xml = savedPart(document);
    EXPECT_EQ(count(xml, "<w:pgSz w:w=\"100\"/>"), 1u);
}

TEST_F(WordTest, ATextBoxMisplacedInsideEditedTextOutlivesTheEdit) {
    // Hostile markup: a text box inside the very w:t that the replacement rewrites, and one in
    // a run that the deletion empties.
    const Object document = addDocument(
        "<w:p><w:r><w:t>before <w:txbxContent><w:p><w:r><w:t>boxed</w:t></w:r></w:p></w:txbxContent>&lt;x&gt;</w:t></w:r></w:p>"
        "<w:p><w:r><w:rPr><w:txbxContent><w:p><w:r><w:t>second</w:t></w:r></w:p></w:txbxContent></w:rPr><w:t>&lt;y&gt;</w:t></w:r></w:p>");
    replaceAll(document.call("Range").toObject(), "<x>", "X");
    replaceAll(document.call("Range").toObject(), "<y>", "");
    EXPECT_EQ(allText(document), "before X\r\r");
    const Object boxes = document.getObject("StoryRanges").call("Item", 5).toObject();
    EXPECT_EQ(boxes.get("Text").toString(), "boxed\r");
    EXPECT_EQ(boxes.getObject("NextStoryRange").get("Text").toString(), "second\r");
}

TEST_F(WordTest, TypingIntoAnEmptyDocumentTakesTheParagraphMarksFormatting) {
    const Object document = addDocument("<w:p><w:pPr><w:rPr><w:i/><w:ins w:id=\"1\"/></w:rPr></w:pPr></w:p>");
    app.getObject("Selection").call("TypeText", "typed");
    const std::string xml = savedPart(document);
    EXPECT_THAT(xml, HasSubstr("<w:r><w:rPr><w:i/></w:rPr><w:t xml:space=\"preserve\">typed</w:t></w:r>"));
}

TEST_F(WordTest, RangesOutsideTheStoryAndUnknownUnitsAreRefused) {
    const Object document = addDocument(paragraph("abc"));
    EXPECT_THROW(document.call("Range", 0, 99), Error);
    EXPECT_THROW(document.call("Range", -1, 2), Error);
    const Object range = document.call("Range", 1, 2).toObject();
    EXPECT_THROW(range.call("MoveStart", 3, 1), Error);  // sentences are not a unit here
    EXPECT_EQ(range.call("MoveStart", 1, -5).toI4(), -1);
    EXPECT_EQ(range.call("MoveEnd", 1, 10).toI4(), 2);
    EXPECT_EQ(range.get("Text").toString(), "abc\r");
    EXPECT_THROW(range.get("Information", 3), Error);
}

TEST_F(WordTest, OpenFindsFilesInTheChangedOpenFolderAndReportsMissingOnes) {
    writeDocx(folder.path() / "known.docx", withBody(paragraph("known")));
    app.call("ChangeFileOpenDirectory", folder.path().string());
    const Object document = app.getObject("Documents").call("Open", "known.docx").toObject();
    EXPECT_EQ(document.get("Name").toString(), "known.docx");
    EXPECT_TRUE(document.get("Saved").toBool());
    for (auto [path, number] : {std::pair{folder.path() / "absent.docx", 53}, {folder.path() / "no" / "such.docx", 76}}) {
        try {
            app.getObject("Documents").call("Open", path.string());
            ADD_FAILURE() << path;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), number) << path;
        }
    }
}

TEST_F(WordTest, AFailedSaveLeavesNeitherTheFileNorAScratchCopy) {
    const Object document = addDocument(paragraph("x"));
    EXPECT_THROW(document.call("SaveAs", (folder.path() / "missing" / "x.docx").string()), Error);
    const auto blocked = folder.path() / "blocked.docx";
    std::filesystem::create_directory(blocked);  // a folder where the file should go
    EXPECT_THROW(document.call("SaveAs", blocked.string()), Error);
    size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) entries += entry.path() != blocked;
    EXPECT_EQ(entries, 1u);  // the template alone
}

}  // namespace
}  // namespace lumora::testing
