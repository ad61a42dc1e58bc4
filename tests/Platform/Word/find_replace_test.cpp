// Finding and replacing tags on the visible text: split runs, formatting kept, repeated and
// self-containing values, blank values deleted with their table line, and markup the engine
// does not model saved untouched.

#include "word_fixture.hpp"

namespace lumora::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

TEST_F(WordTest, TagSplitOverRunsIsReplacedWithTheFormattingOfItsFirstCharacter) {
    // Spell-check marks split the tag into three runs; its "<" sits in a bold run.
    const Object document = addDocument(
        "<w:p><w:r><w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">Dear &lt;</w:t></w:r><w:proofErr w:type=\"spellStart\"/>"
        "<w:r><w:t>First</w:t></w:r><w:proofErr w:type=\"spellEnd\"/><w:r><w:rPr><w:i/></w:rPr><w:t>Name&gt;,</w:t></w:r></w:p>");
    typeOverEach(document, "<FirstName>", "Anna");
    const std::string xml = savedPart(document);
    EXPECT_EQ(visibleText(xml), "Dear Anna,|");
    EXPECT_THAT(xml, HasSubstr("<w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">Dear Anna</w:t>"));
    EXPECT_THAT(xml, HasSubstr("<w:rPr><w:i/></w:rPr><w:t xml:space=\"preserve\">,</w:t>"));
    EXPECT_THAT(xml, HasSubstr("<w:proofErr w:type=\"spellStart\"/>"));
}

TEST_F(WordTest, EveryOccurrenceIsFoundIgnoringCaseUnlessMatchCaseIsAsked) {
    const Object document =
        addDocument(paragraph("<Town> and <TOWN>") + table({{paragraph("in <town>")}}) + paragraph("end <Town>"));
    typeOverEach(document, "<town>", "Leeds");
    EXPECT_EQ(savedText(document), "Leeds and Leeds|in Leeds|end Leeds|");
}

TEST_F(WordTest, MatchCaseFindsOnlyTheSameCapitals) {
    const Object document = addDocument(paragraph("<TOWN> <Town>"));
    const Object range = document.call("Range").toObject();
    range.getObject("Find").call("Execute", "<Town>", true, Named{"ReplaceWith", "Leeds"}, Named{"Replace", 2});
    EXPECT_EQ(savedText(document), "<TOWN> Leeds|");
}

TEST_F(WordTest, FindFoldsLettersBeyondAsciiAndSeesTextAnEditHasJustJoined) {
    const Object document = addDocument(paragraph("Grüße, <ÄRZTIN> x<A>ON"));
    typeOverEach(document, "<ärztin>", "Dr. Öz");
    // The value typed over "<A>" joins the text around it into one word, found as it now stands.
    typeOverEach(document, "<a>", "LE");
    replaceAll(document.call("Range").toObject(), "xleon", "Léon");
    EXPECT_EQ(savedText(document), "Grüße, Dr. Öz Léon|");
}

TEST_F(WordTest, FindInARangeTakesAMatchEndingAtItsEndButNoneLongerThanTheRange) {
    const Object document = addDocument(paragraph("abc abc"));
    const Object tail = document.call("Range", 4, 7).toObject();
    EXPECT_TRUE(tail.getObject("Find").call("Execute", "ABC").toBool());
    EXPECT_EQ(tail.get("Start").toI4(), 4);
    const Object shorter = document.call("Range", 4, 6).toObject();
    EXPECT_FALSE(shorter.getObject("Find").call("Execute", "abc").toBool());
    const Object whole = document.call("Range").toObject();
    EXPECT_TRUE(whole.getObject("Find").call("Execute", "abc", Named{"Forward", false}).toBool());
    EXPECT_EQ(whole.get("Start").toI4(), 4);
}

TEST_F(WordTest, ReplaceAllOfAValueHoldingItsOwnTagEndsAfterEachOccurrenceOnce) {
    const Object document = addDocument(paragraph("<x> and <x>"));
    replaceAll(document.call("Range").toObject(), "<x>", "[<x>]");
    EXPECT_EQ(savedText(document), "[<x>] and [<x>]|");
}

TEST_F(WordTest, FindMovesTheSelectionOntoTheTagAndTypingLeavesItAfterTheValue) {
    const Object document = addDocument(paragraph("Hello <Name>!"));
    const Object selection = app.getObject("Selection");
    EXPECT_EQ(selection.get("End").toI4(), 14);  // the whole text with its paragraph mark
    const Object find = selection.getObject("Find");
    find.put("Text", "<name>");
    EXPECT_TRUE(find.call("Execute").toBool());
    EXPECT_EQ(selection.get("Start").toI4(), 6);
    EXPECT_EQ(selection.get("End").toI4(), 12);
    EXPECT_EQ(selection.get("Text").toString(), "<Name>");
    selection.call("TypeText", "Bob");
    EXPECT_EQ(selection.get("Start").toI4(), 9);
    EXPECT_EQ(selection.get("End").toI4(), 9);
    EXPECT_EQ(document.call("Range").toObject().get("Text").toString(), "Hello Bob!\r");
}

TEST_F(WordTest, RangesHeldByScriptMoveWithEditsBeforeThem) {
    const Object document = addDocument(paragraph("<a> then <b>"));
    const Object later = document.call("Range", 9, 12).toObject();
    ASSERT_EQ(later.get("Text").toString(), "<b>");
    replaceAll(document.call("Range").toObject(), "<a>", "Alpha Beta");
    EXPECT_EQ(later.get("Text").toString(), "<b>");
    EXPECT_EQ(later.get("Start").toI4(), 16);
}

TEST_F(WordTest, LineBreaksInAValueStartParagraphsAndControlCharactersAreDropped) {
    const Object document = addDocument(paragraph({{"Address: <Addr>.", "<w:u w:val=\"single\"/>"}}));
    typeOverEach(document, "<Addr>", "1 High St\r\nLeeds\x01\tUK");
    const std::string xml = savedPart(document);
    EXPECT_EQ(visibleText(xml), "Address: 1 High St|LeedsUK.|");
    EXPECT_THAT(xml, HasSubstr("<w:tab/>"));
    EXPECT_THAT(xml, Not(HasSubstr("&#1;")));
    // Both paragraphs keep the run's underline.
    EXPECT_THAT(xml, HasSubstr("<w:u w:val=\"single\"/></w:rPr><w:t xml:space=\"preserve\">Leeds</w:t>"));
}

// Part of the letters' blank-value pass: the tag's range, widened back over the character
// before it when it is in a table, deleted; 5904 when that character ends another cell.
void deleteBlankTag(const Object& app, const Object& document, const std::string& tag) {
    document.call("Select");
    const Object find = app.getObject("Selection").getObject("Find");
    find.put("Text", tag);
    find.call("Execute");
    ASSERT_TRUE(find.get("Found").toBool());
    const Object selection = app.getObject("Selection").getObject("Range");
    const Object r = document.call("Range", Named{"Start", selection.get("Start")}, Named{"End", selection.get("End")}).toObject();
    ASSERT_TRUE(r.get("Information", 12).toBool());
    r.call("MoveStart", 1, -1);
    try {
        r.call("Delete");
    } catch (const Error& e) {
        ASSERT_EQ(e.number(), 5904);
        r.call("MoveStart", 1, 1);
        r.call("Delete");
    }
}

TEST_F(WordTest, BlankTagOnItsOwnLineInACellGoesWithItsLine) {
    const Object document = addDocument(table({{paragraph("Line one") + paragraph("<Blank>"), paragraph("B")}}) + paragraph(""));
    EXPECT_EQ(document.call("Range").toObject().get("Text").toString(), "Line one\r<Blank>\r\aB\r\a\r");
    deleteBlankTag(app, document, "<Blank>");
    EXPECT_EQ(savedText(document), "Line one|B||");
}

TEST_F(WordTest, BlankTagAtTheStartOfACellIsDeletedAloneAfterError5904) {
    const Object document = addDocument(table({{paragraph("A"), paragraph("<Blank> rest")}}) + paragraph(""));
    deleteBlankTag(app, document, "<Blank>");
    EXPECT_EQ(savedText(document), "A| rest||");
}

TEST_F(WordTest, DeletingAcrossACellBoundaryIsRefusedWith5904AndChangesNothing) {
    const Object document = addDocument(table({{paragraph("A"), paragraph("B")}}) + paragraph(""));
    const Object range = document.call("Range", 0, 4).toObject();
    try {
        range.call("Delete");
        FAIL() << "deleted across cells";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 5904);
    }
    EXPECT_EQ(savedText(document), "A|B||");
}

TEST_F(WordTest, SavedDocumentKeepsUnmodelledMarkupAndPartsAndBecomesADocument) {
    DocxParts parts = withBody("<w:bookmarkStart w:id=\"0\" w:name=\"keep\"/>" + paragraph("<Tag>") + "<w:bookmarkEnd w:id=\"0\"/>");
    parts.isTemplate = true;
    const std::string styles = "<?xml version=\"1.0\"?><w:styles xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:style w:styleId=\"Odd\"/></w:styles>";
    parts.extra = {{"word/styles.xml", styles}};
    const Object document = addDocument(parts);
    typeOverEach(document, "<Tag>", "Value");
    const auto file = folder.path() / "Attachment.Doc";  // the package whatever the extension
    document.call("SaveAs", file.string());
    EXPECT_THAT(readEntry(file, "word/document.xml"), HasSubstr("<w:bookmarkStart w:id=\"0\" w:name=\"keep\"/>"));
    EXPECT_EQ(readEntry(file, "word/styles.xml"), styles);
    const std::string types = readEntry(file, "[Content_Types].xml");
    EXPECT_THAT(types, HasSubstr("wordprocessingml.document.main+xml"));
    EXPECT_THAT(types, Not(HasSubstr("template.main")));
    EXPECT_EQ(visibleText(readEntry(file, "word/document.xml")), "Value|");
}

TEST_F(WordTest, ADocumentFromAMacroTemplateIsSavedWithoutTheTemplatesMacros) {
    DocxParts parts = withBody(paragraph("<Tag>"));
    parts.macroEnabled = true;
    parts.extraContentTypes = "<Override PartName=\"/word/vbaData.xml\" ContentType=\"application/vnd.ms-word.vbaData+xml\"/>"
                              "<Default Extension=\"bin\" ContentType=\"application/vnd.ms-office.vbaProject\"/>";
    parts.extraRelationships = "<Relationship Id=\"rIdVba\" Type=\"http://schemas.microsoft.com/office/2006/relationships/vbaProject\" Target=\"vbaProject.bin\"/>";
    parts.extra = {{"word/vbaProject.bin", "macro bytes"}, {"word/vbaData.xml", "<wne:vbaSuppData xmlns:wne=\"http://schemas.microsoft.com/office/word/2006/wordml\"/>"}};
    const Object document = addDocument(parts);
    const auto file = folder.path() / "fromMacros.docx";
    document.call("SaveAs", file.string());
    const std::string types = readEntry(file, "[Content_Types].xml");
    EXPECT_THAT(types, HasSubstr("wordprocessingml.document.main+xml"));
    EXPECT_THAT(types, Not(HasSubstr("macroEnabled")));
    EXPECT_THAT(types, Not(HasSubstr("/word/vbaData.xml")));
    EXPECT_THAT(readEntry(file, "word/_rels/document.xml.rels"), Not(HasSubstr("vbaProject")));
    EXPECT_THROW(readEntry(file, "word/vbaProject.bin"), std::runtime_error);
}

}  // namespace
}  // namespace lumora::testing
