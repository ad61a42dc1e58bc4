// MailMerge and its data source, merge fields and data fields.

#include "mail_merge_object.hpp"

#include "Automation/cancellation.hpp"
#include "Automation/error.hpp"
#include "field_objects.hpp"
#include "merge_execute.hpp"
#include "merge_fields.hpp"
#include "text_span.hpp"
#include "word_errors.hpp"

namespace lumora::word {

namespace {

constexpr int32_t kFormLetters = 0;

}  // namespace

MailMergeObject::MailMergeObject(InstanceRef word, DocumentRef document)
    : m_word(std::move(word)), m_document(std::move(document)) {
    if (!m_document->mailMerge) m_document->mailMerge = std::make_shared<MailMergeSettings>();
}

const MergeData& MailMergeObject::data() {
    if (!settings().source) raise(WordError::NoDataSource);
    return settings().source->data();
}

void MailMergeObject::attach(const std::filesystem::path& file) {
    // Read before it is attached: a file that is no data source leaves the document as it was.
    AttachedDataSource source(file);
    source.data();
    settings().source = std::move(source);
    if (settings().mainDocumentType < 0) settings().mainDocumentType = kFormLetters;
}

Object MailMergeObject::execute() {
    checkCancelled();
    if (settings().destination != kSendToNewDocument)
        raise(WordError::BadArgument, "mail merge goes to a new document only");
    const MergeData& records = data();
    auto merged = mergeDocument(m_document->document(), records, MergeOptions{settings().suppressBlankLines});
    // The letters stay as written until script reaches into them: most runs only show them.
    return makeObject<DocumentObject>(m_word, m_word->addMadeUnread(std::move(merged)));
}

const TypeInfo& MailMergeObject::typeInfo() const {
    using M = MailMergeObject;
    static const TypeInfo info = [] {
        TypeInfo t("MailMerge");
        t.method<M>("CreateDataSource", 0x65,
                    {"Name", "PasswordDocument", "WritePasswordDocument", "HeaderRecord", "MSQuery", "SQLStatement",
                     "SQLStatement1", "Connection", "LinkToSource"},
                    1, [](M& m, Args& args) {
                        if (!args.has(3)) raise(WordError::BadArgument, "a header record is needed");
                        const auto file = m.instance()->resolve(args[0].toString());
                        writeDataSourceDocument(file, args[3].toString());
                        m.attach(file);
                        return Variant();
                    });
        t.method<M>("OpenDataSource", 0x66,
                    {"Name", "Format", "ConfirmConversions", "ReadOnly", "LinkToSource", "AddToRecentFiles",
                     "PasswordDocument", "PasswordTemplate", "Revert", "WritePasswordDocument",
                     "WritePasswordTemplate", "Connection", "SQLStatement", "SQLStatement1", "OpenExclusive",
                     "SubType"},
                    1, [](M& m, Args& args) {
                        m.attach(m.instance()->resolve(args[0].toString()));
                        return Variant();
                    });
        t.method<M>("Execute", 0x68, {"Pause"}, 0, [](M& m, Args&) {
            m.execute();
            return Variant();
        });
        t.getter<M>("DataSource", 0x4, [](M& m) {
            return Variant(makeObject<MergeDataSourceObject>(std::static_pointer_cast<M>(m.shared_from_this())));
        });
        t.getter<M>("Fields", 0x5, [](M& m) { return Variant(makeObject<MergeFieldList>(m.instance(), m.document())); });
        t.getter<M>("SuppressBlankLines", 0x3, [](M& m) { return Variant(m.settings().suppressBlankLines); });
        t.setter<M>("SuppressBlankLines", 0x3, [](M& m, const Variant& v) { m.settings().suppressBlankLines = v.toBool(); });
        t.getter<M>("Destination", 0x2, [](M& m) { return Variant(m.settings().destination); });
        t.setter<M>("Destination", 0x2, [](M& m, const Variant& v) { m.settings().destination = v.toI4(); });
        t.getter<M>("MainDocumentType", 0x1, [](M& m) { return Variant(m.settings().mainDocumentType); });
        t.setter<M>("MainDocumentType", 0x1, [](M& m, const Variant& v) { m.settings().mainDocumentType = v.toI4(); });
        return t;
    }();
    return info;
}

Object MergeFieldList::mainFields() {
    DocxDocument& docx = m_document->document();
    Object range = makeRange(m_word, m_document, docx.main(), 0, docx.main().length());
    return range.as<TextSpan>()->fields();
}

int32_t MergeFieldList::count() {
    Object fields = mainFields();
    Collection& all = *fields.as<Collection>();
    int32_t merge = 0;
    for (int32_t i = 0; i < all.count(); ++i)
        if (mergeFieldName(all.at(i)->toObject().as<FieldObject>()->code())) ++merge;
    return merge;
}

std::optional<Variant> MergeFieldList::at(int32_t position) {
    Object fields = mainFields();
    Collection& all = *fields.as<Collection>();
    for (int32_t i = 0, merge = 0; i < all.count(); ++i) {
        Variant field = *all.at(i);
        if (!mergeFieldName(field.toObject().as<FieldObject>()->code())) continue;
        if (merge++ == position) return field;
    }
    return std::nullopt;
}

const TypeInfo& MergeFieldList::typeInfo() const {
    using L = MergeFieldList;
    static const TypeInfo info = [] {
        TypeInfo t("MailMergeFields");
        addCollectionMembers(t, kAutomationCollection);
        t.method<L>("Add", 0x65, {"Range", "Name"}, 2,
                    [](L&, Args& args) { return Variant(addMergeField(args[0], args[1].toString())); });
        return t;
    }();
    return info;
}

const TypeInfo& MergeDataSourceObject::typeInfo() const {
    using S = MergeDataSourceObject;
    static const TypeInfo info = [] {
        TypeInfo t("MailMergeDataSource");
        t.getter<S>("Name", 0x1, [](S& s) {
            const auto& source = s.mailMerge().settings().source;
            return Variant(source ? source->file().string() : std::string());
        });
        for (auto [name, id] : {std::pair{"DataFields", 0x6}, {"FieldNames", 0x5}})
            t.indexedGetter<S>(name, id, {"Index"}, 0, [](S& s, Args& args) {
                auto mailMerge = std::static_pointer_cast<MailMergeObject>(s.mailMerge().shared_from_this());
                return Collection::collectionOrItem(makeObject<DataFieldList>(mailMerge), args);
            });
        t.getter<S>("RecordCount", 0xd, [](S& s) {
            return Variant(static_cast<int32_t>(s.mailMerge().data().records.size()));
        });
        t.getter<S>("ActiveRecord", 0x9, [](S& s) {
            s.mailMerge().data();
            return Variant(int32_t{1});
        });
        return t;
    }();
    return info;
}

int32_t DataFieldList::count() { return static_cast<int32_t>(m_mailMerge->data().names.size()); }

std::optional<Variant> DataFieldList::at(int32_t position) {
    const MergeData& data = m_mailMerge->data();
    if (position >= static_cast<int32_t>(data.names.size())) return std::nullopt;
    const auto column = static_cast<size_t>(position);
    // The active record is the first; a data source without records shows empty values.
    std::string value = data.records.empty() ? std::string() : data.records.front()[column];
    return Variant(makeObject<DataFieldObject>(data.names[column], std::move(value)));
}

std::optional<Variant> DataFieldList::named(std::string_view name) {
    const auto column = m_mailMerge->data().columnOf(name);
    if (!column) raise(WordError::NoSuchMember);
    return at(static_cast<int32_t>(*column));
}

const TypeInfo& DataFieldList::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("MailMergeDataFields");
        addCollectionMembers(t, kAutomationCollection);
        return t;
    }();
    return info;
}

const TypeInfo& DataFieldObject::typeInfo() const {
    using F = DataFieldObject;
    static const TypeInfo info = [] {
        TypeInfo t("MailMergeDataField");
        t.getter<F>("Name", 0x1, [](F& f) { return Variant(f.name()); });
        t.getter<F>("Value", 0x0, [](F& f) { return Variant(f.value()); });
        return t;
    }();
    return info;
}

}  // namespace lumora::word
