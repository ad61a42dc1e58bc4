// Saving and mailing a finished letter through Word's SaveAs/ExportAsFixedFormat and a new
// Outlook mail item.

#include "letter_output.hpp"

#include "Automation/class_ids.hpp"
#include "Automation/vb/convert.hpp"
#include "Automation/vb/strings.hpp"
#include "Control/documents/html_mail_body.hpp"
#include "Control/frame/control_messages.hpp"
#include "Control/frame/failure_forms.hpp"
#include "Control/frame/outside_apps.hpp"
#include "Control/frame/private_operations.hpp"
#include "Platform/Desktop/desktop.hpp"
#include "Platform/Word/script_constants.hpp"

namespace lumora::control {

namespace {

constexpr int32_t kPdfFormat = word::kExportPdf;
constexpr int32_t kHtmlFormat = word::kFormatHtml;
constexpr int32_t kDoNotSaveChanges = 0;

// A name part for the HTML file: the last five characters of the current date and time as text,
// with the time's colons made file-name safe ("05_09" at 14:05:09).
std::string htmlFileStamp() {
    const std::string now = vb::defaultDateText(desktop::current().now());
    return vb::replace(vb::right(now, 5), ":", "_");
}

// Word's work is done once the letter is in the file: it is closed without saving.
void closeWord(Object& word, Object& document) {
    document.call("Close");
    word.call("Quit", kDoNotSaveChanges);
    document.release();
    word.release();
}

}  // namespace

bool ExportToPdf(const Object& document, const std::string& path) {
    if (!tryLocal([&] {
            document.call("ExportAsFixedFormat", Named{"OutputFileName", path}, Named{"ExportFormat", kPdfFormat});
        }))
        return true;
    tell(msg::PdfExportUnavailable, Icon::Information, Title::lumora());
    return false;
}

bool namesPdf(const std::string& path) { return vb::lCase(vb::right(path, 3)) == msg::PdfExtension; }

void saveLetter(const Object& document, const std::string& savePath, LetterStage& stage) {
    if (savePath.empty()) return;
    if (namesPdf(savePath)) {
        if (ExportToPdf(document, savePath)) return;
        stage = LetterStage::Saving;
        document.call("SaveAs", savePath);
        return;
    }
    stage = LetterStage::Saving;
    document.call("SaveAs", savePath);
}

void saveAsWebPage(const Object& document, const std::string& path) {
    document.call("SaveAs", Named{"FileName", path}, Named{"FileFormat", kHtmlFormat});
}

void mailLetter(ControlState& state, Object& word, Object& document, const LetterMail& mail, StepText& step) {
    step = step::InstantiatingOutlook;
    reachOutlook(state.outlook, OutlookWay::Create);
    state.outlook.MailItem = state.outlook.OutlookApp.call("CreateItem", kMailItem).toObject();
    state.outlook.MailItem.getObject("Recipients").call("Add", mail.address);
    state.outlook.MailItem.put("Subject", mail.subject);

    std::string path;
    if (mail.mode != msg::HtmlMailMode) {
        path = mail.tempFolder + std::string(msg::LetterAttachmentName);
        document.call("SaveAs", path);
        closeWord(word, document);
        step = step::AddingAttachments;
        state.outlook.MailItem.getObject("Attachments").call("Add", path);
    } else {
        step = step::GeneratingHtmlFile;
        path = mail.tempFolder + std::string(msg::LetterHtmlPrefix) + htmlFileStamp() +
               std::string(msg::HtmFileSuffix);
        saveAsWebPage(document, path);
        closeWord(word, document);
        setHtmlMailBody(state.outlook.MailItem, path);
    }

    step = step::DisplayingOutlook;
    state.outlook.MailItem.call("display");
    cleanUpOutlook(state);
    deleteFileForced(path);
    if (mail.mode == msg::HtmlMailMode) deletePictureFolder(path);
}

}  // namespace lumora::control
