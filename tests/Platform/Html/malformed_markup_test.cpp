#include <gtest/gtest.h>

#include <string>

#include "Platform/Html/html_errors.hpp"
#include "html_fixture.hpp"

using namespace lumora;
using namespace lumora::html;
using namespace lumora::html::tests;

namespace {

std::string repeated(const std::string& piece, size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i) out += piece;
    return out;
}

int32_t errorOf(HtmlError error) { return kObjectErrorBase + static_cast<int32_t>(error); }

}  // namespace

TEST(MalformedMarkup, UnclosedTagsAreClosedAsABrowserClosesThem) {
    Object document = pageDocument("<ul id=l><li>one<li>two</ul><p id=a>first<p id=b>second<div id=d>x");
    EXPECT_EQ(byId(document, "l").getObject("children").get("length").toI4(), 2);
    EXPECT_EQ(byId(document, "a").get("innerText").toString(), "first");
    // A div closes the open paragraph rather than nesting in it.
    EXPECT_EQ(byId(document, "d").getObject("parentElement").get("tagName").toString(), "BODY");
}

TEST(MalformedMarkup, MisnestedFormattingIsRepaired) {
    Object document = pageDocument("<p id=p><b>bold <i>both</b> italic</i></p>");
    EXPECT_EQ(byId(document, "p").get("innerHTML").toString(), "<b>bold <i>both</i></b><i> italic</i>");
}

TEST(MalformedMarkup, CellsOutsideATableAreIgnoredAndStrayContentIsMovedOut) {
    Object document = pageDocument("<td id=cell>loose</td><table id=t>stray<tr><td>in</td></tr></table>");
    EXPECT_TRUE(byId(document, "cell").isNothing());
    Object body = document.getObject("body");
    // Text found inside the table but outside a cell is placed before the table.
    EXPECT_EQ(body.get("innerText").toString(), "loosestray\nin");
}

TEST(MalformedMarkup, BadBytesAndEntitiesNeverBreakTheText) {
    Object document = pageDocument(std::string("<p id=p>a\xFF\xFE b &bogus; &#0; &amp</p>"));
    EXPECT_EQ(byId(document, "p").get("innerText").toString(), "a\xEF\xBF\xBD\xEF\xBF\xBD b &bogus; \xEF\xBF\xBD &");
}

TEST(MarkupLimits, AnOversizedDocumentIsRefusedAndTheOldOneKept) {
    Object document = pageDocument("<p id=keep>kept</p>");
    std::string huge(33u << 20, 'x');
    EXPECT_AUTOMATION_ERROR(document.call("write", huge), errorOf(HtmlError::DocumentTooLarge));
    EXPECT_EQ(byId(document, "keep").get("innerText").toString(), "kept");
}

TEST(MarkupLimits, DeepNestingIsRefused) {
    Object document = makeObject<HtmlDocument>();
    EXPECT_AUTOMATION_ERROR(document.call("write", repeated("<div>", 100000)), errorOf(HtmlError::NestedTooDeeply));
    // Self-closing syntax does not close an HTML element, so it nests as deep.
    EXPECT_AUTOMATION_ERROR(document.call("write", repeated("<span/>", 100000)), errorOf(HtmlError::NestedTooDeeply));
    // Distinct formatting elements left open are re-opened in every later paragraph, nesting
    // deeper each time.
    std::string reopened;
    for (int i = 0; i < 2000; ++i) reopened += "<p><b id=" + std::to_string(i) + ">t</p>";
    EXPECT_AUTOMATION_ERROR(document.call("write", reopened), errorOf(HtmlError::NestedTooDeeply));
    // A large document nested moderately deep everywhere costs too much to build.
    EXPECT_AUTOMATION_ERROR(document.call("write", repeated("<div>", 400) + repeated("<i></i>", 100000)),
                            errorOf(HtmlError::TooComplex));
}

TEST(MarkupLimits, NestingABrowserUndoesIsAccepted) {
    Object document = makeObject<HtmlDocument>();
    // Sloppy pages: cells and paragraphs left open, the same bold never closed, stray end tags.
    document.call("write", "<table id=t>" + repeated("<tr><td><font>cell", 5000) + "</table>" +
                               repeated("<p><b>para", 5000) + repeated("<li>item</span>", 5000) +
                               repeated("<svg><path/></svg>", 2000));
    EXPECT_EQ(byId(document, "t").getObject("rows").get("length").toI4(), 5000);
    EXPECT_EQ(document.call("getElementsByTagName", "p").toObject().get("length").toI4(), 5000);
}

TEST(MarkupLimits, TooManyElementsOrAttributesAreRefused) {
    Object document = makeObject<HtmlDocument>();
    EXPECT_AUTOMATION_ERROR(document.call("write", repeated("<br>", 300000)), errorOf(HtmlError::TooManyElements));
    std::string attributes = "<p";
    for (int i = 0; i < 5000; ++i) attributes += " a" + std::to_string(i) + "='>'";
    EXPECT_AUTOMATION_ERROR(document.call("write", attributes + ">"), errorOf(HtmlError::TooManyAttributes));
}

TEST(MarkupLimits, TagsInsideScriptsAndCommentsDoNotCount) {
    Object document = makeObject<HtmlDocument>();
    std::string hidden = repeated("<div>", 100000);
    document.call("write", "<script>" + hidden + "</script><!--" + hidden + "--><textarea id=t>" + hidden + "</textarea>");
    EXPECT_EQ(byId(document, "t").get("value").toString().size(), hidden.size());
}
