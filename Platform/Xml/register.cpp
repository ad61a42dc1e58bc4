#include "register.hpp"

#include "Automation/class_ids.hpp"
#include "document.hpp"
#include "http_request.hpp"
#include "library_setup.hpp"

namespace lumora::xml {

Object createXmlDocument() { return DocumentObject::create(); }

void registerXmlClasses(Registry& registry) {
    ensureXmlLibraries();
    auto createRequest = [] { return makeObject<HttpRequestObject>(); };
    registry.registerBuiltin(ClassInfo{std::string(progid::XmlDocument), std::string(clsid::XmlDocument),
                                       {std::string(progid::XmlDocument30), std::string(progid::XmlDocumentLegacy)},
                                       createXmlDocument, false});
    registry.registerBuiltin(ClassInfo{std::string(progid::HttpRequest), "", {std::string(progid::HttpRequestUnversioned)},
                                       createRequest, false});
    registry.registerBuiltin(ClassInfo{std::string(progid::HttpRequestLegacy), "", {}, createRequest, false});
}

}  // namespace lumora::xml
