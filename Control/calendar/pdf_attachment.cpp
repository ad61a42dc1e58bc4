#include "pdf_attachment.hpp"

#include <thread>

#include "Automation/cancellation.hpp"
#include "Automation/class_ids.hpp"
#include "Automation/traps.hpp"
#include "Control/frame/control_errors.hpp"
#include "Control/frame/control_messages.hpp"
#include "Control/frame/failure_forms.hpp"
#include "Control/frame/outside_apps.hpp"
#include "Control/frame/private_operations.hpp"
#include "mail_addressing.hpp"

namespace lumora::control {

namespace {

constexpr int32_t kShowDocumentView = 1;
constexpr int32_t kFullSave = 1;
constexpr bool kCloseWithoutSaving = true;

// The converter opens the document in the background: it counts it among its documents once it
// is ready. Waits for that within the bound, or until the page's call is cancelled.
void waitForDocument(const Object& converter, std::chrono::milliseconds documentWait) {
    const auto deadline = std::chrono::steady_clock::now() + documentWait;
    while (converter.call("GetNumAVDocs").toI4() == 0) {
        checkCancelled();
        if (std::chrono::steady_clock::now() >= deadline) raise(pdfDocumentNotPresented());
        std::this_thread::sleep_for(kPdfDocumentPoll);
    }
}

void releaseConverter(AcrobatReferences& acrobat, Object& pdfDocument) {
    pdfDocument.release();
    acrobat.AcroAVDoc.release();
    acrobat.AcroApp.release();
}

}  // namespace

PdfMailStatus ConvertHtmlToPdf(ControlState& state, const std::string& htmFile, const std::string& folder,
                               const std::string& uniqueName, const PdfMail& mail,
                               std::chrono::milliseconds documentWait) {
    AcrobatReferences& acrobat = state.acrobat;
    Object pdfDocument;
    if (tryLocal([&] {
            acrobat.AcroApp = createApplication(progid::AcrobatApp);
            acrobat.AcroAVDoc = createApplication(progid::AcrobatDocView);
        })) {
        releaseConverter(acrobat, pdfDocument);
        return PdfMailStatus::ConverterMissing;
    }

    const std::string pdfPath = folder + uniqueName + std::string(msg::PdfFileSuffix);
    if (tryLocal([&] {
            // A file the converter refuses to open never becomes a document: no wait for it.
            if (!acrobat.AcroAVDoc.call("open", htmFile, kShowDocumentView).toBool()) raise(pdfDocumentNotPresented());
            waitForDocument(acrobat.AcroApp, documentWait);
            const Object activeDocument = acrobat.AcroApp.getObject("GetActiveDoc");
            if (activeDocument.call("isValid").toBool())
                pdfDocument = activeDocument.getObject("GetPDDoc");
            else
                tell(msg::PdfDocumentInvalid);
            pdfDocument.call("Create");
            if (!pdfDocument.call("save", kFullSave, pdfPath).toBool()) tell(msg::PdfNotSaved);
            pdfDocument.call("Close");
            acrobat.AcroAVDoc.call("Close", kCloseWithoutSaving);
            acrobat.AcroApp.call("Exit");
        })) {
        // The opened view is closed, so that the next conversion is not handed this document.
        ResumeNext ignoring;
        ignoring([&] { acrobat.AcroAVDoc.call("Close", kCloseWithoutSaving); });
        releaseConverter(acrobat, pdfDocument);
        return PdfMailStatus::ConversionFailed;
    }
    releaseConverter(acrobat, pdfDocument);

    if (!MailPdfAttachment(state, pdfPath, mail)) return PdfMailStatus::MailNotPrepared;
    return DeletePdfFile(pdfPath) ? PdfMailStatus::Mailed : PdfMailStatus::PdfNotDeleted;
}

bool MailPdfAttachment(ControlState& state, const std::string& pdfPath, const PdfMail& mail) {
    OutlookReferences& outlook = state.outlook;
    return trapped(
        [&] {
            reachOutlook(outlook, OutlookWay::Create);
            openMapiNamespace(outlook);
            outlook.MailItem = outlook.OutlookApp.call("CreateItem", kMailItem).toObject();
            outlook.MailItem.getObject("Recipients").call("Add", RecipientAddress(mail.address, mail.addressType, mail.mailType));
            outlook.MailItem.put("Subject", MailSubject(mail.subject, mail.mailType));
            // The mail takes the file's bytes now, so the PDF can go once the mail is on screen.
            outlook.MailItem.getObject("Attachments").call("Add", pdfPath);
            outlook.MailItem.call("display");
            cleanUpOutlook(state);
            return true;
        },
        [&](const Error&) {
            cleanUpOutlook(state);
            return false;
        });
}

bool DeletePdfFile(const std::string& pdfPath) {
    constexpr bool kForced = true;
    return !tryLocal([&] { createApplication(progid::FileSystem).call("DeleteFile", pdfPath, kForced); });
}

}  // namespace lumora::control
