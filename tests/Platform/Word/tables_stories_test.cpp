// The document's other stories (headers, footers, their text boxes, linked sections), its
// tables as the list and quote fillers use them, the documents collection and moving down.

#include "word_fixture.hpp"

namespace lumora::testing {
namespace {

using ::testing::HasSubstr;

// ReplaceInAllStories as the letters run it.
class StoriesTest : public WordTest {
protected:
    void replaceEverywhere(const Object& document, const std::string& tag, const std::string& value) {
        for (const Variant& element : document.getObject("StoryRanges").elements()) {
            Object r = element.toObject();
            while (!r.isNothing()) {
                replaceAll(r, tag, value);
                const int32_t type = r.get("StoryType").toI4();
                if (type >= 6 && type <= 11 && r.getObject("ShapeRange").count() >= 1)
                    for (const Variant& shape : r.getObject("ShapeRange").elements())
                        if (shape.toObject().getObject("TextFrame").get("HasText").toBool())
                            replaceAll(shape.toObject().getObject("TextFrame").getObject("TextRange"), tag, value);
                r = r.getObject("NextStoryRange");
            }
        }
    }
};

TEST_F(StoriesTest, TagsAreReplacedInHeadersFootersAndHeaderTextBoxesOfEverySection) {
    DocxParts parts;
    // Two sections, each with its own primary header; one first-page footer.
    parts.body = paragraph("Body <Co>") + "<w:p><w:pPr><w:sectPr><w:headerReference w:type=\"default\" r:id=\"rId1\"/></w:sectPr></w:pPr></w:p>" +
                 paragraph("Second");
    parts.headers = {{"default", paragraph("Head one <Co>") + textBox(paragraph("Box <Co>"))}, {"default", paragraph("Head two <Co>")}};
    parts.footers = {{"first", paragraph("Foot <Co>")}};
    // The second header belongs to the body's own (last) section.
    const auto file = templateFile(parts);
    Object document = app.getObject("Documents").call("Add", file.string()).toObject();
    replaceEverywhere(document, "<Co>", "Acme");
    const auto saved = folder.path() / "out.docx";
    document.call("SaveAs", saved.string());
    EXPECT_EQ(visibleText(readEntry(saved, "word/document.xml")), "Body Acme||Second|");
    const std::string header1 = readEntry(saved, "word/header1.xml");
    // The text box is replaced in the drawing and in its fallback picture alike.
    EXPECT_EQ(visibleText(header1), "Head one Acme|Box Acme|Box Acme||");
    EXPECT_EQ(visibleText(readEntry(saved, "word/header2.xml")), "Head two Acme|");
    EXPECT_EQ(visibleText(readEntry(saved, "word/footer3.xml")), "Foot Acme|");
}

TEST_F(StoriesTest, StoryRangesListsEachTypeOnceAndNextStoryRangeWalksTheSections) {
    DocxParts parts;
    parts.body = paragraph("x") + "<w:p><w:pPr><w:sectPr><w:headerReference w:type=\"default\" r:id=\"rId1\"/></w:sectPr></w:pPr></w:p>";
    parts.headers = {{"default", paragraph("H1")}, {"default", paragraph("H2")}};
    Object document = app.getObject("Documents").call("Add", templateFile(parts).string()).toObject();
    const Object stories = document.getObject("StoryRanges");
    ASSERT_EQ(stories.count(), 2);
    const Object header = stories.call("Item", 7).toObject();
    EXPECT_EQ(header.get("Text").toString(), "H1\r");
    const Object next = header.getObject("NextStoryRange");
    ASSERT_FALSE(next.isNothing());
    EXPECT_EQ(next.get("Text").toString(), "H2\r");
    EXPECT_TRUE(next.getObject("NextStoryRange").isNothing());
    EXPECT_TRUE(stories.call("Item", 1).toObject().getObject("NextStoryRange").isNothing());
}

TEST_F(WordTest, ListTableGrowsByRowsKeepingCellFormattingAndTakesCellTexts) {
    const Object document = addDocument(
        paragraph("Before") +
        table({{paragraph("<people_name>"), paragraph("<people_town>")}, {paragraph({{"", "<w:b/>"}}), paragraph("")}}) + paragraph(""));
    const Object tables = document.getObject("Tables");
    ASSERT_EQ(tables.count(), 1);
    const Object t = tables.call("Item", 1).toObject();
    EXPECT_EQ(t.call("Cell", 1, 1).toObject().getObject("Range").get("Text").toString(), "<people_name>\r\a");
    EXPECT_EQ(t.getObject("Columns").get("Count").toI4(), 2);
    const Object rows = t.getObject("Rows");
    rows.call("Add");
    EXPECT_EQ(rows.get("Count").toI4(), 3);
    t.call("Cell", 2, 1).toObject().getObject("Range").put("Text", "Ann");
    t.call("Cell", 3, 1).toObject().getObject("Range").put("Text", "Bob");
    t.call("Cell", 1, 1).toObject().getObject("Range").put("Text", "Name");
    const std::string xml = savedPart(document);
    EXPECT_EQ(visibleText(xml), "Before|Name|<people_town>|Ann||Bob|||");
    // The added row's first cell took the bold of the row it was made from.
    EXPECT_THAT(xml, HasSubstr("<w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">Bob</w:t>"));
    rows.getObject("Last").call("Delete");
    EXPECT_EQ(rows.get("Count").toI4(), 2);
    // A cell's whole range deleted leaves the cell, emptied.
    t.call("Cell", 1, 2).toObject().getObject("Range").call("Delete");
    EXPECT_EQ(visibleText(savedPart(document)), "Before|Name||Ann|||");
    try {
        t.call("Cell", 5, 1);
        FAIL() << "a cell outside the table";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 5941);
    }
}

// A data-source document is a table and nothing after it: rows added to it are indexed at the
// story's end.
TEST_F(WordTest, TableClosingTheMainTextGrowsByRowsFilledOneByOne) {
    const Object document = addDocument(table({{paragraph("First"), paragraph("Town")}, {paragraph(""), paragraph("")}}));
    const Object t = document.getObject("Tables").call("Item", 1).toObject();
    const Object rows = t.getObject("Rows");
    for (const char* name : {"Ann", "Bob", "Cleo"}) {
        t.call("Cell", rows.count(), 1).toObject().getObject("Range").call("InsertAfter", name);
        rows.call("Add");
    }
    rows.getObject("Last").call("Delete");
    EXPECT_EQ(visibleText(savedPart(document)), "First|Town|Ann||Bob||Cleo||");
}

// The story keeps its place in the text at the last edit, and a table's rows are read once per
// change of rows: cells written in any order (backward, down a column, scattered, some again
// with a paragraph in them or emptied) and text put in above the table, then rows added and
// deleted between the writes, still each answer with their own text and place.
TEST_F(WordTest, CellsOfALongTableWrittenInAnyOrderKeepTheirTextAndPlace) {
    const Object document = addDocument(paragraph("Top") + table({{paragraph("a"), paragraph("b"), paragraph("c")}}) +
                                        paragraph("End"));
    const Object t = document.getObject("Tables", 1);
    const Object rows = t.getObject("Rows");
    constexpr int32_t kRows = 60, kColumns = 3;
    for (int32_t r = 1; r < kRows; ++r) rows.call("Add");
    ASSERT_EQ(rows.count(), kRows);
    std::vector<std::vector<std::string>> expected(kRows, std::vector<std::string>(kColumns));
    expected[0] = {"a", "b", "c"};
    const auto put = [&](int32_t r, int32_t c, const std::string& text) {
        t.call("Cell", r, c).toObject().getObject("Range").put("Text", text);
        expected[static_cast<size_t>(r - 1)][static_cast<size_t>(c - 1)] = text;
    };
    for (int32_t r = kRows; r >= 1; --r) put(r, 3, "z" + std::to_string(r));
    for (int32_t r = 1; r <= kRows; ++r) put(r, 2, "y" + std::to_string(r));
    document.call("Range", Named{"Start", 0}, Named{"End", 0}).toObject().call("InsertBefore", "Above\r");
    uint32_t seed = 7;
    for (int i = 0; i < 200; ++i) {
        seed = seed * 1103515245u + 12345u;
        const auto r = static_cast<int32_t>(seed % kRows) + 1, c = static_cast<int32_t>((seed >> 8) % kColumns) + 1;
        put(r, c, i % 5 == 0 ? "" : i % 7 == 0 ? "two\rlines" + std::to_string(i) : "x" + std::to_string(i));
    }
    const auto expectCells = [&] {
        int32_t previousStart = -1;
        for (int32_t r = 1; r <= rows.count(); ++r)
            for (int32_t c = 1; c <= kColumns; ++c) {
                const Object range = t.call("Cell", r, c).toObject().getObject("Range");
                const auto& text = expected[static_cast<size_t>(r - 1)][static_cast<size_t>(c - 1)];
                ASSERT_EQ(range.get("Text").toString(), text + "\r\a") << "cell " << r << "," << c;
                EXPECT_GT(range.get("Start").toI4(), previousStart);
                previousStart = range.get("Start").toI4();
            }
    };
    expectCells();

    rows.call("Add", rows.call("Item", 30));
    expected.insert(expected.begin() + 29, std::vector<std::string>(kColumns));
    rows.call("Item", 3).toObject().call("Delete");
    expected.erase(expected.begin() + 2);
    EXPECT_EQ(rows.call("Item", 40).toObject().get("Index").toI4(), 40);
    put(30, 1, "new");
    put(3, 1, "third");
    expectCells();
    EXPECT_EQ(rows.call("Item", 5).toObject().getObject("Range").get("Text").toString(),
              expected[4][0] + "\r\a" + expected[4][1] + "\r\a" + expected[4][2] + "\r\a");

    std::string saved = "Above|Top|";
    for (const auto& row : expected)
        for (const std::string& cell : row) {
            std::string text = cell;
            for (size_t at = text.find('\r'); at != std::string::npos; at = text.find('\r')) text.replace(at, 1, "|");
            saved += text + "|";
        }
    EXPECT_EQ(savedText(document), saved + "End|");
}

// Column one merged over both rows: the second row's first cell lies under the merged cell.
TEST_F(WordTest, InsertAfterOnAWholeCellAddsToThatCellNotTheNext) {
    const Object document = addDocument(table({{paragraph(""), paragraph("b")}, {paragraph("c"), paragraph("")}}) +
                                        paragraph("End"));
    const Object t = document.getObject("Tables", 1);
    t.call("Cell", 1, 1).toObject().getObject("Range").call("InsertAfter", "a");
    t.call("Cell", 1, 2).toObject().getObject("Range").call("InsertAfter", "+");
    const Object last = t.call("Cell", 2, 2).toObject().getObject("Range");
    last.call("InsertAfter", "d");
    EXPECT_EQ(t.call("Cell", 1, 1).toObject().getObject("Range").get("Text").toString(), "a\r\a");
    EXPECT_EQ(t.call("Cell", 1, 2).toObject().getObject("Range").get("Text").toString(), "b+\r\a");
    EXPECT_EQ(t.call("Cell", 2, 1).toObject().getObject("Range").get("Text").toString(), "c\r\a");
    EXPECT_EQ(last.get("Text").toString(), "d\r\a");
}

TEST_F(WordTest, ACellUnderAVerticalMergeIsNoMemberAndOnlyARowInsideTheMergeJoinsIt) {
    auto cell = [](const std::string& merge, const std::string& text) {
        return "<w:tc><w:tcPr>" + merge + "</w:tcPr>" + paragraph(text) + "</w:tc>";
    };
    const std::string restart = "<w:vMerge w:val=\"restart\"/>", continued = "<w:vMerge/>";
    const Object document = addDocument(
        paragraph("x") + "<w:tbl><w:tblGrid><w:gridCol w:w=\"3000\"/><w:gridCol w:w=\"3000\"/></w:tblGrid><w:tr>" +
        cell(restart, "<people_name>") + cell("", "<people_mail>") + "</w:tr><w:tr>" + cell(continued, "") +
        cell("", "y") + "</w:tr></w:tbl>" + paragraph(""));
    const Object t = document.getObject("Tables", 1);
    auto expectNoCell = [&](int32_t row, int32_t column, bool write) {
        try {
            const Object range = t.call("Cell", row, column).toObject().getObject("Range");
            write ? range.put("Text", "Ann") : (void)range.get("Text");
            ADD_FAILURE() << "cell " << row << "," << column << " under the merge answered";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), 5941);
            EXPECT_EQ(e.description(), "The requested member of the collection does not exist.");
        }
    };
    expectNoCell(2, 1, false);
    expectNoCell(2, 1, true);
    EXPECT_EQ(t.call("Cell", 2, 2).toObject().getObject("Range").get("Text").toString(), "y\r\a");

