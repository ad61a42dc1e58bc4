#pragma once
// A letter saved as HTML, made the body of a mail. The page shows its pictures (the letterhead
// logo) from the folder saved beside it, "<name>_files", by relative links that mean nothing
// inside a mail; so each picture goes along as an attachment with a content id of its own, and
// its link becomes "cid:" and that id (RFC 2392), which mail programs show in place.

#include <string>

#include "Automation/object.hpp"

namespace lumora::control {

// The folder beside a saved page that holds its pictures: the page's path without its
// extension, and "_files".
std::string pictureFolderOf(const std::string& htmPath);

// Deletes the picture folder beside a page the control saved for a mail, once the mail holds
// its pictures; any failure is silently ignored.
void deletePictureFolder(const std::string& htmPath);

// Sets the mail item's HTMLBody to the page's text, with every picture it shows from inside its
// picture folder attached (once, however often it is shown) and shown by content id. A link
// that leads anywhere else (out of the folder, an absolute path, a URL, a file that is missing
// or no regular file) stays as written and attaches nothing. Errors: 53 when the page cannot be
// read; those of setting the body.
void setHtmlMailBody(const Object& mailItem, const std::string& htmPath);

}  // namespace lumora::control
