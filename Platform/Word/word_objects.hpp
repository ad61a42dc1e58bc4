#pragma once
// The script objects of the word processor: the application, its documents and a document
// (ranges and the selection, tables, stories and fields have headers of their own). Every
// object holds the instance it belongs to, so a range kept by script keeps its document and
// application alive, as in the real application; ranges hold tracked spans that move with the
// document's edits.

#include <memory>
#include <optional>

#include "Automation/collection.hpp"
#include "Automation/object.hpp"
#include "word_instance.hpp"

namespace lumora::word {

using InstanceRef = std::shared_ptr<WordInstance>;

// Item(n) of a collection, 1-based; error 5941 outside it, as the word processor answers.
Variant memberAt(Collection& collection, const Variant& key);

// "Word.Application": Documents, Selection, Visible, Quit, ChangeFileOpenDirectory.
class WordApplication : public Dispatch {
public:
    WordApplication() : m_word(std::make_shared<WordInstance>()) {}
    const TypeInfo& typeInfo() const override;
    const InstanceRef& instance() const { return m_word; }

private:
    InstanceRef m_word;
};

// Documents: Count, Item (newest first), Add, Open.
class DocumentList : public Collection {
public:
    explicit DocumentList(InstanceRef word) : m_word(std::move(word)) {}
    const TypeInfo& typeInfo() const override;
    int32_t count() override;
    std::optional<Variant> at(int32_t position) override;
    std::optional<Variant> named(std::string_view name) override;
    const InstanceRef& instance() const { return m_word; }

private:
    InstanceRef m_word;
};

class DocumentObject : public Dispatch {
public:
    DocumentObject(InstanceRef word, DocumentRef document) : m_word(std::move(word)), m_document(std::move(document)) {}
    const TypeInfo& typeInfo() const override;
    const InstanceRef& instance() const { return m_word; }
    const DocumentRef& document() const { return m_document; }
    DocxDocument& docx() const { return m_document->document(); }

    // SaveAs: the package whatever the extension, or HTML for format 8.
    void saveAs(const std::string& pagePath, const Variant& fileFormat);
    void exportPdf(const std::string& pagePath, const Variant& exportFormat);

private:
    InstanceRef m_word;
    DocumentRef m_document;
};

}  // namespace lumora::word
