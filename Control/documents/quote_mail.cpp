// The quote's mail file and copy, through Word's SaveAs and the PDF export letters use.

#include "quote_mail.hpp"

#include "Automation/vb/strings.hpp"
#include "Control/frame/control_messages.hpp"
#include "Control/frame/failure_forms.hpp"
#include "html_mail_body.hpp"
#include "letter_output.hpp"

namespace lumora::control {

QuoteMailForm quoteMailFormOf(std::string_view format) {
    const std::string lowered = vb::lCase(format);
    if (lowered == msg::QuoteFormatAttach) return QuoteMailForm::Attached;
    if (lowered == msg::QuoteFormatAttachHtml) return QuoteMailForm::AttachedWebPage;
    if (lowered == msg::QuoteFormatAttachPdf) return QuoteMailForm::AttachedPdf;
    return QuoteMailForm::HtmlBody;
}

std::string writeQuoteFile(const Object& document, QuoteMailForm form, const std::string& pathWithoutExtension) {
    switch (form) {
        case QuoteMailForm::Attached: {
            const std::string path = pathWithoutExtension + std::string(msg::DocFileSuffix);
            document.call("SaveAs", path);
            return path;
        }
        case QuoteMailForm::AttachedPdf: {
            std::string path = pathWithoutExtension + std::string(msg::PdfFileSuffix);
            if (ExportToPdf(document, path)) return path;
            tell(msg::QuotePdfWrittenAsDoc, Icon::Information);
            path = vb::left(path, vb::len(path) - 4) + std::string(msg::DocFileSuffix);
            document.call("SaveAs", path);
            return path;
        }
        case QuoteMailForm::AttachedWebPage:
        case QuoteMailForm::HtmlBody:
            break;
    }
    const std::string path = pathWithoutExtension + std::string(msg::HtmFileSuffix);
    saveAsWebPage(document, path);
    return path;
}

void putQuoteInMail(const Object& mail, QuoteMailForm form, const std::string& path) {
    if (form == QuoteMailForm::HtmlBody)
        setHtmlMailBody(mail, path);
    else
        mail.getObject("Attachments").call("Add", path);
}

void saveQuoteCopy(const Object& document, const std::string& savePath) {
    if (savePath.empty()) return;
    if (!namesPdf(savePath)) {
        document.call("SaveAs", savePath);
        return;
    }
    if (!ExportToPdf(document, savePath)) tell(msg::QuotePdfSaveUnavailable, Icon::Exclamation, Title::lumora());
}

}  // namespace lumora::control
