#pragma once
// Where a hyperlink of the document leads, as the web page may say it. A page becomes the
// body of a mail, so a link is kept only when it opens something a reader expects to open
// from a letter: a web page (http, https), a new mail (mailto), a call (tel), or a place in
// the page itself (w:anchor). Anything else (javascript:, data:, file:, a relative path that
// would resolve against wherever the page lands) is written as its plain text.

#include <optional>
#include <string>

#include "part_relationships.hpp"

struct _xmlNode;

namespace lumora::word {

// The href of a w:hyperlink, unescaped; nullopt when it is not to be a link.
std::optional<std::string> hyperlinkHref(const _xmlNode* hyperlink, const PartRelationships& relationships);

// Whether the target is an absolute URL of one of the schemes a letter may link to.
bool isSafeLinkTarget(const std::string& target);

}  // namespace lumora::word