    const Object rows = t.getObject("Rows");
    rows.call("Add");  // at the end: its own cell, though copied from the continuing row
    t.call("Cell", 3, 1).toObject().getObject("Range").put("Text", "Ann");
    rows.call("Add", rows.call("Item", 2));  // inside the merge: joins it
    expectNoCell(2, 1, true);
    rows.call("Add", rows.call("Item", 1));  // above the merge's first row: does not start another
    t.call("Cell", 1, 1).toObject().getObject("Range").put("Text", "Top");
    EXPECT_EQ(t.call("Cell", 2, 1).toObject().getObject("Range").get("Text").toString(), "<people_name>\r\a");

    const std::string xml = savedPart(document);
    EXPECT_EQ(visibleText(xml), "x|Top||<people_name>|<people_mail>||||y|Ann|||");
    auto occurrences = [&xml](const std::string& what) {
        size_t n = 0;
        for (size_t at = xml.find(what); at != std::string::npos; at = xml.find(what, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(occurrences("w:vMerge"), 3u);  // the restart and the two rows inside the merge
    EXPECT_EQ(occurrences("w:val=\"restart\""), 1u);
}

TEST_F(WordTest, ATableDeletedWithItsLastRowAnswersObjectDeletedAfterwards) {
    const Object document = addDocument(paragraph("x") + table({{paragraph("only")}}) + paragraph(""));
    const Object t = document.getObject("Tables", 1);
    const Object row = t.getObject("Rows").call("Item", 1).toObject();
    row.call("Delete");
    EXPECT_EQ(document.getObject("Tables").count(), 0);
    for (const auto& use : std::vector<std::function<void()>>{[&] { t.getObject("Rows").count(); },
                                                              [&] { row.call("Delete"); },
                                                              [&] { t.call("Cell", 1, 1); }}) {
        try {
            use();
            ADD_FAILURE() << "a deleted table answered";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), 5825);
        }
    }
    EXPECT_EQ(savedText(document), "x||");
}

TEST_F(WordTest, DocumentsCountNewestFirstAndCloseRemovesOne) {
    const Object blank = app.getObject("Documents").call("Add").toObject();
    EXPECT_EQ(blank.get("Name").toString(), "Document1");
    EXPECT_EQ(blank.call("Range").toObject().get("Text").toString(), "\r");
    blank.call("Close");
    const Object first = addDocument(paragraph("one"));
    const Object second = addDocument(paragraph("two"));
    const Object documents = app.getObject("Documents");
    EXPECT_EQ(documents.count(), 2);
    EXPECT_EQ(documents.call("Item", 1).toObject().call("Range").toObject().get("Text").toString(), "two\r");
    second.call("Close", 0);
    EXPECT_EQ(documents.count(), 1);
    EXPECT_EQ(app.getObject("Selection").get("Text").toString(), "");
    try {
        second.call("Range");
        FAIL() << "a closed document answered";
    } catch (const Error& e) {
        EXPECT_THAT(e.description(), HasSubstr("closed"));
    }
}

TEST_F(WordTest, MoveDownExtendsTheSelectionToTheEndOfItsParagraph) {
    const Object document = addDocument(paragraph("Intro") + paragraph("<htmltable>lines.htm") + paragraph("After"));
    const Object selection = app.getObject("Selection");
    const Object find = selection.getObject("Find");
    find.put("Text", "<htmltable>");
    find.put("Wrap", 1);
    ASSERT_TRUE(find.call("Execute").toBool());
    selection.call("MoveDown", Named{"Unit", 4}, Named{"Count", 1}, Named{"Extend", 1});
    EXPECT_EQ(selection.get("Text").toString(), "<htmltable>lines.htm\r");
    selection.call("Delete", Named{"Count", 0});
    EXPECT_EQ(savedText(document), "Intro|After|");
}

TEST_F(WordTest, FieldsAreCountedAndUnlinkedToTheirResult) {
    const Object document = addDocument(
        "<w:p><w:r><w:t xml:space=\"preserve\">Date: </w:t></w:r><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
        "<w:r><w:instrText xml:space=\"preserve\"> DATE </w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
        "<w:r><w:t>1 May</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>" +
        std::string("<w:p><w:fldSimple w:instr=\" PAGE \"><w:r><w:t>3</w:t></w:r></w:fldSimple></w:p>"));
    const Object fields = document.getObject("Content").getObject("Fields");
    ASSERT_EQ(fields.count(), 2);
    EXPECT_EQ(fields.call("Item", 1).toObject().get("Code").toString(), " DATE ");
    fields.call("Unlink");
    const std::string xml = savedPart(document);
    EXPECT_EQ(visibleText(xml), "Date: 1 May|3|");
    EXPECT_THAT(xml, ::testing::Not(HasSubstr("fldChar")));
    EXPECT_THAT(xml, ::testing::Not(HasSubstr("fldSimple")));
}

}  // namespace
}  // namespace lumora::testing
