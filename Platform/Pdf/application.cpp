// The application: the views open on the calling thread are its documents.

#include "open_views.hpp"
#include "pdf_objects.hpp"

namespace lumora::pdf {

namespace {

// Closes every view of this thread; each goes off the list as it closes.
void closeAllViews() {
    for (const auto& view : OpenViews::ofThisThread().takeAll()) view->close();
}

Variant viewOrNothing(const std::shared_ptr<DocumentView>& view) { return Variant(view ? Object(view) : Object()); }

}  // namespace

const TypeInfo& PdfApplication::typeInfo() const {
    using A = PdfApplication;
    static const TypeInfo info = [] {
        TypeInfo t("CAcroApp");
        t.method<A>("GetNumAVDocs", 1, {}, 0,
                    [](A&, Args&) { return Variant(static_cast<int32_t>(OpenViews::ofThisThread().count())); });
        t.method<A>("GetActiveDoc", 2, {}, 0, [](A&, Args&) { return viewOrNothing(OpenViews::ofThisThread().active()); });
        t.method<A>("GetAVDoc", 3, {"nIndex"}, 1, [](A&, Args& args) {
            const int32_t index = args[0].toI4();
            return viewOrNothing(index < 0 ? nullptr : OpenViews::ofThisThread().at(static_cast<size_t>(index)));
        });
        t.method<A>("CloseAllDocs", 4, {}, 0, [](A&, Args&) {
            closeAllViews();
            return Variant(true);
        });
        // The application ends with its documents closed unsaved; the next one starts empty.
        t.method<A>("Exit", 5, {}, 0, [](A&, Args&) {
            closeAllViews();
            return Variant(true);
        });
        // Nothing of the converter is ever on screen: showing and hiding it succeed and change nothing.
        for (auto [name, id] : {std::pair{"Show", 6}, {"Hide", 7}, {"Maximize", 8}, {"Minimize", 9}})
            t.method<A>(name, id, {}, 0, [](A&, Args&) { return Variant(true); });
        return t;
    }();
    return info;
}

}  // namespace lumora::pdf
