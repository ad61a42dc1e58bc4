// A document view: opening a page converts it, and the view shows the result until closed.

#include "Platform/Files/page_path.hpp"
#include "html_to_pdf.hpp"
#include "open_views.hpp"
#include "pdf_errors.hpp"
#include "pdf_objects.hpp"

namespace lumora::pdf {

namespace {

// The title a view is opened with, when given as text; otherwise the file's name.
std::string titleFor(const std::filesystem::path& file, const Variant& title) {
    if (title.isString() && !title.toString().empty()) return title.toString();
    return file.filename().string();
}

}  // namespace

const TypeInfo& DocumentView::typeInfo() const {
    using V = DocumentView;
    static const TypeInfo info = [] {
        TypeInfo t("CAcroAVDoc");
        t.method<V>("Open", 1, {"szFullPath", "szTempTitle"}, 1,
                    [](V& v, Args& args) { return Variant(v.open(args[0].toString(), args[1])); });
        // Closing never saves: the view holds nothing a person changed.
        t.method<V>("Close", 2, {"bNoSave"}, 0, [](V& v, Args&) { return Variant(v.close()); });
        t.method<V>("IsValid", 3, {}, 0, [](V& v, Args&) { return Variant(v.isValid()); });
        t.method<V>("GetPDDoc", 4, {}, 0, [](V& v, Args&) { return Variant(v.document()); });
        t.method<V>("GetTitle", 5, {}, 0, [](V& v, Args&) { return Variant(v.title()); });
        t.method<V>("BringToFront", 6, {}, 0, [](V& v, Args&) { return Variant(v.isValid()); });
        return t;
    }();
    return info;
}

bool DocumentView::open(const std::string& pagePath, const Variant& title) {
    const std::filesystem::path file = files::resolvePagePath(pagePath).local;
    auto pdf = std::make_shared<const std::string>(convertPageToPdf(file));
    m_pdf = std::move(pdf);
    m_file = file;
    m_title = titleFor(file, title);
    OpenViews::ofThisThread().add(std::static_pointer_cast<DocumentView>(shared_from_this()));
    return true;
}

bool DocumentView::close() {
    const bool wasOpen = isValid();
    m_pdf.reset();
    OpenViews::ofThisThread().remove(this);
    return wasOpen;
}

Object DocumentView::document() const {
    if (!isValid()) raise(PdfError::NoDocument);
    return makeObject<PdfDocument>(m_pdf, m_file);
}

}  // namespace lumora::pdf
