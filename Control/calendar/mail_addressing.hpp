#pragma once
// The lines a new e-mail of the control is addressed and titled with: the recipient line (the
// page's address, or a placeholder the person replaces), the subject of a quote or report, and
// the original message quoted in a reply or forward. The quote e-mails of the documents share
// them, so a quote reads the same whichever member sends it.

#include <string>
#include <string_view>

namespace lumora::control {

// The address itself when it is neither empty nor "null"; otherwise the placeholder for the
// mail type ("Quote", compared exactly, or a report) and the address type ("Fax" or e-mail).
std::string RecipientAddress(std::string_view address, std::string_view addressType, std::string_view mailType);

// Empty for an empty subject; otherwise "Quote: " or "Report on: " before it.
std::string MailSubject(std::string_view subject, std::string_view mailType);

// The original message a reply or forward quotes, and where it goes: a body holding "HTML" (any
// case) is quoted with "<br>" line breaks into the HTML body, any other with CR LF into the
// plain body, after two line breaks.
struct QuotedOriginal {
    bool isHtml = false;
    std::string text;
};
struct OriginalMessage {
    std::string from;
    std::string sent;
    std::string to;
    std::string subject;
    std::string body;
};
QuotedOriginal quotedOriginal(const OriginalMessage& original);

}  // namespace lumora::control
