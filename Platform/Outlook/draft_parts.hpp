#pragma once
// The MIME parts of a mail draft, built with GMime: the body's text parts and the attachments.
// Private to the files that write the draft, so no other header sees GMime's C types.

#include <gmime/gmime.h>

#include <string>
#include <string_view>

#include "gobject_handle.hpp"
#include "pim_store.hpp"

namespace lumora::pim {

// A header value on one line: a line break in a subject or a name (a page may send one) would
// otherwise start a header of its own.
std::string oneLine(std::string text);

// A text part ("plain" or "html") in UTF-8: 7bit for ASCII in short lines, else quoted-printable
// or base64, whichever is shorter for the text.
GObjectHandle<GMimeObject> textPart(const char* subtype, std::string_view text);

// Where an attachment is shown: in place in the HTML body, or as a file of its own.
enum class AttachmentPlace { Inline, Attached };

// The attachment's bytes in base64, typed by their content. Its name goes out twice, as mail
// programs write it: RFC 2231 on Content-Disposition for readers that follow the standard, and
// RFC 2047 on Content-Type's "name" for older ones, which know only that form. An inline one
// carries its content id.
GObjectHandle<GMimeObject> attachmentPart(const AttachmentRow& attachment, AttachmentPlace place);

}  // namespace lumora::pim
