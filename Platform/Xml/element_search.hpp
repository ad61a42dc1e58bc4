#pragma once
// getElementsByTagName for documents and elements: descendant elements by qualified name
// ("*" for all), in document order, as a fixed list.

#include <string>

#include "Automation/object.hpp"

namespace lumora::xml {

class DomNode;

Object elementsByTagName(DomNode& root, const std::string& name);

}  // namespace lumora::xml
