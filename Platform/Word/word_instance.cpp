#include "word_instance.hpp"

#include <algorithm>

#include "Automation/error.hpp"
#include "Platform/Files/page_path.hpp"
#include "Platform/Xml/http_fetch.hpp"
#include "document_files.hpp"
#include "shown_document.hpp"
#include "word_errors.hpp"

namespace lumora::word {

namespace fs = std::filesystem;

DocxDocument& OpenDocument::document() {
    if (!isOpen()) raise(WordError::DocumentClosed);
    if (!docx) {
        docx = DocxDocument::fromPackage(std::move(*unread), name);
        unread.reset();
    }
    return *docx;
}

void OpenDocument::save(const fs::path& target) {
    if (!isOpen()) raise(WordError::DocumentClosed);
    if (docx)
        docx->save(target);
    else
        unread->writeAtomically(target);
}

WordInstance::~WordInstance() { showChanged(); }

void WordInstance::setVisible(bool visible) {
    m_visible = visible;
    if (visible) showChanged();
}

void WordInstance::showChanged() noexcept {
    if (!m_visible) return;
    for (const DocumentRef& document : m_documents) {
        if (!document->isOpen()) continue;
        const uint64_t edits = document->edits();
        if (document->shownAtEdits == edits) continue;
        // A document that fails to be written is shown with the reason, and not again unchanged.
        document->shownAtEdits = edits;
        showDocument(*document);
    }
}

fs::path WordInstance::resolve(const std::string& pagePath) const {
    const bool bare = pagePath.find_first_of("/\\:") == std::string::npos;
    if (bare && !m_fileOpenDirectory.empty()) return m_fileOpenDirectory / pagePath;
    return files::resolvePagePath(pagePath).local;
}

DocumentRef WordInstance::adopt(std::unique_ptr<DocxDocument> docx, std::string name, fs::path file) {
    auto document = std::make_shared<OpenDocument>();
    document->docx = std::move(docx);
    document->name = std::move(name);
    document->file = std::move(file);
    document->editsAtFile = document->docx->edits();
    m_documents.push_back(document);
    selectStart(document);
    return document;
}

void WordInstance::selectStart(const DocumentRef& document) {
    if (document->docx)
        select(document, document->docx->main(), 0, 0);
    else
        m_selection = Location{document, nullptr, nullptr};
}

DocumentRef WordInstance::add(const std::string& templatePath) {
    std::unique_ptr<DocxDocument> docx;
    if (xml::isWebAddress(templatePath)) {
        // A template on a web server, as a CRM keeps its quote templates beside their HTML tables.
        docx = readWebDocument(templatePath);
    } else {
        const fs::path file = resolve(templatePath);
        checkReadable(file);
        docx = readDocumentFile(file);
    }
    return adopt(std::move(docx), nextNewName(), {});
}

DocumentRef WordInstance::addBlank() { return addMade(blankDocument()); }

DocumentRef WordInstance::addMade(std::unique_ptr<DocxDocument> docx) {
    return adopt(std::move(docx), nextNewName(), {});
}

DocumentRef WordInstance::addMadeUnread(Package package) {
    auto document = std::make_shared<OpenDocument>();
    document->unread = std::make_unique<Package>(std::move(package));
    document->name = nextNewName();
    m_documents.push_back(document);
    selectStart(document);
    return document;
}

DocumentRef WordInstance::open(const std::string& pagePath) {
    const fs::path file = resolve(pagePath);
    checkReadable(file);
    auto docx = readDocumentFile(file);
    // A converted legacy file has no package of its own to show as it is.
    const bool isPackage = isPackageFile(file);
    return adopt(std::move(docx), file.filename().string(), isPackage ? file : fs::path());
}

std::string WordInstance::nextNewName() { return "Document" + std::to_string(++m_documentsMade); }

void WordInstance::close(const DocumentRef& document) {
    document->closed = true;
    document->unread.reset();  // nothing can reach into an unread document, so its bytes go now
    std::erase(m_documents, document);
    if (m_selection.document == document) {
        m_selection = Location{};
        if (!m_documents.empty()) selectStart(m_documents.back());
    }
}

void WordInstance::quit() {
    for (const DocumentRef& document : m_documents) {
        document->closed = true;
        document->unread.reset();
    }
    m_documents.clear();
    m_selection = Location{};
    m_visible = false;
}

const DocumentRef& WordInstance::activeDocument() const {
    if (!m_selection.document || m_selection.document->closed) raise(WordError::NoDocumentOpen);
    return m_selection.document;
}

Location& WordInstance::selection() {
    const DocumentRef document = activeDocument();
    if (!m_selection.story) select(document, document->document().main(), 0, 0);
    return m_selection;
}

void WordInstance::select(const DocumentRef& document, Story& story, int32_t start, int32_t end) {
    m_selection = Location{document, &story, story.track(start, end)};
}

void WordInstance::changeFileOpenDirectory(const std::string& pagePath) {
    const fs::path folder = files::resolvePagePath(pagePath).local;
    std::error_code error;
    if (!fs::is_directory(folder, error)) raise(RuntimeError::PathNotFound);
    m_fileOpenDirectory = folder;
}

}  // namespace lumora::word
