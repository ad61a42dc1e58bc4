#pragma once
// A document's mail merge: its data source (made with CreateDataSource or attached with
// OpenDataSource), its merge fields, the data fields of the active record, and Execute, which
// makes the merged letters as one new document.

#include <memory>
#include <optional>

#include "merge_data.hpp"
#include "word_objects.hpp"

namespace lumora::word {

// What a document keeps of its mail merge between calls.
struct MailMergeSettings {
    std::optional<AttachedDataSource> source;
    bool suppressBlankLines = true;
    int32_t destination = kSendToNewDocument;
    int32_t mainDocumentType = -1;  // not a merge document until a data source is attached
};

class MailMergeObject : public Dispatch {
public:
    MailMergeObject(InstanceRef word, DocumentRef document);
    const TypeInfo& typeInfo() const override;
    MailMergeSettings& settings() { return *m_document->mailMerge; }
    const InstanceRef& instance() const { return m_word; }
    const DocumentRef& document() const { return m_document; }
    // The attached data source's records; NoDataSource without one.
    const MergeData& data();
    void attach(const std::filesystem::path& file);
    Object execute();

private:
    InstanceRef m_word;
    DocumentRef m_document;
};

// MailMerge.Fields: the main text's merge fields, and Add(Range, Name).
class MergeFieldList : public Collection {
public:
    MergeFieldList(InstanceRef word, DocumentRef document) : m_word(std::move(word)), m_document(std::move(document)) {}
    const TypeInfo& typeInfo() const override;
    int32_t count() override;
    std::optional<Variant> at(int32_t position) override;
    const InstanceRef& instance() const { return m_word; }

private:
    Object mainFields();
    InstanceRef m_word;
    DocumentRef m_document;
};

// MailMerge.DataSource: its name and the data fields.
class MergeDataSourceObject : public Dispatch {
public:
    explicit MergeDataSourceObject(std::shared_ptr<MailMergeObject> mailMerge) : m_mailMerge(std::move(mailMerge)) {}
    const TypeInfo& typeInfo() const override;
    MailMergeObject& mailMerge() { return *m_mailMerge; }

private:
    std::shared_ptr<MailMergeObject> m_mailMerge;
};

// DataSource.DataFields: the fields of the active (first) record, by position or name.
class DataFieldList : public Collection {
public:
    explicit DataFieldList(std::shared_ptr<MailMergeObject> mailMerge) : m_mailMerge(std::move(mailMerge)) {}
    const TypeInfo& typeInfo() const override;
    int32_t count() override;
    std::optional<Variant> at(int32_t position) override;
    std::optional<Variant> named(std::string_view name) override;

private:
    std::shared_ptr<MailMergeObject> m_mailMerge;
};

class DataFieldObject : public Dispatch {
public:
    DataFieldObject(std::string name, std::string value) : m_name(std::move(name)), m_value(std::move(value)) {}
    const TypeInfo& typeInfo() const override;
    const std::string& name() const { return m_name; }
    const std::string& value() const { return m_value; }

private:
    std::string m_name;
    std::string m_value;
};

}  // namespace lumora::word
