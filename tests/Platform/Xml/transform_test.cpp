// XSLT transformations: the contact sort stylesheet built node by node, text output, and a
// result placed into another document.

#include <gtest/gtest.h>

#include "xml_test_support.hpp"

namespace lumora::xml::test {
namespace {

Object append(const Object& doc, const Object& parent, const std::string& name) {
    Object element = doc.call("createElement", name).toObject();
    parent.call("appendChild", element);
    return element;
}

void attribute(const Object& doc, const Object& element, const std::string& name, const std::string& value) {
    Object attr = doc.call("createAttribute", name).toObject();
    attr.put("value", value);
    element.getObject("attributes").call("setNamedItem", attr);
}

// The stylesheet the contact import builds: copy the root, its items sorted by Param1.
Object sortStylesheet() {
    Object xsl = newDocument();
    xsl.put("async", false);
    Object sheet = append(xsl, xsl, "xsl:stylesheet");
    attribute(xsl, sheet, "xmlns:xsl", "http://www.w3.org/1999/XSL/Transform");
    attribute(xsl, sheet, "version", "1.0");
    Object root = append(xsl, sheet, "xsl:template");
    attribute(xsl, root, "match", "SORTROOT");
    Object sort = append(xsl, append(xsl, append(xsl, root, "xsl:copy"), "xsl:apply-templates"), "xsl:sort");
    attribute(xsl, sort, "select", "Param1");
    Object any = append(xsl, sheet, "xsl:template");
    attribute(xsl, any, "match", "*");
    append(xsl, append(xsl, any, "xsl:copy"), "xsl:apply-templates");
    return xsl;
}

TEST(Transform, TheContactSortStylesheetSortsItemsByTheirFirstParameter) {
    Object data = newDocument();
    Object sortRoot = append(data, data, "SORTROOT");
    for (auto [name, id] : {std::pair{"Smith, Jo", "3"}, {"Adams, Al", "1"}, {"Jones, Bo", "2"}}) {
        Object item = append(data, sortRoot, "SORTITEM");
        append(data, item, "Param1").put("text", name);
        append(data, item, "Param2").put("text", id);
    }
    // The stylesheet's markup is written to a file and loaded again, as the import does.
    TempFolder temp;
    auto path = temp.write("Lumora.xsl", sortStylesheet().get("xml").toString());
    Object stylesheet = newDocument();
    ASSERT_TRUE(stylesheet.call("load", path.string()).toBool());

    Object result = newDocument();
    data.call("transformNodeToObject", stylesheet, result);
    std::vector<std::string> order;
    for (const Variant& item : result.getObject("documentElement").call("selectNodes", "SORTITEM").toObject().elements())
        order.push_back(item.toObject().call("selectSingleNode", "Param1").toObject().get("text").toString() + "/" +
                        item.toObject().call("selectSingleNode", "Param2").toObject().get("text").toString());
    EXPECT_EQ(order, (std::vector<std::string>{"Adams, Al/1", "Jones, Bo/2", "Smith, Jo/3"}));
}

TEST(Transform, TransformNodeGivesTheOutputTextAsUtf8) {
    Object data = loaded("<r><v>Zoë</v><v>Ann</v></r>");
    Object xsl = loaded(R"(<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
      <xsl:output method="text" encoding="ISO-8859-1"/>
      <xsl:template match="/"><xsl:for-each select="r/v"><xsl:value-of select="."/><xsl:text>;</xsl:text></xsl:for-each></xsl:template>
    </xsl:stylesheet>)");
    EXPECT_EQ(data.call("transformNode", xsl).toString(), "Zoë;Ann;");
}

TEST(Transform, TheTargetDocumentTakesTheResultInPlaceOfItsContent) {
    Object data = loaded("<r><v>1</v></r>");
    Object xsl = loaded(R"(<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
      <xsl:template match="/r"><out n="{count(v)}"><xsl:copy-of select="v"/></out></xsl:template>
    </xsl:stylesheet>)");
    Object target = loaded("<old/>");
    Object oldRoot = target.getObject("documentElement");
    data.call("transformNodeToObject", xsl, target);
    EXPECT_EQ(target.get("xml").toString(), "<?xml version=\"1.0\"?>\r\n<out n=\"1\"><v>1</v></out>\r\n");
    EXPECT_EQ(oldRoot.get("nodeName").toString(), "old");
}

TEST(Transform, AnInvalidStylesheetIsAnErrorAndLeavesTheTargetAlone) {
    Object data = loaded("<r/>");
    Object notXsl = loaded("<just-data/>");
    Object target = loaded("<keep/>");
    EXPECT_THROW(data.call("transformNodeToObject", notXsl, target), Error);
    EXPECT_THROW(data.call("transformNode", data.getObject("documentElement").getObject("firstChild")), Error);
    EXPECT_EQ(target.get("xml").toString(), "<keep/>\r\n");
}

}  // namespace
}  // namespace lumora::xml::test
