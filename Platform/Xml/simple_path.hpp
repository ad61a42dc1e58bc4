#pragma once
// Location paths of the plain shape that callers use most, such as /record/field[@name='LASTNAME']:
// child element steps, each with at most one attribute-equals-literal predicate. They are
// matched by walking the tree, which selects exactly the nodes XPath selects, without the cost
// of a general evaluation (a record read field by field asks dozens of them).

#include <optional>
#include <string_view>
#include <vector>

#include "xml_handles.hpp"

namespace lumora::xml {

// The nodes such a path selects from `context`, in document order; nullopt for any other
// expression (prefixes, white space, other axes or predicates), which XPath proper evaluates.
std::optional<std::vector<XmlNode*>> selectSimplePath(XmlNode* context, std::string_view expression);

}  // namespace lumora::xml
