#pragma once
// Character-level helpers that member lookup and the script string functions share.

#include <string>
#include <string_view>

namespace lumora::vb {

// Lower case of ASCII letters only: member names and ProgIDs are ASCII.
std::string asciiLower(std::string_view text);
bool asciiEqualsNoCase(std::string_view a, std::string_view b);

}  // namespace lumora::vb
