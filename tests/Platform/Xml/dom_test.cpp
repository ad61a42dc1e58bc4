// The document object model as the controls use it: loading record documents, walking
// children and attributes, building documents node by node, and node identity and lifetime.

#include <gtest/gtest.h>

#include "Platform/Files/drive_map.hpp"
#include "xml_test_support.hpp"

namespace lumora::xml::test {
namespace {

const char* kRecord = R"(<?xml version="1.0"?>
<record>
  <field name="COMPANY" templatetag="[label]" label="Company Name"/>
  <field name="TOTAL" templatetag="total" label="Total"/>
  <Data>
    <entry fieldname="COMPANY" value="Acme &amp; Sons" displayvalue=""/>
    <entry fieldname="TOTAL" value="Â£12.50"/>
  </Data>
</record>)";

TEST(DomLoading, WhitespaceBetweenElementsIsNotCountedAsChildren) {
    Object doc = loaded(kRecord);
    Object record = doc.getObject("documentElement");
    EXPECT_EQ(record.get("nodeName").toString(), "record");
    Object children = record.getObject("childNodes");
    EXPECT_EQ(children.get("length").toI4(), 3);
    EXPECT_EQ(children.call("item", 0).toObject().get("nodeName").toString(), "field");
    EXPECT_EQ(children.call("item", 2).toObject().get("nodeName").toString(), "Data");
    EXPECT_TRUE(children.call("item", 3).toObject().isNothing());
    EXPECT_EQ(children.elements().size(), 3u);
}

TEST(DomLoading, PreservedWhitespaceKeepsTheBlankTextNodes) {
    Object doc = newDocument();
    doc.put("preserveWhiteSpace", true);
    ASSERT_TRUE(doc.call("loadXML", std::string(kRecord)).toBool());
    Object record = doc.getObject("documentElement");
    EXPECT_EQ(record.getObject("childNodes").get("length").toI4(), 7);
    EXPECT_EQ(record.getObject("firstChild").get("nodeType").toI4(), 3);
}

TEST(DomLoading, XmlSpacePreserveKeepsBlankTextEvenWhenWhitespaceIsDropped) {
    Object doc = loaded(R"(<a><b xml:space="preserve">  </b><c>  </c></a>)");
    EXPECT_TRUE(doc.call("selectSingleNode", "/a/b").toObject().call("hasChildNodes").toBool());
    EXPECT_FALSE(doc.call("selectSingleNode", "/a/c").toObject().call("hasChildNodes").toBool());
}

TEST(DomLoading, TextJoinsDescendantTextAndTrimsTheEnds) {
    Object doc = loaded("<p>  Hello <b>big</b> world  </p>");
    Object p = doc.getObject("documentElement");
    EXPECT_EQ(p.get("text").toString(), "Hello big world");
    EXPECT_EQ(p.getObject("firstChild").get("nodeValue").toString(), "  Hello ");
    EXPECT_TRUE(p.get("nodeValue").isNull());
}

TEST(DomLoading, InternalEntitiesAreExpandedIntoText) {
    Object doc = loaded(R"(<!DOCTYPE r [<!ENTITY co "Acme"><!ENTITY full "&co; Ltd">]><r a="&full;">x &full; y</r>)");
    Object r = doc.getObject("documentElement");
    EXPECT_EQ(r.get("text").toString(), "x Acme Ltd y");
    EXPECT_EQ(r.call("getAttribute", "a").toString(), "Acme Ltd");
    EXPECT_EQ(r.getObject("childNodes").get("length").toI4(), 1);
}

TEST(DomLoading, TheDocumentIsCreatedByEveryNameOfItsClass) {
    for (const char* name : {"Msxml2.DOMDocument", "Msxml2.DOMDocument.3.0", "Microsoft.XMLDOM",
                             "{F5078F32-C551-11D3-89B9-0000F81FE221}"}) {
        Object doc = xmlRegistry().createObject(name);
        EXPECT_TRUE(doc.call("loadXML", "<a/>").toBool()) << name;
    }
}

TEST(DomLoading, XmlGivesTheDeclarationOnlyWhenTheSourceHadOne) {
    EXPECT_EQ(loaded("<a x=\"1\"><b/></a>").get("xml").toString(), "<a x=\"1\"><b/></a>\r\n");
    EXPECT_EQ(loaded("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>é</a>").get("xml").toString(),
              "<?xml version=\"1.0\"?>\r\n<a>é</a>\r\n");
}

TEST(DomAttributes, AbsentAttributeIsNullAndPresentOneIsItsTextUnchanged) {
    Object doc = loaded(kRecord);
    Object entry = doc.call("selectSingleNode", "/record/Data/entry[@fieldname='TOTAL']").toObject();
    EXPECT_TRUE(entry.call("getAttribute", "displayvalue").isNull());
    EXPECT_EQ(entry.call("getAttribute", "value").toString(), "Â£12.50");
    Object company = doc.call("selectSingleNode", "/record/Data/entry").toObject();
    EXPECT_EQ(company.call("getAttribute", "value").toString(), "Acme & Sons");
    EXPECT_EQ(company.call("getAttribute", "displayvalue").toString(), "");
}

TEST(DomAttributes, TheAttributeMapIsWalkedByZeroBasedIndexAndByName) {
    Object field = loaded(kRecord).call("selectSingleNode", "//field").toObject();
    Object attributes = field.getObject("attributes");
    ASSERT_EQ(attributes.get("length").toI4(), 3);
    EXPECT_EQ(attributes.call("item", 0).toObject().get("nodeName").toString(), "name");
    EXPECT_EQ(attributes.call("item", 2).toObject().get("nodeValue").toString(), "Company Name");
    EXPECT_TRUE(attributes.call("item", 3).toObject().isNothing());
    EXPECT_EQ(attributes.call("getNamedItem", "templatetag").toObject().get("text").toString(), "[label]");
    EXPECT_TRUE(attributes.call("getNamedItem", "templatetag2").toObject().isNothing());
}

TEST(DomAttributes, AttributesAreSetReplacedAndRemoved) {
    Object doc = loaded("<a/>");
    Object a = doc.getObject("documentElement");
    Object attr = doc.call("createAttribute", "version").toObject();
    attr.put("nodeValue", "1.0");
    a.getObject("attributes").call("setNamedItem", attr);
    a.call("setAttribute", "x", "<&\">");
    a.call("setAttribute", "version", "2.0");
    EXPECT_EQ(a.get("xml").toString(), "<a version=\"2.0\" x=\"&lt;&amp;&quot;&gt;\"/>");
    EXPECT_TRUE(attr.get("parentNode").toObject().isNothing());
    a.call("removeAttribute", "x");
    Object removed = a.getObject("attributes").call("removeNamedItem", "version").toObject();
    EXPECT_EQ(removed.get("value").toString(), "2.0");
    EXPECT_EQ(a.get("xml").toString(), "<a/>");
    EXPECT_TRUE(a.getObject("attributes").call("removeNamedItem", "none").toObject().isNothing());
}

TEST(DomEditing, ChildrenAreInsertedMovedAndRemovedInPlace) {
    Object doc = loaded("<list><b/><d/></list>");
    Object list = doc.getObject("documentElement");
    Object b = list.getObject("firstChild");
    Object d = list.getObject("lastChild");
    list.call("insertBefore", doc.call("createElement", "c"), d);
    list.call("insertBefore", doc.call("createElement", "a"), b);
    EXPECT_EQ(list.get("xml").toString(), "<list><a/><b/><c/><d/></list>");
    list.call("appendChild", b);  // moving, not copying
    EXPECT_EQ(list.get("xml").toString(), "<list><a/><c/><d/><b/></list>");
    Object removed = list.call("removeChild", d).toObject();
    EXPECT_TRUE(removed.sameAs(d));
    EXPECT_TRUE(d.get("parentNode").toObject().isNothing());
    EXPECT_EQ(list.get("xml").toString(), "<list><a/><c/><b/></list>");
    list.call("replaceChild", d, b);
    EXPECT_EQ(list.get("xml").toString(), "<list><a/><c/><d/></list>");
}

TEST(DomEditing, RefusedInsertionsLeaveTheTreeUnchanged) {
    Object doc = loaded("<a><b><c/></b></a>");
    Object a = doc.getObject("documentElement");
    Object c = doc.call("selectSingleNode", "//c").toObject();
    try {
        c.call("appendChild", a);
        FAIL() << "a node was inserted below its own descendant";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), static_cast<int32_t>(0x80004005u));
    }
    EXPECT_THROW(doc.call("appendChild", doc.call("createElement", "second")), Error);
    EXPECT_THROW(a.call("removeChild", c), Error);
    EXPECT_THROW(doc.call("createComment", "ends -->"), Error);
    EXPECT_EQ(doc.get("xml").toString(), "<a><b><c/></b></a>\r\n");
}

