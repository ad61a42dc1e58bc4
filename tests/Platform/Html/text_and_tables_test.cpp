#include <gtest/gtest.h>

#include "Platform/Html/html_objects.hpp"
#include "html_fixture.hpp"

using namespace lumora;
using namespace lumora::html;
using namespace lumora::html::tests;

namespace {

// The quote table as the CRM page writes it: rows straight in the table, spaced for reading.
const char* const kQuotePage = R"(<table id="QuoteTable">
  <tr> <th>Product</th> <th> Unit
       price </th> </tr>
  <!-- lines -->
  <tr> <td>Widget</td> <td>£ 5.00</td> </tr>
  <tr> <td>Gadget <b>XL</b></td> <td>7</td> </tr>
</table>)";

}  // namespace

TEST(RenderedText, WhiteSpaceCollapsesAndBlocksBreakLines) {
    Object document = pageDocument(
        "<div id=d>  Dear\n\n   Sir,<p>first  <b>bold</b>  para</p><p>second</p>end<br>after<br><br>gap"
        "<script>var x = 1;</script><span style='display: none'>hidden</span><input value=v></div>");
    EXPECT_EQ(byId(document, "d").get("innerText").toString(), "Dear Sir,\n\nfirst bold para\n\nsecond\n\nend\nafter\n\ngap");
}

TEST(RenderedText, TablesSeparateCellsByTabsAndRowsByLines) {
    Object document = pageDocument(kQuotePage);
    EXPECT_EQ(byId(document, "QuoteTable").get("innerText").toString(),
              "Product\tUnit price\nWidget\t£ 5.00\nGadget XL\t7");
}

TEST(RenderedText, PreformattedTextKeepsItsSpacing) {
    Object document = pageDocument("<pre id=p>a   b\n  c</pre>");
    EXPECT_EQ(byId(document, "p").get("innerText").toString(), "a   b\n  c");
}

TEST(Markup, InnerAndOuterHtmlSerialiseAsBrowsersDo) {
    Object document = pageDocument("<p id=p class='a\"b'>x &lt; y &amp; z<br>&nbsp;<!--c--></p>");
    Object paragraph = byId(document, "p");
    EXPECT_EQ(paragraph.get("innerHTML").toString(), "x &lt; y &amp; z<br>&nbsp;<!--c-->");
    EXPECT_EQ(paragraph.get("outerHTML").toString(),
              "<p id=\"p\" class=\"a&quot;b\">x &lt; y &amp; z<br>&nbsp;<!--c--></p>");
    paragraph.call("setAttribute", "Title", "t");
    EXPECT_EQ(paragraph.call("getAttribute", "title").toString(), "t");
    EXPECT_TRUE(paragraph.call("getAttribute", "missing").isNull());
}

TEST(Tables, RowsWrittenInATableSitInItsImpliedBody) {
    Object document = pageDocument(kQuotePage);
    Object table = byId(document, "QuoteTable");
    // The table's first child element, reached by the children collection's dispatch id.
    std::vector<Variant> none;
    Object children = table.invoke(kDispIdChildren, MemberKind::PropertyGet, none).toObject();
    Object body = children.item(0);
    EXPECT_EQ(body.get("tagName").toString(), "TBODY");
    EXPECT_TRUE(body.sameAs(table.getObject("tBodies").item(0)));
    // Whitespace between the tags makes no nodes; the comment is one.
    Object rows = body.getObject("childNodes");
    EXPECT_EQ(rows.get("length").toI4(), 4);
    EXPECT_EQ(rows.item(1).get("nodeType").toI4(), 8);
    Object firstRow = rows.item(0);
    EXPECT_EQ(firstRow.getObject("childNodes").get("length").toI4(), 2);
    EXPECT_EQ(firstRow.getObject("childNodes").item(1).get("innerText").toString(), "Unit price");
    EXPECT_EQ(rows.item(3).getObject("childNodes").item(0).get("innerText").toString(), "Gadget XL");
}

TEST(Tables, RowsAndCellsListAsInABrowser) {
    Object document = pageDocument(
        "<table id=t><tfoot><tr id=f><td>total</td></tr></tfoot><tbody><tr><td>1</td><td id=c>2</td></tr></tbody>"
        "<thead><tr><th>h</th></tr></thead></table>");
    Object table = byId(document, "t");
    Object rows = table.getObject("rows");
    ASSERT_EQ(rows.get("length").toI4(), 3);
    EXPECT_EQ(rows.item(0).get("innerText").toString(), "h");
    EXPECT_EQ(rows.item(2).get("innerText").toString(), "total");
    EXPECT_EQ(byId(document, "f").get("rowIndex").toI4(), 2);
    EXPECT_EQ(rows.item(1).getObject("cells").get("length").toI4(), 2);
    EXPECT_EQ(byId(document, "c").get("cellIndex").toI4(), 1);
    EXPECT_EQ(table.getObject("tHead").get("tagName").toString(), "THEAD");
    int walked = 0;
    for (const Variant& row : rows.elements()) walked += row.toObject().get("tagName").toString() == "TR";
    EXPECT_EQ(walked, 3);
}

TEST(Tables, ChildNodesDropWhitespaceTextButKeepRealText) {
    Object document = pageDocument("<div id=d>\n  <span>a</span>\n  text\n  <span>b</span>\n</div>");
    Object nodes = byId(document, "d").getObject("childNodes");
    ASSERT_EQ(nodes.get("length").toI4(), 3);
    EXPECT_EQ(nodes.item(1).get("nodeName").toString(), "#text");
    EXPECT_EQ(nodes.item(1).get("nodeValue").toString(), "\n  text\n  ");
    EXPECT_EQ(byId(document, "d").getObject("firstChild").get("tagName").toString(), "SPAN");
    EXPECT_AUTOMATION_ERROR(nodes.item(1).get("innerText"), 438);
}
