#include "xml_handles.hpp"

#include <libxml/tree.h>

namespace lumora::xml {

void XmlDocDeleter::operator()(XmlDoc* doc) const noexcept {
    if (doc) xmlFreeDoc(doc);
}

void XmlNodeDeleter::operator()(XmlNode* node) const noexcept {
    if (!node) return;
    if (node->type == XML_ATTRIBUTE_NODE)
        xmlFreeProp(reinterpret_cast<xmlAttrPtr>(node));
    else
        xmlFreeNode(node);
}

void XmlStringDeleter::operator()(unsigned char* text) const noexcept { xmlFree(text); }

}  // namespace lumora::xml