TEST(DomEditing, NodesFromAnotherDocumentAreCopiedIn) {
    Object source = loaded("<s><item n=\"1\">one</item></s>");
    Object target = loaded("<t/>");
    Object item = source.call("selectSingleNode", "//item").toObject();
    Object placed = target.getObject("documentElement").call("appendChild", item).toObject();
    EXPECT_EQ(target.get("xml").toString(), "<t><item n=\"1\">one</item></t>\r\n");
    EXPECT_EQ(source.get("xml").toString(), "<s><item n=\"1\">one</item></s>\r\n");
    EXPECT_TRUE(placed.getObject("ownerDocument").sameAs(target));
}

TEST(DomEditing, TextPutReplacesTheChildrenWithOneTextNode) {
    Object doc = loaded("<a><b/>old<c/></a>");
    Object a = doc.getObject("documentElement");
    a.put("text", "fish & chips");
    EXPECT_EQ(a.get("xml").toString(), "<a>fish &amp; chips</a>");
    EXPECT_EQ(a.getObject("childNodes").get("length").toI4(), 1);
}

TEST(DomEditing, CloneNodeCopiesDeepOrShallow) {
    Object doc = loaded("<a k=\"v\"><b>t</b></a>");
    Object a = doc.getObject("documentElement");
    EXPECT_EQ(a.call("cloneNode", true).toObject().get("xml").toString(), "<a k=\"v\"><b>t</b></a>");
    Object shallow = a.call("cloneNode", false).toObject();
    EXPECT_EQ(shallow.get("xml").toString(), "<a k=\"v\"/>");
    EXPECT_TRUE(shallow.get("parentNode").toObject().isNothing());
    EXPECT_EQ(doc.call("cloneNode", true).toObject().get("xml").toString(), doc.get("xml").toString());
}

