// The application and its documents.

#include "Automation/error.hpp"
#include "Automation/vb/strings.hpp"
#include "word_errors.hpp"
#include "text_span.hpp"

namespace lumora::word {

Variant memberAt(Collection& collection, const Variant& key) {
    const int32_t position = key.toI4();
    if (position < 1 || position > collection.count()) raise(WordError::NoSuchMember);
    return *collection.at(position - 1);
}

const TypeInfo& WordApplication::typeInfo() const {
    using A = WordApplication;
    static const TypeInfo info = [] {
        TypeInfo t("Application");
        t.getter<A>("Visible", 0x17, [](A& a) { return Variant(a.instance()->visible()); });
        t.setter<A>("Visible", 0x17, [](A& a, const Variant& v) { a.instance()->setVisible(v.toBool()); });
        t.indexedGetter<A>("Documents", 0x6, {"Index"}, 0, [](A& a, Args& args) {
            return Collection::collectionOrItem(makeObject<DocumentList>(a.instance()), args);
        });
        t.getter<A>("Selection", 0x5, [](A& a) {
            a.instance()->selection();  // 4248 when no document is open
            return Variant(makeObject<SelectionObject>(a.instance()));
        });
        t.getter<A>("ActiveDocument", 0x3, [](A& a) {
            return Variant(makeObject<DocumentObject>(a.instance(), a.instance()->activeDocument()));
        });
        t.method<A>("Quit", 0x451, {"SaveChanges", "OriginalFormat", "RouteDocument"}, 0, [](A& a, Args&) {
            a.instance()->quit();
            return Variant();
        });
        t.method<A>("ChangeFileOpenDirectory", 0x13b, {"Path"}, 1, [](A& a, Args& args) {
            a.instance()->changeFileOpenDirectory(args[0].toString());
            return Variant();
        });
        // Settings that only matter on a screen: accepted and remembered.
        for (auto [name, id] : {std::pair{"ScreenUpdating", 0x1a}, {"DisplayAlerts", 0x5e}}) {
            t.getter<A>(name, id, [](A&) { return Variant(true); });
            t.setter<A>(name, id, [](A&, const Variant&) {});
        }
        return t;
    }();
    return info;
}

const TypeInfo& DocumentList::typeInfo() const {
    using L = DocumentList;
    static const TypeInfo info = [] {
        TypeInfo t("Documents");
        addCollectionMembers(t, kAutomationCollection);
        t.method<L>("Add", 0xe, {"Template", "NewTemplate", "DocumentType", "Visible"}, 0, [](L& list, Args& args) {
            DocumentRef document = args.has(0) ? list.instance()->add(args[0].toString()) : list.instance()->addBlank();
            return Variant(makeObject<DocumentObject>(list.instance(), document));
        });
        t.method<L>("Open", 0xc, {"FileName", "ConfirmConversions", "ReadOnly", "AddToRecentFiles"}, 1,
                    [](L& list, Args& args) {
                        DocumentRef document = list.instance()->open(args[0].toString());
                        return Variant(makeObject<DocumentObject>(list.instance(), document));
                    });
        return t;
    }();
    return info;
}

int32_t DocumentList::count() { return static_cast<int32_t>(m_word->documents().size()); }

std::optional<Variant> DocumentList::at(int32_t position) {
    const auto& documents = m_word->documents();
    if (position >= static_cast<int32_t>(documents.size())) return std::nullopt;
    // Newest first, as the word processor counts them.
    return Variant(makeObject<DocumentObject>(m_word, documents[documents.size() - 1 - static_cast<size_t>(position)]));
}

std::optional<Variant> DocumentList::named(std::string_view name) {
    for (const DocumentRef& document : m_word->documents())
        if (vb::equalsNoCase(document->name, name)) return Variant(makeObject<DocumentObject>(m_word, document));
    raise(WordError::NoSuchMember);
}

}  // namespace lumora::word
