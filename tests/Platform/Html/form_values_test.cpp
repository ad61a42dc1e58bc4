#include <gtest/gtest.h>

#include "html_fixture.hpp"

using namespace lumora;
using namespace lumora::html::tests;

TEST(FormValues, InputsGiveTheirValueAttributeUntilTypedInto) {
    Object document = pageDocument("<input id=a value='  spaced  '><input id=b><input id=c type=checkbox>");
    EXPECT_EQ(byId(document, "a").get("value").toString(), "  spaced  ");  // unchanged, no trimming
    EXPECT_EQ(byId(document, "b").get("value").toString(), "");
    EXPECT_EQ(byId(document, "c").get("value").toString(), "on");
    Object typed = byId(document, "b");
    typed.put("value", "line one\r\nline two");
    EXPECT_EQ(typed.get("value").toString(), "line oneline two");
    EXPECT_TRUE(typed.call("getAttribute", "value").isNull());
}

TEST(FormValues, ATextareaGivesItsText) {
    Object document = pageDocument("<textarea id=DETAILS>\nFirst line\n  second &amp; last</textarea>");
    Object details = byId(document, "DETAILS");
    // The parser drops the line break right after the start tag, as browsers do.
    EXPECT_EQ(details.get("value").toString(), "First line\n  second & last");
    details.put("value", "changed");
    EXPECT_EQ(details.get("value").toString(), "changed");
    EXPECT_EQ(details.get("innerHTML").toString(), "First line\n  second &amp; last");
}

TEST(FormValues, ASelectGivesTheChosenOptionsValueOrTheFirstOptions) {
    Object document = pageDocument(
        "<select id=SENSITIVITY><option value=0>Normal<option value=2 selected>Private</select>"
        "<select id=none><option>  Plain   text </option><option value=x>X</option></select>"
        "<select id=empty></select>");
    Object sensitivity = byId(document, "SENSITIVITY");
    EXPECT_EQ(sensitivity.get("value").toString(), "2");
    EXPECT_EQ(sensitivity.get("selectedIndex").toI4(), 1);
    EXPECT_EQ(byId(document, "none").get("value").toString(), "Plain text");
    EXPECT_EQ(byId(document, "empty").get("value").toString(), "");
    EXPECT_EQ(byId(document, "empty").get("selectedIndex").toI4(), -1);

    sensitivity.put("value", "0");
    EXPECT_EQ(sensitivity.get("selectedIndex").toI4(), 0);
    EXPECT_FALSE(sensitivity.getObject("options").item(1).get("selected").toBool());
    sensitivity.put("value", "no such value");
    EXPECT_EQ(sensitivity.get("selectedIndex").toI4(), -1);
    EXPECT_EQ(sensitivity.get("value").toString(), "");
}

TEST(FormValues, OptionsAreWalkedThroughTheSelect) {
    Object document = pageDocument("<select id=s><optgroup><option>A<option selected>B</optgroup><option>C</select>");
    Object select = byId(document, "s");
    EXPECT_EQ(select.get("length").toI4(), 3);
    std::vector<std::string> texts;
    for (const Variant& option : select.elements()) texts.push_back(option.toObject().get("text").toString());
    EXPECT_EQ(texts, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(select.getObject("options").item(2).get("index").toI4(), 2);
    select.getObject("options").item(2).put("selected", true);
    EXPECT_EQ(select.get("value").toString(), "C");
}

TEST(FormValues, RadioButtonsOfAGroupTickOneAtATime) {
    Object document = pageDocument(
        "<form><input type=radio name=g id=r1 checked><input type=radio name=g id=r2 checked>"
        "<input type=radio name=other id=r3 checked></form><input type=checkbox id=box>");
    // Of two marked checked, the later one is ticked.
    EXPECT_FALSE(byId(document, "r1").get("checked").toBool());
    EXPECT_TRUE(byId(document, "r2").get("checked").toBool());
    byId(document, "r1").put("checked", true);
    EXPECT_TRUE(byId(document, "r1").get("checked").toBool());
    EXPECT_FALSE(byId(document, "r2").get("checked").toBool());
    EXPECT_TRUE(byId(document, "r3").get("checked").toBool());
    Object box = byId(document, "box");
    EXPECT_FALSE(box.get("checked").toBool());
    box.put("checked", true);
    EXPECT_EQ(box.get("checked"), Variant(true));
    EXPECT_EQ(box.get("type").toString(), "checkbox");
}

TEST(FormValues, ElementsWithoutAValueDoNotSupportIt) {
    Object document = pageDocument("<div id=d value=x>text</div><span id=s>t</span>");
    EXPECT_AUTOMATION_ERROR(byId(document, "d").get("value"), 438);
    EXPECT_AUTOMATION_ERROR(byId(document, "s").get("checked"), 438);
    EXPECT_EQ(byId(document, "d").call("getAttribute", "VALUE").toString(), "x");
}
