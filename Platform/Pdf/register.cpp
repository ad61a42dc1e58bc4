#include "register.hpp"

#include "Automation/class_ids.hpp"
#include "html_to_pdf.hpp"
#include "pdf_errors.hpp"
#include "pdf_objects.hpp"

namespace lumora::pdf {

namespace {

// The application and its views exist only where a page can be converted: elsewhere their
// creation fails as an application that is not installed does, and callers offer to install it.
template <class T>
Object makeConverterObject() {
    if (!converterInstalled()) raise(PdfError::NoConverter);
    return makeObject<T>();
}

}  // namespace

void registerPdfClasses(Registry& registry) {
    registry.registerBuiltin(ClassInfo{std::string(progid::AcrobatApp), {}, {}, makeConverterObject<PdfApplication>, false});
    registry.registerBuiltin(ClassInfo{std::string(progid::AcrobatDocView), {}, {}, makeConverterObject<DocumentView>, false});
    // A document needs no converter: it opens existing PDFs and makes blank ones.
    registry.registerBuiltin(ClassInfo{std::string(progid::PdfDocument), {}, {}, [] { return makeObject<PdfDocument>(); }, false});
}

}  // namespace lumora::pdf
