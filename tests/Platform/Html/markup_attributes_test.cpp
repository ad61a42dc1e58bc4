// Attribute values found where the markup writes them and rewritten in place: what the HTML5
// tree construction takes for elements counts, and every byte not edited stays as written.

#include <gtest/gtest.h>

#include "Platform/Html/markup_attributes.hpp"

using namespace lumora;
using namespace lumora::html;

namespace {

TEST(MarkupAttributes, ValuesAreFoundAsWrittenAndEditedInPlace) {
    const std::string markup =
        "<!-- <img src=\"comment.png\"> --><IMG SRC=logo.png alt='R&amp;D'>"
        "<script>document.write('<img src=\"script.png\">')</script><p hidden title=\"a &quot;b&quot;\">x</p>";
    const std::vector<WrittenElement> elements = elementsWithAttributes(markup);
    ASSERT_EQ(elements.size(), 2u);
    EXPECT_EQ(elements[0].name, "img");
    const WrittenAttribute* src = elements[0].attribute("src");
    ASSERT_NE(src, nullptr);
    EXPECT_EQ(markup.substr(src->valueOffset, src->valueLength), "logo.png");
    EXPECT_EQ(elements[0].attribute("alt")->value, "R&D");
    EXPECT_EQ(elements[1].attribute("hidden")->valueLength, 0u);  // nothing written to edit
    EXPECT_EQ(elements[1].attribute("title")->value, "a \"b\"");
    EXPECT_EQ(elements[1].attribute("class"), nullptr);

    const WrittenAttribute* alt = elements[0].attribute("alt");
    EXPECT_EQ(withAttributeValues(markup, {{alt->valueOffset, alt->valueLength, "Tom & \"Jerry\""},
                                           {src->valueOffset, src->valueLength, "cid:logo@crm"},
                                           {src->valueOffset, src->valueLength, "overlapping"},
                                           {markup.size(), 4, "outside"}}),
              "<!-- <img src=\"comment.png\"> --><IMG SRC=\"cid:logo@crm\" alt=\"Tom &amp; &quot;Jerry&quot;\">"
              "<script>document.write('<img src=\"script.png\">')</script><p hidden title=\"a &quot;b&quot;\">x</p>");
}

}  // namespace
