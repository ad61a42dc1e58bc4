#pragma once
// Code-point access to UTF-8 text. Every position and length the script functions report counts
// code points; text from pages and files is not always well formed, so a byte that does not
// begin a well-formed sequence reads as one U+FFFD and never stops the walk.

#include <cstddef>
#include <string>
#include <string_view>

namespace lumora::vb::utf8 {

inline constexpr char32_t kReplacement = 0xFFFD;

// The code point at `offset`, advancing `offset` past it. An ill-formed byte reads as U+FFFD
// and advances by one byte. offset must be below text.size().
char32_t next(std::string_view text, size_t& offset);

// Appends the UTF-8 form of c; surrogates and values beyond U+10FFFF append U+FFFD.
void append(std::string& out, char32_t c);

std::u32string decode(std::string_view text);
std::string encode(std::u32string_view codePoints);

// The number of code points.
size_t length(std::string_view text);
// The byte offset after the first `count` code points (text.size() when there are fewer).
size_t offsetOf(std::string_view text, size_t count);

bool isWellFormed(std::string_view text);
// The text with every ill-formed byte replaced by U+FFFD; well-formed text comes back unchanged.
std::string wellFormed(std::string_view text);

}  // namespace lumora::vb::utf8
