#pragma once
// The HTML body of a mail as its draft carries it. The body goes out as UTF-8, so an encoding
// the markup declares for itself (<meta charset>, or http-equiv Content-Type) must say so too:
// a reader that trusts the markup over the part's header would otherwise show "Zoë" as "ZoÃ«".

#include <string>
#include <string_view>

namespace lumora::pim {

// The body as UTF-8 text (bytes that are no UTF-8 read as Windows-1252, as a browser reads an
// undeclared page), with every encoding declaration in its markup saying UTF-8. Markup without
// a declaration gains none: the part's header speaks for it. Markup too large or too deeply
// nested to read is left as it is.
std::string htmlBodyAsUtf8(std::string_view html);

// Whether the body refers to "cid:" and the content id (RFC 2392), in an attribute or a style
// sheet alike; the scheme in any case, the id exactly.
bool refersToContentId(std::string_view html, std::string_view contentId);

}  // namespace lumora::pim
