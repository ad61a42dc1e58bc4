// XPath selections as the controls write them: absolute and relative paths, attribute
// predicates, prefixes from SelectionNamespaces, and the failures of bad expressions.

#include <gtest/gtest.h>

#include <optional>

#include "xml_test_support.hpp"

namespace lumora::xml::test {
namespace {

const char* kCampaign = R"(<MAIL_CAMPAIGN>
  <rec><Email1Address>a@x.example</Email1Address><Email1Address/></rec>
  <rec><Email1Address>b@x.example</Email1Address></rec>
  <fieldlist><f fieldname="Email1Address" mergeheader="Email"/></fieldlist>
  <listitemname listkey="people"><p/><p/></listitemname>
</MAIL_CAMPAIGN>)";

std::vector<std::string> texts(const Object& list) {
    std::vector<std::string> out;
    for (const Variant& node : list.elements()) out.push_back(node.toObject().get("text").toString());
    return out;
}

TEST(Selection, SelectNodesReturnsMatchesInDocumentOrder) {
    Object doc = loaded(kCampaign);
    Object found = doc.call("selectNodes", "/MAIL_CAMPAIGN/rec/Email1Address").toObject();
    EXPECT_EQ(found.get("length").toI4(), 3);
    EXPECT_EQ(texts(found), (std::vector<std::string>{"a@x.example", "", "b@x.example"}));
    EXPECT_EQ(found.call("item", 2).toObject().get("text").toString(), "b@x.example");
    EXPECT_TRUE(found.call("item", 3).toObject().isNothing());
}

TEST(Selection, PathsAreRelativeToTheNodeTheyAreAskedOn) {
    Object doc = loaded(kCampaign);
    Object root = doc.call("selectSingleNode", "MAIL_CAMPAIGN").toObject();
    EXPECT_TRUE(root.sameAs(doc.getObject("documentElement")));
    Object list = doc.call("selectSingleNode", "MAIL_CAMPAIGN/listitemname[@listkey='people']").toObject();
    EXPECT_EQ(list.getObject("childNodes").get("length").toI4(), 2);
    EXPECT_EQ(root.call("selectSingleNode", "fieldlist/f").toObject().call("getAttribute", "mergeheader").toString(),
              "Email");
    EXPECT_TRUE(root.call("selectSingleNode", "nothing/here").toObject().isNothing());
}

TEST(Selection, SelectedListsStayFixedWhileChildNodesFollowChanges) {
    Object doc = loaded(kCampaign);
    Object root = doc.getObject("documentElement");
    Object recs = root.call("selectNodes", "rec").toObject();
    Object children = root.getObject("childNodes");
    root.call("removeChild", recs.call("item", 0).toObject());
    EXPECT_EQ(recs.get("length").toI4(), 2);
    EXPECT_EQ(children.get("length").toI4(), 3);
    EXPECT_TRUE(recs.call("nextNode").toObject().get("parentNode").toObject().isNothing());
    EXPECT_TRUE(recs.call("nextNode").toObject().getObject("parentNode").sameAs(root));
}

TEST(Selection, PrefixesComeFromSelectionNamespaces) {
    Object doc = loaded(R"(<c:list xmlns:c="urn:crm"><c:item>1</c:item><c:item>2</c:item></c:list>)");
    EXPECT_THROW(doc.call("selectNodes", "//crm:item"), Error);
    doc.call("setProperty", "SelectionLanguage", "XPath");
    doc.call("setProperty", "SelectionNamespaces", "xmlns:crm='urn:crm'");
    EXPECT_EQ(doc.call("getProperty", "SelectionLanguage").toString(), "XPath");
    EXPECT_EQ(texts(doc.call("selectNodes", "//crm:item").toObject()), (std::vector<std::string>{"1", "2"}));
    EXPECT_THROW(doc.call("setProperty", "SelectionNamespaces", "crm=urn"), Error);
    // A selected node's markup declares the namespace it was selected by, even once removed.
    Object item = doc.call("selectSingleNode", "//crm:item").toObject();
    EXPECT_EQ(item.get("xml").toString(), "<c:item xmlns:c=\"urn:crm\">1</c:item>");
    doc.getObject("documentElement").call("removeChild", item);
    EXPECT_EQ(item.get("xml").toString(), "<c:item xmlns:c=\"urn:crm\">1</c:item>");
    EXPECT_THROW(doc.call("setProperty", "NoSuchProperty", 1), Error);
}

TEST(Selection, PlainPathsSelectExactlyWhatXPathSelects) {
    // Plain paths are matched by walking the tree; a leading space sends the same path through
    // the general evaluation, which must agree node for node.
    Object doc = loaded(R"(<!DOCTYPE record [<!ENTITY who "Ann">]>
<record xmlns:c="urn:c"><field name="A" value="1"><sub/></field><!-- A --><field name="A" value="2"/>
<c:field name="A"/><field c:name="A"/><field xmlns="urn:d" name="A"/><field name="&who;"/>
<field name="it's"/><field name=""/><field name="&#xE9;&#x1F600;"/><other><field name="A"/></other></record>)");
    const std::string paths[] = {
        "/record", "record", "/record/field", "/record/field[@name='A']", "/record/field[@name=\"A\"]/sub",
        "/record/field[@name='Ann']", "/record/field[@name=\"it's\"]", "/record/field[@name='']",
        "/record/field[@name='\xC3\xA9\xF0\x9F\x98\x80']", "field[@value='2']", "other/field", "/record/c:field",
        "/record/field[@c:name='A']", "/record/field[@name='A'][@value='2']", "/record/*", "//field", "/", "/record/",
        "/record/field[@name='A'", "/record/field[@name=A]"};
    for (const Object& from : {doc, doc.getObject("documentElement")})
        for (const std::string& path : paths) {
            auto select = [&](const std::string& expression) -> std::optional<std::vector<Object>> {
                try {
                    std::vector<Object> nodes;
                    for (const Variant& node : from.call("selectNodes", expression).toObject().elements())
                        nodes.push_back(node.toObject());
                    return nodes;
                } catch (const Error&) {
                    return std::nullopt;
                }
            };
            const auto plain = select(path), general = select(" " + path);
            ASSERT_EQ(plain.has_value(), general.has_value()) << path;
            if (!plain) continue;
            ASSERT_EQ(plain->size(), general->size()) << path;
            for (size_t i = 0; i < plain->size(); ++i) EXPECT_TRUE((*plain)[i].sameAs((*general)[i])) << path;
        }
}

TEST(Selection, NoSelectionInheritsAnotherOnesPrefixesOrSpentBudget) {
    Object prefixed = loaded(R"(<c:list xmlns:c="urn:crm"><c:item>1</c:item></c:list>)");
    prefixed.call("setProperty", "SelectionNamespaces", "xmlns:crm='urn:crm'");
    Object plain = loaded(R"(<c:list xmlns:c="urn:crm"><c:item>2</c:item></c:list>)");
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(texts(prefixed.call("selectNodes", "//crm:item").toObject()), std::vector<std::string>{"1"});
        EXPECT_THROW(plain.call("selectNodes", "//crm:item"), Error);
    }
    std::string many = "<r>";
    for (int i = 0; i < 20000; ++i) many += "<i/>";
    Object large = loaded(many + "</r>");
    EXPECT_THROW(large.call("selectNodes", "//i[count(//i[count(//i) > 0]) > 0]"), Error);
    // The stopped selection's operations are not charged to the next ones.
    EXPECT_EQ(large.call("selectNodes", "/r/i[position() <= 100]").toObject().get("length").toI4(), 100);
}

