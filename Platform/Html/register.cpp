#include "register.hpp"

#include "html_document.hpp"

namespace lumora::html {

void registerHtmlClasses(Registry& registry) {
    registry.registerBuiltin(ClassInfo{kHtmlDocumentProgId, {}, {}, [] { return makeObject<HtmlDocument>(); }, false});
}

}  // namespace lumora::html
