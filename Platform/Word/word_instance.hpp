#pragma once
// One running word processor: its open documents (newest last here, newest first to script),
// the selection, the Find settings the selection keeps between searches, and whether the user
// sees it. A visible instance hands its documents to the Desktop: every open document when
// Visible becomes true, and those changed since when the instance ends.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "docx_document.hpp"
#include "find_settings.hpp"

namespace lumora::word {

struct MailMergeSettings;

struct OpenDocument {
    std::unique_ptr<DocxDocument> docx;
    // A document the word processor made and no script has touched yet (merged letters): kept
    // as its package and read into a tree only when script first reaches into it, so that
    // showing or saving ten thousand letters costs their bytes, not a tree of them.
    std::unique_ptr<Package> unread;
    std::string name;                 // "Document1", or the file's name
    std::filesystem::path file;       // the file it was opened from or last saved to as a package
    uint64_t editsAtFile = 0;         // its edits when that file was written or read
    std::optional<uint64_t> shownAtEdits;
    bool closed = false;
    std::shared_ptr<MailMergeSettings> mailMerge;  // made when script first asks for MailMerge

    DocxDocument& document();         // error when closed; an unread document is read in first
    bool isOpen() const { return !closed && (docx || unread); }
    uint64_t edits() const { return docx ? docx->edits() : 0; }
    // Writes the document as a package; an unread one as it was made, without reading it in.
    void save(const std::filesystem::path& target);
    bool savedAsIs() const { return !file.empty() && isOpen() && edits() == editsAtFile; }
};

using DocumentRef = std::shared_ptr<OpenDocument>;

// Where a range or the selection lies.
struct Location {
    DocumentRef document;
    Story* story = nullptr;
    std::shared_ptr<Span> span;
};

class WordInstance {
public:
    WordInstance() = default;
    ~WordInstance();
    WordInstance(const WordInstance&) = delete;
    WordInstance& operator=(const WordInstance&) = delete;

    bool visible() const { return m_visible; }
    void setVisible(bool visible);

    // A new document from the template at a page path (a .dotx, .docx, .docm, or a legacy
    // .doc/.dot through LibreOffice) or at an http(s) address (a package), or an empty one
    // without a template; the selection moves to its start.
    DocumentRef add(const std::string& templatePath);
    DocumentRef addBlank();
    // A document made by the word processor itself (merged letters), named as a new one.
    DocumentRef addMade(std::unique_ptr<DocxDocument> docx);
    // A made document kept as its package until script first reaches into it.
    DocumentRef addMadeUnread(Package package);
    DocumentRef open(const std::string& pagePath);
    const std::vector<DocumentRef>& documents() const { return m_documents; }
    void close(const DocumentRef& document);
    void quit();

    // The selection; error 4248 when no document is open.
    Location& selection();
    // The document the selection is in, without reading an unread one in; error 4248 as above.
    const DocumentRef& activeDocument() const;
    void select(const DocumentRef& document, Story& story, int32_t start, int32_t end);
    FindSettings& selectionFind() { return m_selectionFind; }

    void changeFileOpenDirectory(const std::string& pagePath);
    // A page path, resolved against the folder set by ChangeFileOpenDirectory when it is a bare name.
    std::filesystem::path resolve(const std::string& pagePath) const;

private:
    DocumentRef adopt(std::unique_ptr<DocxDocument> docx, std::string name, std::filesystem::path file);
    // Puts the selection at the start of the document's main text; an unread document's
    // selection waits there until it is asked for, rather than reading the document in.
    void selectStart(const DocumentRef& document);
    std::string nextNewName();
    void showChanged() noexcept;

    bool m_visible = false;
    int32_t m_documentsMade = 0;
    std::vector<DocumentRef> m_documents;
    Location m_selection;
    FindSettings m_selectionFind;
    std::filesystem::path m_fileOpenDirectory;
};

}  // namespace lumora::word
