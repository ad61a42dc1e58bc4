#pragma once
// selectNodes and selectSingleNode: XPath 1.0 from a context node, with the prefixes of the
// document's SelectionNamespaces property, within an evaluation budget.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "xml_handles.hpp"

namespace lumora::xml {

using NamespaceList = std::vector<std::pair<std::string, std::string>>;  // prefix, URI

// The nodes the expression selects, in document order; errors for an invalid expression, one
// that does not yield nodes, or one that is too costly.
std::vector<XmlNode*> selectNodes(XmlNode* context, std::string_view expression, const NamespaceList& namespaces);
// The first of them, or nullptr.
XmlNode* selectSingleNode(XmlNode* context, std::string_view expression, const NamespaceList& namespaces);

// Reads a SelectionNamespaces value: xmlns:a='uri' xmlns:b="uri" ... (error for other text).
NamespaceList parseSelectionNamespaces(std::string_view text);

}  // namespace lumora::xml
