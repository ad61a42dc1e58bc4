#include "stand_ins.hpp"

#include "Automation/registry.hpp"
#include "Platform/Files/register.hpp"
#include "Platform/Html/register.hpp"
#include "Platform/Xml/register.hpp"

namespace lumora::host {

void registerStandIns() {
    Registry& registry = Registry::instance();
    // One call per stand-in library; each library's target is also listed in
    // lumora_stand_in_libraries in Host/CMakeLists.txt.
    lumora::xml::registerXmlClasses(registry);
    lumora::files::registerFileClasses(registry);
    lumora::html::registerHtmlClasses(registry);
}

}  // namespace lumora::host
