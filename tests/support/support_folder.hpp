#pragma once
// Where this folder's helper files (scripts, sipp scenarios) are: the source tree CTest names in
// LUMORA_SOURCE_DIR, or beside this header when a program runs outside CTest.

#include <cstdlib>
#include <filesystem>

namespace lumora::testing {

inline std::filesystem::path testSupportFolder() {
    if (const char* source = std::getenv("LUMORA_SOURCE_DIR"))
        return std::filesystem::path(source) / "tests" / "support";
    return std::filesystem::path(__FILE__).parent_path();
}

}  // namespace lumora::testing
