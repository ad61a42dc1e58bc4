#pragma once
// What WordQuoteHtml makes of a finished quote for its e-mail: a file in the temporary folder,
// in the form the page asks for, attached to the mail or made its HTML body; and the copy the
// page may ask to keep under a path of its own.

#include <string>
#include <string_view>

#include "Automation/object.hpp"

namespace lumora::control {

// The mail forms by the page's strFormat, compared in lower case; any other value gives the
// HTML body.
enum class QuoteMailForm { Attached, AttachedWebPage, AttachedPdf, HtmlBody };
QuoteMailForm quoteMailFormOf(std::string_view format);

// Whether the form leaves a web page, with its picture folder beside it, in the temporary folder.
inline bool isWebPage(QuoteMailForm form) {
    return form == QuoteMailForm::AttachedWebPage || form == QuoteMailForm::HtmlBody;
}

// Writes the quote for its form as `pathWithoutExtension` plus the form's extension and returns
// the file's path: Word's format (".doc"), a web page (".htm") or a PDF (".pdf"). A PDF that
// cannot be made is saved in Word's format under ".doc" instead, after the user is told.
std::string writeQuoteFile(const Object& document, QuoteMailForm form, const std::string& pathWithoutExtension);

// Attaches the file to the mail, or makes it the mail's HTML body with its pictures shown in place.
void putQuoteInMail(const Object& mail, QuoteMailForm form, const std::string& path);

// Keeps a copy under the page's path when one is given: a path ending in "pdf" (any capitals)
// as a PDF, which is left out after telling the user when it cannot be made; any other in
// Word's format.
void saveQuoteCopy(const Object& document, const std::string& savePath);

}  // namespace lumora::control
