#pragma once
// A mail item as an Internet message (RFC 5322, MIME): the draft a mail program opens for the
// person to check and send. It is marked "X-Unsent: 1", which mail programs read as a message
// still to be sent, and keeps the Bcc line, which only the sending program may drop.

#include <string>

#include "Automation/variant.hpp"
#include "pim_store.hpp"

namespace lumora::pim {

// The message text, lines ending in CR LF, none longer than 998 characters, every header in
// ASCII. Subject, Body and HTMLBody (both as alternatives when both are set) in UTF-8, To, CC
// and BCC from the recipients (a name that is no address, such as a placeholder for the person
// to replace, stays visible as an empty group), attachments with their bytes (those the HTML
// body shows by content id in place beside it), and `now` as its date.
std::string draftMessage(const ItemRecord& mail, Date now);

}  // namespace lumora::pim
