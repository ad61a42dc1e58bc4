#include "mail_addressing.hpp"

#include "Automation/shared_texts.hpp"
#include "Automation/vb/strings.hpp"
#include "Control/frame/control_messages.hpp"

namespace lumora::control {

std::string RecipientAddress(std::string_view address, std::string_view addressType, std::string_view mailType) {
    if (!address.empty() && address != msg::NullAddress) return std::string(address);
    const bool fax = addressType == msg::FaxAddressType;
    if (mailType == msg::QuoteMailType)
        return std::string(fax ? msg::QuoteFaxPlaceholder : msg::QuoteRecipientPlaceholder);
    return std::string(fax ? msg::ReportFaxPlaceholder : msg::ReportRecipientPlaceholder);
}

std::string MailSubject(std::string_view subject, std::string_view mailType) {
    if (subject.empty()) return std::string();
    const std::string_view start = mailType == msg::QuoteMailType ? msg::QuoteSubjectStart : msg::ReportSubjectStart;
    return std::string(start) + std::string(subject);
}

QuotedOriginal quotedOriginal(const OriginalMessage& original) {
    QuotedOriginal quoted;
    quoted.isHtml = vb::inStr(vb::uCase(original.body), msg::HtmlBodyMarker) > 0;
    const std::string lineBreak(quoted.isHtml ? msg::HtmlLineBreak : text::LineBreak);
    // A plain quote starts one line further down, so the person writes above two line breaks.
    if (!quoted.isHtml) quoted.text = lineBreak;
    quoted.text += lineBreak + std::string(msg::OriginalMessageRule);
    quoted.text += lineBreak + std::string(msg::OriginalFromLabel) + original.from;
    quoted.text += lineBreak + std::string(msg::OriginalSentLabel) + original.sent;
    quoted.text += lineBreak + std::string(msg::OriginalToLabel) + original.to;
    quoted.text += lineBreak + std::string(msg::OriginalSubjectLabel) + original.subject;
    quoted.text += lineBreak + lineBreak + original.body;
    return quoted;
}

}  // namespace lumora::control
