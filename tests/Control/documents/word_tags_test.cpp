// Tag replacement in real Word documents: each case opens a template through the Word stand-in,
// replaces one tag as a letter does, saves, and reads the saved package's XML back.

#include <gtest/gtest.h>

#include "Control/documents/word_tags.hpp"
#include "Host/sample_template.hpp"
#include "tests/Control/support/word_fixture.hpp"

namespace lumora {
namespace {

using host::paragraph;
using host::paragraphs;
using host::run;
using host::RunStyle;
using testing::readEntry;
using testing::oneColumnTable;
using testing::paragraphTexts;
using Texts = std::vector<std::string>;

class WordTags : public testing::WordFixture {
protected:
    void open(const std::filesystem::path& templatePath) {
        word = Registry::instance().createObject("Word.Application");
        document = word.getObject("Documents").call("Add", templatePath.string()).toObject();
        document.call("Select");
    }

    void replace(const std::string& tag, const std::string& value, std::string_view replaceInHeader = "") {
        tags.TagList = {tag};
        tags.FieldNameList = {"field"};
        tags.ValueList = {value};
        control::ReplaceOneTag(tags, document, word, 0, replaceInHeader);
    }

    Texts body() { return paragraphTexts(savedPart(document, "word/document.xml")); }
    Texts header() { return paragraphTexts(savedPart(document, "word/header1.xml")); }
    Texts footer() { return paragraphTexts(savedPart(document, "word/footer1.xml")); }

    control::RecordTagLists tags;
    Object word;
    Object document;
};

TEST_F(WordTags, EveryOccurrenceInTheBodyIsTypedOverWithoutRegardToCase) {
    open(makeTemplate(paragraphs({"<CONTACT> and <contact>", "Dear <Contact>,"})));
    replace("<CONTACT>", "Anne");
    EXPECT_EQ(body(), (Texts{"Anne and Anne", "Dear Anne,"}));
    EXPECT_TRUE(boxes().empty());
}

TEST_F(WordTags, AValueHoldingItsOwnTagReplacesEachOccurrenceOnceAndEnds) {
    const auto tpl = makeTemplate(paragraphs({"<A> then <A>"}), paragraphs({"Ref <a>"}));
    open(tpl);
    replace("<A>", "[<A>]");
    EXPECT_EQ(body(), (Texts{"[<A>] then [<A>]"}));
    // With the story pass the body is not replaced a second time, inside the typed values.
    open(tpl);
    replace("<A>", "[<A>]", "true");
    EXPECT_EQ(body(), (Texts{"[<A>] then [<A>]"}));
    EXPECT_EQ(header(), (Texts{"Ref [<A>]"}));
}

TEST_F(WordTags, TagsSplitOverRunsAreFoundAndTheValueTakesTheTagsFormatting) {
    open(makeTemplate(paragraph(run("Dear ") + run("<CON", RunStyle::Bold) + run("TACT>", RunStyle::Bold) + run(","))));
    replace("<CONTACT>", "Anne Dodsworth");
    const std::string xml = savedPart(document, "word/document.xml");
    EXPECT_EQ(paragraphTexts(xml), (Texts{"Dear Anne Dodsworth,"}));
    EXPECT_NE(xml.find("<w:r><w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">Anne Dodsworth</w:t></w:r>"),
              std::string::npos)
        << xml;
}

TEST_F(WordTags, ABlankValueDeletesTheTagAndInATableItsLineToo) {
    open(makeTemplate(paragraphs({"Address: <ADDRESS2>."}) +
                      oneColumnTable({{"12 Sandy Lane", "<ADDRESS2>", "Leeds"}, {"<ADDRESS2>", "after"}})));
    replace("<ADDRESS2>", "   ");
    // Outside a table only the tag goes. In a table the line goes with it, except at the start of
    // a cell, where the wider range cannot be edited and only the tag is deleted.
    EXPECT_EQ(body(), (Texts{"Address: .", "12 Sandy Lane", "Leeds", "", "after", ""}));
    EXPECT_TRUE(boxes().empty());
}

TEST_F(WordTags, HeadersAndFootersOnlyWithExactlyTrueAndValuesUnder255Characters) {
    const auto tpl = makeTemplate(paragraphs({"<REF>"}), paragraphs({"Ref <REF>"}), paragraphs({"<REF> end"}));
    for (const char* flag : {"True", "TRUE", ""}) {
        open(tpl);
        replace("<REF>", "R1", flag);
        EXPECT_EQ(header(), (Texts{"Ref <REF>"})) << flag;
    }
    open(tpl);
    replace("<REF>", std::string(254, 'x'), "true");
    EXPECT_EQ(header(), (Texts{"Ref " + std::string(254, 'x')}));
    EXPECT_EQ(footer(), (Texts{std::string(254, 'x') + " end"}));

    open(tpl);
    replace("<REF>", std::string(255, 'y'), "true");
    EXPECT_EQ(body(), (Texts{std::string(255, 'y')}));
    EXPECT_EQ(header(), (Texts{"Ref <REF>"}));
}

TEST_F(WordTags, TheStoryPassReachesHeaderTextBoxesEvenWhenTheBodyLacksTheTag) {
    open(host::writeSampleTemplate(temp.path() / "samples"));
    replace("<ACCOUNTREF>", "NW-2041", "true");
    EXPECT_EQ(header(), (Texts{"<COMPANY>", "Our ref: NW-2041"}));
}

TEST_F(WordTags, AnEmptySlotOfTheListsChangesNothing) {
    open(makeTemplate(paragraphs({"<A> stays"}), paragraphs({"<A> here too"})));
    replace("", "", "true");
    EXPECT_EQ(body(), (Texts{"<A> stays"}));
    EXPECT_EQ(header(), (Texts{"<A> here too"}));
    EXPECT_TRUE(boxes().empty());
}

}  // namespace
}  // namespace lumora
