#pragma once
// A copy of a document's package made safe to hand to a converter that follows what a
// document links to. Templates come from pages and shares, and a converter that renders a
// linked picture embeds whatever the link names (a file of the person's, a page on the
// network) into the PDF the page then receives. The copy keeps everything that is inside the
// package and the hyperlinks a reader clicks; every other way out is taken away:
//
// - in every relationships part, an external relationship other than a hyperlink (a linked
//   picture, OLE object, frame, attached template, subdocument, mail-merge source), and an
//   internal one whose target is not a part of the package (an absolute path, "../" beyond the
//   root, a URL under an internal mode);
// - alternative chunks and subdocuments altogether, since the converter imports their content
//   as a document of its own, links and all;
// - a kept hyperlink relationship named from anything but a hyperlink (a picture's r:link that
//   borrows a hyperlink's id to fetch its target);
// - in every embedded SVG image (plain or gzip-compressed, found by content, as converters
//   find it), references to anything but a fragment of the image itself or an inline raster
//   image: href and xlink:href, CSS url() in attributes and style sheets, @import, foreign
//   objects and scripts, processing instructions and the document type declaration. An SVG
//   that cannot be read safely becomes an empty image.
//
// Relationships and SVG images are read with the hardened parser (no DTD loading, no network,
// size, depth and expansion limits). A relationships part it cannot read is taken out whole.

#include "package.hpp"

namespace lumora::word {

void removeOutsideReferences(Package& package);

}  // namespace lumora::word
