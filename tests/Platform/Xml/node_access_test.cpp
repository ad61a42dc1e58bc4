// Reading a node that is gone (a null node) gives empty answers, never a null dereference.

#include <gtest/gtest.h>

#include "Platform/Xml/node_access.hpp"

using namespace lumora::xml;

TEST(NodeAccess, ANodeThatIsGoneReadsAsNoNode) {
    const XmlNode* gone = nullptr;
    EXPECT_EQ(domType(gone), DomNodeType::None);
    EXPECT_EQ(domTypeString(gone), "");
    EXPECT_EQ(nodeName(gone), "");
    EXPECT_EQ(localName(gone), "");
    EXPECT_EQ(prefixOf(gone), "");
    EXPECT_EQ(namespaceUri(gone), "");
    EXPECT_FALSE(nodeValue(gone).has_value());
    EXPECT_EQ(nodeText(gone, false), "");
    EXPECT_EQ(firstChildOf(gone), nullptr);
    EXPECT_EQ(lastChildOf(gone), nullptr);
    EXPECT_EQ(nextShown(gone), nullptr);
    EXPECT_EQ(previousShown(gone), nullptr);
    EXPECT_EQ(parentOf(gone), nullptr);
    EXPECT_EQ(findAttribute(gone, "id"), nullptr);
    EXPECT_EQ(attributeValue(nullptr), "");
}
