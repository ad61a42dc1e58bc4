#pragma once
// Registers the XML document and HTTP request stand-ins with the class registry:
//   "Msxml2.DOMDocument" (also "Msxml2.DOMDocument.3.0", "Microsoft.XMLDOM" and its class id),
//   "MSXML2.XMLHTTP.3.0" (also "MSXML2.XMLHTTP") and "microsoft.xmlhttp".
// The document object's TypeInfo class name is "DOMDocument"; the host recognises documents by
// it when it encodes values.

#include "Automation/registry.hpp"

namespace lumora::xml {

void registerXmlClasses(Registry& registry);

// A new, empty XML document object (what createObject("Msxml2.DOMDocument") gives).
Object createXmlDocument();

}  // namespace lumora::xml
