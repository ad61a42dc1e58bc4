// New e-mails in Outlook for the user to check and send: quotes and reports as HTML, a quote as
// a PDF attachment, and plain new, reply and forward messages. None is sent by the control: each
// ends in the message window.

#include <cstdint>

#include "Automation/class_ids.hpp"
#include "Automation/vb/strings.hpp"
#include "Control/frame/control_messages.hpp"
#include "Control/frame/failure_forms.hpp"
#include "Control/frame/members.hpp"
#include "Control/frame/outside_apps.hpp"
#include "Control/frame/private_operations.hpp"
#include "Platform/Desktop/desktop.hpp"
#include "mail_addressing.hpp"
#include "pdf_attachment.hpp"

namespace lumora::control {

namespace {


// The Print Screen key and Alt, by virtual-key code.
constexpr int32_t kPrintScreenKey = 44;
constexpr int32_t kAltKey = 18;

// The errors CreateHTMforPDF reports for a conversion that stopped part way.
constexpr int32_t kConversionFailedNumber = kObjectErrorBase + 2;
constexpr int32_t kMailNotPreparedNumber = kObjectErrorBase + 3;
constexpr int32_t kPdfNotDeletedNumber = kObjectErrorBase + 4;

// GenerateEmail's arguments by position.
enum GenerateArgument : size_t { BodyHtml, GenerateAddress, GenerateSubject, GenerateMailType, GenerateAddressType };
// CreateHTMforPDF's arguments by position.
enum PdfArgument : size_t { TheBody, TheUniqueName, PdfAddress, PdfSubject, PdfMailType, PdfAddressType };
// The six strings of the message members, by position.
enum MessageArgument : size_t { StrAddress, StrFrom, StrSent, StrTo, StrSubject, StrBody };

// The screen goes to the clipboard as the message window opens, so the person can paste it in.
// Current systems take one Print Screen press; older ones Alt with Print Screen. The presses
// are the Desktop's to make: it records them where it cannot press keys.
void copyScreenToClipboard(ControlState& state) {
    queryOsVersion(state.osVersion);
    if (state.osVersion.IsNT5OrLater)
        desktop::current().sendKeys({kPrintScreenKey});
    else
        desktop::current().sendKeys({kAltKey, kPrintScreenKey, kPrintScreenKey, kAltKey});
}

void openNewMail(ControlState& state) {
    reachOutlook(state.outlook, OutlookWay::Create);
    openMapiNamespace(state.outlook);
    state.outlook.MailItem = state.outlook.OutlookApp.call("CreateItem", kMailItem).toObject();
}

// The four message members: a new mail that `fill` completes and shows, then True. Any failure
// answers False without a message; Outlook is released either way.
template <class Fill>
Variant showNewMessage(ControlState& state, Fill&& fill) {
    return trapped(
        [&] {
            openNewMail(state);
            fill(state.outlook.MailItem);
            cleanUpOutlook(state);
            return Variant(true);
        },
        [&](const Error&) {
            cleanUpOutlook(state);
            return falseResult();
        });
}

OriginalMessage originalOf(const Params& params) {
    return {params.str(StrFrom), params.str(StrSent), params.str(StrTo), params.str(StrSubject), params.str(StrBody)};
}

// A reply or forward: "RE: " before the subject and the original quoted in the body it suits.
void quoteOriginal(const Object& mail, const Params& params) {
    mail.put("Subject", std::string(msg::ReplySubjectStart) + params.str(StrSubject));
    const QuotedOriginal quoted = quotedOriginal(originalOf(params));
    mail.put(quoted.isHtml ? "HTMLBody" : "body", quoted.text);
}

// Only the characters that separate folders or that no file name may hold are taken out of the
// page's name for the PDF: with them, a name could place the PDF outside the temporary folder.
std::string pdfFileStem(std::string_view uniqueName) {
    static constexpr std::string_view kForbidden = "/\\*?<>:\"";
    std::string stem;
    for (char c : uniqueName)
        if (kForbidden.find(c) == std::string_view::npos && static_cast<unsigned char>(c) >= 0x20) stem += c;
    return stem;
}

void tellConversionFailed(int32_t number) {
    tell(std::string(msg::PdfConversionFailedStart) + std::to_string(number) + std::string(msg::PdfConversionFailedEnd));
}

// The .htm file in the temporary folder: a new temporary file, renamed to the .htm extension
// and holding the body as one line.
std::string writeHtmFile(const Object& files, const std::string& folder, const std::string& prefix,
                         const std::string& body) {
    const std::string tempFile = GetTempFileName(folder, prefix);
    const Object file = files.getObject("GetFile", tempFile);
    const std::string name = file.get("Name").toString();
    file.put("Name", vb::left(name, vb::len(name) - 3) + std::string(msg::HtmExtension));
    const std::string htmFile = vb::left(tempFile, vb::len(tempFile) - 3) + std::string(msg::HtmExtension);
    const Object stream = file.getObject("OpenAsTextStream", kForWriting, kDefaultFormat);
    stream.call("WriteLine", body);
    stream.call("Close");
    return htmFile;
}

}  // namespace

Variant GenerateEmail(LumoraCtrl2005& control, Params& params) {
    ControlState& state = control.state();
    const bool isQuote = params.str(GenerateMailType) == msg::QuoteMailType;
    return trapped(
        [&] {
            copyScreenToClipboard(state);
            openNewMail(state);
            const Object& mail = state.outlook.MailItem;
            params.writeBack(GenerateAddress,
                             Variant(RecipientAddress(params.str(GenerateAddress), params.str(GenerateAddressType),
                                                      params.str(GenerateMailType))));
            mail.getObject("Recipients").call("Add", params.str(GenerateAddress));
            mail.put("Subject", MailSubject(params.str(GenerateSubject), params.str(GenerateMailType)));
            mail.put("HTMLBody", params.str(BodyHtml));
            mail.call("display");
            cleanUpOutlook(state);
            return emptyResult();
        },
        [&](const Error& e) {
            // Outlook missing is explained for what was being sent; anything else as a quote.
            const bool outlookMissing = e.number() == static_cast<int32_t>(RuntimeError::CantCreateObject);
            if (outlookMissing && !isQuote)
                tell(msg::CannotSendReport, Icon::Information, Title::own(msg::CannotSendReportTitle));
            else
                tell(msg::CannotSendQuote, Icon::Information, Title::own(msg::CannotSendQuoteTitle));
            cleanUpOutlook(state);
            return emptyResult();
        });
}

Variant CreateHTMforPDF(LumoraCtrl2005& control, Params& params) {
    ControlState& state = control.state();
    return trapped(
        [&] {
            std::string uniqueName = pdfFileStem(params.str(TheUniqueName));
            const std::string folder = GetTempFolderPath();
            const Object files = createApplication(progid::FileSystem);
            const std::string htmFile = writeHtmFile(files, folder, uniqueName, params.str(TheBody));
            uniqueName = vb::replace(uniqueName, "#", "");

            const PdfMail mail{params.str(PdfAddress), params.str(PdfSubject), params.str(PdfMailType),
                               params.str(PdfAddressType)};
            switch (ConvertHtmlToPdf(state, htmFile, folder, uniqueName, mail)) {
            case PdfMailStatus::Mailed: files.call("DeleteFile", htmFile, true); break;
            case PdfMailStatus::ConversionFailed: tellConversionFailed(kConversionFailedNumber); break;
            case PdfMailStatus::MailNotPrepared: tellConversionFailed(kMailNotPreparedNumber); break;
            case PdfMailStatus::PdfNotDeleted: tellConversionFailed(kPdfNotDeletedNumber); break;
            case PdfMailStatus::ConverterMissing:
                tell(msg::AcrobatNotDetected, Icon::Information, Title::own(msg::AcrobatNotDetectedTitle));
                break;
            }
            return emptyResult();
        },
        [](const Error& e) {
            tellConversionFailed(e.number());
            return emptyResult();
        });
}

Variant SendEmail(LumoraCtrl2005& control, Params& params) {
    return showNewMessage(control.state(), [&](const Object& mail) {
        // The page escapes apostrophes for its own script; the address line takes them plain.
        params.writeBack(StrAddress, Variant(vb::replace(params.str(StrAddress), msg::EscapedApostrophe, msg::Apostrophe)));
        mail.put("To", params.str(StrAddress));
        mail.call("display");
    });
}

Variant SendEmailFull(LumoraCtrl2005& control, Params& params) {
    return showNewMessage(control.state(), [&](const Object& mail) {
        mail.put("To", params.str(StrAddress));
        mail.put("Subject", params.str(StrSubject));
        mail.put("body", params.str(StrBody));
        mail.call("display");
    });
}

Variant SendEmailWithOriginal(LumoraCtrl2005& control, Params& params) {
    return showNewMessage(control.state(), [&](const Object& mail) {
        mail.put("To", params.str(StrAddress));
        quoteOriginal(mail, params);
        mail.call("display");
    });
}

Variant ForwardEmailWithOriginal(LumoraCtrl2005& control, Params& params) {
    return showNewMessage(control.state(), [&](const Object& mail) {
        quoteOriginal(mail, params);
        mail.call("display");
        // A forward is addressed by the person, in the window.
        mail.put("To", "");
    });
}

}  // namespace lumora::control
