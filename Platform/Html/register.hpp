#pragma once
// Registers the page's HTML document stand-in ("Lumora.HTMLDocument") with the class registry.

#include "Automation/registry.hpp"

namespace lumora::html {

void registerHtmlClasses(Registry& registry);

}  // namespace lumora::html
