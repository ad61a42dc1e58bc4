#pragma once
// A quote's HTML made into a PDF by the PDF converter's objects and mailed as an attachment: the
// private steps of CreateHTMforPDF, each answering how far it got.

#include <chrono>
#include <cstdint>
#include <string>

#include "Control/frame/control.hpp"

namespace lumora::control {

// What ConvertHtmlToPdf reports to CreateHTMforPDF.
enum class PdfMailStatus : int16_t {
    ConversionFailed = 0,  // the converter failed, or gave no document in time
    Mailed = 1,            // the PDF was made, mailed and its file deleted
    MailNotPrepared = 2,   // the e-mail could not be prepared
    PdfNotDeleted = 3,     // mailed, but the PDF file could not be deleted
    ConverterMissing = 4,  // the converter's objects could not be created
};

// How long the converter may take to present the opened document, and how often it is asked.
// A converter that never does would otherwise hold the page's call for ever.
inline constexpr std::chrono::milliseconds kPdfDocumentWait = std::chrono::seconds(30);
inline constexpr std::chrono::milliseconds kPdfDocumentPoll{20};

// The e-mail the PDF goes out with, as the page described it.
struct PdfMail {
    std::string address;
    std::string subject;
    std::string mailType;
    std::string addressType;
};

// Converts the .htm file to folder + uniqueName + ".pdf", mails it and deletes it. The
// converter's objects are kept in the control while it works and released at the end.
PdfMailStatus ConvertHtmlToPdf(ControlState& state, const std::string& htmFile, const std::string& folder,
                               const std::string& uniqueName, const PdfMail& mail,
                               std::chrono::milliseconds documentWait = kPdfDocumentWait);

// A new e-mail to the page's recipient with the PDF attached, shown to the person. False when
// any step failed.
bool MailPdfAttachment(ControlState& state, const std::string& pdfPath, const PdfMail& mail);

// Deletes the PDF through the file-system object, read-only or not. False when it could not.
bool DeletePdfFile(const std::string& pdfPath);

}  // namespace lumora::control
