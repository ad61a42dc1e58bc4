// A PDF document: the converted page a view holds, an existing PDF, or a blank document.

#include <fstream>

#include "Automation/traps.hpp"
#include "Platform/Desktop/new_document.hpp"
#include "Platform/Files/page_path.hpp"
#include "pdf_bytes.hpp"
#include "pdf_objects.hpp"

namespace lumora::pdf {

namespace fs = std::filesystem;

namespace {

// The largest PDF Open reads.
constexpr uintmax_t kMaxOpenedPdfBytes = 256u << 20;

// Nothing but the document's result: a path that cannot be resolved, a file that cannot be
// written or read, all come back as False, as the document API answers them.
template <class Work>
bool succeeded(Work&& work) {
    return trapped(std::forward<Work>(work), [](const Error&) { return false; });
}

}  // namespace

const TypeInfo& PdfDocument::typeInfo() const {
    using D = PdfDocument;
    static const TypeInfo info = [] {
        TypeInfo t("CAcroPDDoc");
        t.method<D>("Create", 1, {}, 0, [](D& d, Args&) { return Variant(d.create()); });
        t.method<D>("Save", 2, {"nType", "szFullPath"}, 2,
                    [](D& d, Args& args) { return Variant(d.save(args[1].toString())); });
        t.method<D>("Close", 3, {}, 0, [](D& d, Args&) { return Variant(d.close()); });
        t.method<D>("Open", 4, {"szFullPath"}, 1, [](D& d, Args& args) { return Variant(d.open(args[0].toString())); });
        t.method<D>("GetNumPages", 5, {}, 0, [](D& d, Args&) { return Variant(d.pageCount()); });
        t.method<D>("GetFileName", 6, {}, 0, [](D& d, Args&) { return Variant(d.fileName()); });
        return t;
    }();
    return info;
}

bool PdfDocument::create() {
    if (!m_pdf) m_pdf = std::make_shared<const std::string>(blankPdf());
    return true;
}

bool PdfDocument::save(const std::string& pagePath) {
    if (!m_pdf) return false;
    return succeeded([&] {
        const fs::path file = files::resolvePagePath(pagePath).local;
        desktop::replaceFile(file, *m_pdf);
        m_file = file;
        return true;
    });
}

bool PdfDocument::close() {
    const bool wasOpen = m_pdf != nullptr;
    m_pdf.reset();
    return wasOpen;
}

bool PdfDocument::open(const std::string& pagePath) {
    return succeeded([&] {
        const fs::path file = files::resolvePagePath(pagePath).local;
        std::error_code error;
        if (!fs::is_regular_file(file, error) || fs::file_size(file, error) > kMaxOpenedPdfBytes) return false;
        std::ifstream in(file, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), {});
        if (!in.good() && !in.eof()) return false;
        if (!looksLikePdf(bytes)) return false;
        m_pdf = std::make_shared<const std::string>(std::move(bytes));
        m_file = file;
        return true;
    });
}

int32_t PdfDocument::pageCount() const { return m_pdf ? countPages(*m_pdf) : 0; }

}  // namespace lumora::pdf
