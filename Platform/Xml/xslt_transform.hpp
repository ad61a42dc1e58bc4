#pragma once
// XSLT 1.0 transformations (transformNode, transformNodeToObject). The stylesheet is taken from
// its markup and parsed as any other untrusted document; the transformation may not read or
// write files, create folders or use the network (document() on a local file, exsl:document,
// xsl:document), and runs within an operation and recursion budget.

#include <string>

#include "xml_handles.hpp"

namespace lumora::xml {

// The result as text, in the form the stylesheet's xsl:output asks for, encoded as UTF-8.
std::string transformToText(XmlNode* source, XmlNode* stylesheet);

}  // namespace lumora::xml
