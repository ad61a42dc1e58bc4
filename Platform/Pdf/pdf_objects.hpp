#pragma once
// The script objects of the PDF converter: the application ("AcroExch.App"), a document view
// ("AcroExch.AVDoc") and the document behind it (a PDDoc, reached through the view or created
// by its own ProgID). Opening a page in a view converts it; the document holds the PDF until it
// is saved. The views open on a thread are the application's documents on that thread, as
// each page's calls run on a thread of their own (open_views.hpp).

#include <filesystem>
#include <memory>
#include <string>

#include "Automation/object.hpp"

namespace lumora::pdf {

// The bytes of a converted or opened document, shared by its view and its documents.
using PdfBytes = std::shared_ptr<const std::string>;

// "AcroExch.App": GetNumAVDocs, GetActiveDoc, GetAVDoc, CloseAllDocs, Exit, Show, Hide.
class PdfApplication : public Dispatch {
public:
    const TypeInfo& typeInfo() const override;
};

// "AcroExch.AVDoc": Open, Close, IsValid, GetPDDoc, GetTitle, BringToFront.
class DocumentView : public Dispatch {
public:
    const TypeInfo& typeInfo() const override;

    // Converts the page (a page path, "\" and drive letters as the Files layer maps them) and
    // counts the view among the thread's open documents. A page that cannot be converted raises
    // (PdfError): a caller that waits for the document to appear is never left waiting.
    bool open(const std::string& pagePath, const Variant& title);
    // Takes the view off the thread's documents; False when it was not open.
    bool close();
    bool isValid() const { return m_pdf != nullptr; }
    Object document() const;
    const std::string& title() const { return m_title; }

private:
    PdfBytes m_pdf;
    std::string m_title;
    std::filesystem::path m_file;
};

// A PDDoc: Create, Save, Close, Open, GetNumPages, GetFileName.
class PdfDocument : public Dispatch {
public:
    PdfDocument() = default;
    PdfDocument(PdfBytes pdf, std::filesystem::path file) : m_pdf(std::move(pdf)), m_file(std::move(file)) {}
    const TypeInfo& typeInfo() const override;

    // Keeps what the document holds; one that holds nothing becomes a blank document.
    bool create();
    // Writes the PDF to the page path whole or not at all; False when there is nothing to save
    // or it cannot be written (any file already there is then left as it was).
    bool save(const std::string& pagePath);
    bool close();
    // Reads an existing PDF; False for a file that is missing or is not a PDF.
    bool open(const std::string& pagePath);
    int32_t pageCount() const;
    std::string fileName() const { return m_file.string(); }

private:
    PdfBytes m_pdf;
    std::filesystem::path m_file;
};

}  // namespace lumora::pdf
