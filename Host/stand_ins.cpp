#include "stand_ins.hpp"

#include "Automation/registry.hpp"

namespace lumora::host {

void registerStandIns() {
    [[maybe_unused]] Registry& registry = Registry::instance();
    // Each stand-in library registers its own classes here, one call per library, e.g.
    //     lumora::xml::registerXmlClasses(registry);
    // and its target is added to lumora_stand_in_libraries in Host/CMakeLists.txt.
}

}  // namespace lumora::host
