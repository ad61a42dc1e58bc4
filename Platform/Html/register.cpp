#include "register.hpp"

#include "Automation/class_ids.hpp"
#include "html_document.hpp"

namespace lumora::html {

void registerHtmlClasses(Registry& registry) {
    registry.registerBuiltin(ClassInfo{std::string(progid::HtmlDocument), {}, {}, [] { return makeObject<HtmlDocument>(); }, false});
}

}  // namespace lumora::html
