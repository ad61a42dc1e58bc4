#pragma once
// Base64 (RFC 4648, section 4), the form the browser's debugging protocol carries bytes in.

#include <optional>
#include <string>
#include <string_view>

namespace lumora::pdf {

std::string base64Encode(std::string_view bytes);
// nullopt for text that is not base64 (a character outside the alphabet, a bad length).
std::optional<std::string> base64Decode(std::string_view text);

}  // namespace lumora::pdf
