#pragma once
// Writing trees out as text: the xml property of nodes and documents, and save.

#include <filesystem>
#include <string>

#include "tree.hpp"
#include "xml_handles.hpp"

namespace lumora::xml {

// The markup of one node (an attribute gives name="value"; text is escaped).
std::string nodeXml(const XmlNode* node);
// The whole document: the declaration when the document had one, then each top-level node
// followed by CR LF.
std::string documentXml(const Tree& tree);
// Writes the document as UTF-8 to path. The file is replaced only once the new content is
// complete, so a failure never leaves half a document behind.
void saveDocument(const Tree& tree, const std::filesystem::path& path);

}  // namespace lumora::xml
