#pragma once
// The references an SVG image makes beyond itself, taken out so that a program drawing it
// fetches nothing: what the template cleaner does to every SVG image in a package. Internal
// to the word processor.

#include <optional>
#include <string>
#include <string_view>

namespace lumora::word {

// The image with only references to its own fragments and inline raster images left, as
// UTF-8; an empty image when it cannot be read safely. Nullopt when the bytes are not an SVG
// image, plain or gzip-compressed, as a converter sniffing the content would take them.
std::optional<std::string> cleanedSvg(std::string_view bytes);

// CSS text with every url() that leaves the image replaced by "none"; empty when it holds what
// cannot be judged safely (escapes, @import, image() and src() functions, an unclosed url()).
std::string neutralisedCss(std::string_view css);

// Whether an href or url() may stay: a fragment of the image, or an inline raster image.
bool staysInside(std::string_view reference);

}  // namespace lumora::word
