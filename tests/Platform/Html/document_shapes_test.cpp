#include <gtest/gtest.h>

#include <functional>

#include "Platform/Html/html_parser.hpp"
#include "html_fixture.hpp"

using namespace lumora;
using namespace lumora::html;
using namespace lumora::html::tests;

namespace {

size_t depthOf(const Node& node) {
    size_t deepest = 0;
    for (const auto& child : node.children) deepest = std::max(deepest, depthOf(*child));
    return deepest + 1;
}

}  // namespace

TEST(DocumentShapes, ATreeDeeperThanBrowsersBuildIsFlattenedKeepingItsContent) {
    MarkupLimits unbounded{1u << 26, 10'000'000, 100'000, 1'000, SIZE_MAX};
    std::string markup;
    for (int i = 0; i < 3000; ++i) markup += "<span>";
    markup += "deepest";
    std::shared_ptr<Tree> tree = parseDocument(markup, unbounded);
    EXPECT_LE(depthOf(*tree->document), 1025u);
    EXPECT_EQ(tree->document->descendantElements().size(), 3003u);  // html, head, body and the spans
    EXPECT_EQ(tree->document->textContent(), "deepest");
}

TEST(DocumentShapes, ForeignElementsKeepTheirNamesAndHtmlNamesAreUpperCase) {
    Object document = pageDocument("<svg><foreignObject id=f></foreignObject></svg><my-widget id=w></my-widget>");
    EXPECT_EQ(byId(document, "f").get("tagName").toString(), "foreignObject");
    EXPECT_EQ(byId(document, "w").get("tagName").toString(), "MY-WIDGET");
}

TEST(DocumentShapes, AllFindsByIdOrNameAndTagsFilters) {
    Object document = pageDocument("<form><input name=EMAIL1ADDRESS value=a@b.c><select id=s></select></form>");
    Object all = document.getObject("all");
    EXPECT_EQ(all.value("EMAIL1ADDRESS").toObject().get("value").toString(), "a@b.c");
    EXPECT_EQ(all.call("item", "1").toObject().get("tagName").toString(), "HEAD");
    EXPECT_EQ(all.call("tags", "INPUT").toObject().get("length").toI4(), 1);
    EXPECT_TRUE(all.call("namedItem", "nothing").toObject().isNothing());
}

TEST(DocumentShapes, SiblingsAndParentsSkipWhitespaceText) {
    Object document = pageDocument("<ul id=u>\n <li id=a>A</li>\n <li id=b>B</li>\n</ul>");
    Object first = byId(document, "a");
    EXPECT_TRUE(first.getObject("nextSibling").sameAs(byId(document, "b")));
    EXPECT_TRUE(byId(document, "b").getObject("previousSibling").sameAs(first));
    EXPECT_TRUE(byId(document, "b").getObject("nextSibling").isNothing());
    EXPECT_TRUE(byId(document, "u").getObject("lastChild").sameAs(byId(document, "b")));
    EXPECT_TRUE(document.getObject("documentElement").getObject("parentNode").sameAs(document));
}

TEST(DocumentShapes, BooleanAttributesReadAsEmptyTextAndStateStaysApart) {
    Object document = pageDocument("<input type=checkbox id=c checked><select id=m multiple><option>x<option>y</select>");
    Object box = byId(document, "c");
    EXPECT_EQ(box.call("getAttribute", "checked").toString(), "");
    box.put("checked", false);
    EXPECT_TRUE(box.call("hasAttribute", "checked").toBool());
    Object list = byId(document, "m");
    EXPECT_EQ(list.get("type").toString(), "select-multiple");
    EXPECT_EQ(list.get("selectedIndex").toI4(), -1);  // a list box need not show a choice
    list.call("item", 1).toObject().put("selected", true);
    list.call("item", 0).toObject().put("selected", true);
    EXPECT_EQ(list.get("selectedIndex").toI4(), 0);
    EXPECT_TRUE(list.call("item", 1).toObject().get("selected").toBool());
}

TEST(DocumentShapes, HiddenContentAndNonBreakingSpacesInRenderedText) {
    Object document = pageDocument(
        "<div id=d>a&nbsp;&nbsp;b<input type=HIDDEN value=secret><span hidden>no</span><noscript>js</noscript>"
        "<template>t</template> c</div>");
    EXPECT_EQ(byId(document, "d").get("innerText").toString(), "a\xC2\xA0\xC2\xA0" "b c");
}
