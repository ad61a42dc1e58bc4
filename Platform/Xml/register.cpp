#include "register.hpp"

#include "document.hpp"
#include "http_request.hpp"
#include "library_setup.hpp"

namespace lumora::xml {

Object createXmlDocument() { return DocumentObject::create(); }

void registerXmlClasses(Registry& registry) {
    ensureXmlLibraries();
    registry.registerBuiltin(ClassInfo{"Msxml2.DOMDocument", kDomDocumentClassId,
                                       {"Msxml2.DOMDocument.3.0", "Microsoft.XMLDOM"}, createXmlDocument, false});
    registry.registerBuiltin(ClassInfo{"MSXML2.XMLHTTP.3.0", "", {"MSXML2.XMLHTTP"},
                                       [] { return makeObject<HttpRequestObject>(); }, false});
    registry.registerBuiltin(ClassInfo{"microsoft.xmlhttp", "", {}, [] { return makeObject<HttpRequestObject>(); }, false});
}

}  // namespace lumora::xml
