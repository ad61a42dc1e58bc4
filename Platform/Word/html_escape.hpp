#pragma once
// Text as it goes into the web page: escaped for element content and attribute values, and
// path segments percent-encoded for a relative URL (RFC 3986, section 2.1).

#include <string>
#include <string_view>

namespace lumora::word {

// Appends the text with &, <, > and " escaped, fit for content and double-quoted attributes.
void appendEscaped(std::string& out, std::string_view text);
std::string escaped(std::string_view text);

// A path segment with everything but the unreserved characters (letters, digits, "-._~")
// percent-encoded, UTF-8 byte by byte.
std::string percentEncoded(std::string_view segment);

}  // namespace lumora::word