TEST(Selection, ANameWithAQuoteBreaksTheExpressionWithAnError) {
    // A field name is pasted into the path unescaped; a quote in it must end in an error the
    // caller can trap, not in a crash or a wrong match.
    Object doc = loaded(R"(<record><field name="O'BRIEN" value="x"/></record>)");
    try {
        doc.call("selectSingleNode", "/record/field[@name='O'BRIEN']");
        FAIL() << "the broken expression was accepted";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), static_cast<int32_t>(0x80004005u));
        EXPECT_NE(e.description().find("/record/field[@name='O'BRIEN']"), std::string::npos);
    }
}

TEST(Selection, AnExpressionThatGivesNoNodesIsRefused) {
    Object doc = loaded(kCampaign);
    try {
        doc.call("selectNodes", "count(//rec)");
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.description(), "Expression does not return a DOM node.");
    }
}

TEST(Selection, GetElementsByTagNameWalksTheWholeSubtree) {
    Object doc = loaded(kCampaign);
    EXPECT_EQ(doc.call("getElementsByTagName", "Email1Address").toObject().get("length").toI4(), 3);
    EXPECT_EQ(doc.call("getElementsByTagName", "*").toObject().get("length").toI4(), 11);
    Object rec = doc.call("selectSingleNode", "//rec").toObject();
    EXPECT_EQ(rec.call("getElementsByTagName", "Email1Address").toObject().get("length").toI4(), 2);
}

}  // namespace
}  // namespace lumora::xml::test