TEST(DomIdentity, TheSameNodeIsAlwaysTheSameObject) {
    Object doc = loaded("<a><b/></a>");
    Object a = doc.getObject("documentElement");
    EXPECT_TRUE(a.sameAs(doc.getObject("documentElement")));
    Object b = a.getObject("firstChild");
    EXPECT_TRUE(b.getObject("parentNode").sameAs(a));
    EXPECT_TRUE(a.getObject("parentNode").sameAs(doc));
    EXPECT_TRUE(b.getObject("ownerDocument").sameAs(doc));
}

TEST(DomIdentity, ANodeOutlivesItsDocumentObjectAndItsReload) {
    Object kept;
    {
        Object doc = loaded("<a><b>first</b></a>");
        kept = doc.call("selectSingleNode", "//b").toObject();
        doc.call("loadXML", "<other/>");
        EXPECT_EQ(doc.get("xml").toString(), "<other/>\r\n");
    }
    EXPECT_EQ(kept.get("text").toString(), "first");
    kept.put("text", "changed");
    Object owner = kept.getObject("ownerDocument");
    EXPECT_EQ(owner.get("xml").toString(), "<a><b>changed</b></a>\r\n");
}

TEST(DomIdentity, ChildNodesOfADocumentFollowItToTheNextLoad) {
    Object doc = loaded("<!-- one --><first/>");
    Object children = doc.getObject("childNodes");
    EXPECT_EQ(children.call("item", 1).toObject().get("nodeName").toString(), "first");
    doc.call("loadXML", "<!-- two --><second/>");
    EXPECT_EQ(children.call("item", 1).toObject().get("nodeName").toString(), "second");
    EXPECT_EQ(children.call("item", 0).toObject().get("nodeValue").toString(), " two ");
}

TEST(DomIdentity, ARemovedNodeStaysUsableAfterEverythingElseIsDropped) {
    Object b;
    {
        Object doc = loaded("<a><b><c>deep</c></b></a>");
        Object a = doc.getObject("documentElement");
        b = a.call("removeChild", a.getObject("firstChild")).toObject();
        a.put("text", "");
    }
    EXPECT_EQ(b.get("xml").toString(), "<b><c>deep</c></b>");
    b.call("appendChild", b.getObject("ownerDocument").call("createElement", "d"));
    EXPECT_EQ(b.get("xml").toString(), "<b><c>deep</c><d/></b>");
}

TEST(DomSaving, SaveWritesTheDocumentThatLoadReadsBack) {
    TempFolder temp;
    Object doc = loaded("<?xml version=\"1.0\"?><r><v>Zoë</v></r>");
    doc.call("save", (temp.path() / "out.xml").string());
    EXPECT_EQ(readFile(temp.path() / "out.xml"), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<r><v>Zoë</v></r>\r\n");
    Object again = newDocument();
    ASSERT_TRUE(again.call("load", (temp.path() / "out.xml").string()).toBool());
    EXPECT_EQ(again.call("selectSingleNode", "/r/v").toObject().get("text").toString(), "Zoë");
}

TEST(DomSaving, PagePathsWithDriveLettersGoThroughTheDriveTable) {
    TempFolder temp;
    files::DriveMap::instance().set("Q:", temp.path());
    Object doc = loaded("<r>drive</r>");
    doc.call("save", "Q:\\Data\\..\\out.xml");
    EXPECT_EQ(readFile(temp.path() / "out.xml"), "<r>drive</r>\r\n");
    Object again = newDocument();
    EXPECT_TRUE(again.call("load", "q:\\out.xml").toBool());
    EXPECT_FALSE(again.call("load", "Z:\\out.xml").toBool());  // a drive the table does not map
    files::DriveMap::instance().clear("Q:");
}

TEST(DomSaving, SaveIntoAMissingFolderFailsWithoutWritingAnything) {
    TempFolder temp;
    Object doc = loaded("<r/>");
    EXPECT_THROW(doc.call("save", (temp.path() / "missing" / "out.xml").string()), Error);
    EXPECT_TRUE(std::filesystem::is_empty(temp.path()));
}

}  // namespace
}  // namespace lumora::xml::test
