#pragma once
// Turning bytes from a server into UTF-8 text by their declared charset.

#include <string>
#include <string_view>

namespace lumora::xml {

// The charset parameter of a Content-Type value ("" when it has none).
std::string charsetOf(std::string_view contentType);
// bytes decoded from charset (a byte-order mark wins; UTF-8 when no charset is known). Bytes in
// an unknown charset are returned unchanged.
std::string decodeText(std::string_view bytes, std::string_view charset);

}  // namespace lumora::xml
