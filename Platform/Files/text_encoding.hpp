#pragma once
// The two text formats of a text stream. "ANSI" text is taken byte for byte: UTF-8 comes back
// as written and other bytes pass through untouched, so a file read and written again keeps
// every byte. "Unicode" text is UTF-16 little-endian with a byte-order mark, as the page's
// system writes it; it is decoded to UTF-8 and back.

#include <string>
#include <string_view>

namespace lumora::files {

enum class TextFormat { Ansi, Unicode };

inline constexpr std::string_view kUtf16LeBom = "\xFF\xFE";

// UTF-8 to UTF-16LE; ill-formed bytes become U+FFFD.
std::string toUtf16Le(std::string_view utf8);

// Decodes UTF-16LE that arrives in pieces: a unit or surrogate pair split between two pieces
// is completed by the next one. Unpaired surrogates become U+FFFD.
class Utf16LeDecoder {
public:
    void decode(std::string_view bytes, std::string& out);
    // The end of the input: a half unit or a lone high surrogate left over becomes U+FFFD.
    void finish(std::string& out);

private:
    void unit(char16_t value, std::string& out);
    std::string m_pendingByte;
    char16_t m_highSurrogate = 0;
};

}  // namespace lumora::files
