#pragma once
// Wildcards in the last component of a path, as the page's system reads them: "*" for any run
// of characters, "?" for one, letters compared without regard to case; "*.*" is every name.

#include <string_view>

namespace lumora::files {

bool hasWildcard(std::string_view name);
bool matchesWildcard(std::string_view name, std::string_view pattern);

}  // namespace lumora::files
