#pragma once
// Full Unicode case folding, one code point at a time, shared by the text-comparing string
// functions. Folding is context-free, so folding a text code point by code point gives the same
// result as folding it whole, and each folded code point can be traced to its source.

#include <string>
#include <string_view>

namespace lumora::vb {

// Appends the case folding of c to out ("ß" appends "ss").
void appendFolded(std::u32string& out, char32_t c);
std::u32string folded(std::string_view text);

}  // namespace lumora::vb
