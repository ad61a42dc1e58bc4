// A document: selecting it, its ranges, stories and tables, saving, exporting and closing.

#include "Automation/cancellation.hpp"
#include "Automation/error.hpp"
#include "Platform/Files/page_path.hpp"
#include "html_writer.hpp"
#include "mail_merge_object.hpp"
#include "office_converter.hpp"
#include "script_constants.hpp"
#include "word_errors.hpp"
#include "story_objects.hpp"
#include "table_objects.hpp"
#include "text_span.hpp"

namespace lumora::word {

namespace fs = std::filesystem;

namespace {

// Formats that are the package itself: the default, the document, template and XML document.
bool isPackageFormat(int32_t format) { return format == 0 || format == 12 || format == 13 || format == 14 || format == 16; }

}  // namespace

// A call that was cancelled saves nothing (error 18): the page that asked for the file has gone.
void DocumentObject::saveAs(const std::string& pagePath, const Variant& fileFormat) {
    checkCancelled();
    const fs::path file = files::resolvePagePath(pagePath).local;
    std::error_code error;
    if (!fs::is_directory(file.parent_path(), error)) raise(RuntimeError::PathNotFound);
    const int32_t format = fileFormat.isAbsent() ? 0 : fileFormat.toI4();
    if (format == kFormatHtml) {
        writeHtml(docx(), file);
        return;
    }
    if (format == kExportPdf) {
        exportPdf(pagePath, Variant(kExportPdf));
        return;
    }
    if (!isPackageFormat(format)) raise(WordError::BadFileFormat, std::to_string(format));
    // Whatever the extension says ("Attachment.Doc"), the file is the word processor's own package.
    m_document->save(file);
    m_document->file = file;
    m_document->name = file.filename().string();
    m_document->editsAtFile = m_document->edits();
}

void DocumentObject::exportPdf(const std::string& pagePath, const Variant& exportFormat) {
    checkCancelled();
    if (exportFormat.toI4() != kExportPdf) raise(WordError::BadFileFormat, exportFormat.toString());
    const fs::path file = files::resolvePagePath(pagePath).local;
    std::error_code error;
    if (!fs::is_directory(file.parent_path(), error)) raise(RuntimeError::PathNotFound);
    convertToPdf(docx(), file);
}

const TypeInfo& DocumentObject::typeInfo() const {
    using D = DocumentObject;
    static const TypeInfo info = [] {
        TypeInfo t("Document");
        t.method<D>("Select", 0xffff, {}, 0, [](D& d, Args&) {
            Story& main = d.docx().main();
            d.instance()->select(d.document(), main, 0, main.length());
            return Variant();
        });
        t.method<D>("Activate", 0x6a, {}, 0, [](D& d, Args&) {
            d.instance()->select(d.document(), d.docx().main(), 0, 0);
            return Variant();
        });
        t.method<D>("Range", 0x7d0, {"Start", "End"}, 0, [](D& d, Args& args) {
            Story& main = d.docx().main();
            const int32_t length = main.length();
            const int32_t start = args.has(0) ? args[0].toI4() : 0;
            const int32_t end = args.has(1) ? args[1].toI4() : length;
            if (start < 0 || end < 0 || start > length || end > length) raise(WordError::BadArgument);
            return Variant(makeRange(d.instance(), d.document(), main, std::min(start, end), std::max(start, end)));
        });
        t.getter<D>("Content", 0x19, [](D& d) {
            Story& main = d.docx().main();
            return Variant(makeRange(d.instance(), d.document(), main, 0, main.length()));
        });
        t.getter<D>("StoryRanges", 0x7, [](D& d) {
            d.docx();
            return Variant(makeObject<StoryRangeList>(d.instance(), d.document()));
        });
        t.indexedGetter<D>("Tables", 0x6, {"Index"}, 0, [](D& d, Args& args) {
            Object tables = makeObject<TableList>(d.instance(), d.document(), d.docx().tables());
            if (!args.has(0)) return Variant(tables);
            return memberAt(*tables.as<Collection>(), args[0]);
        });
        for (auto [name, id] : {std::pair{"SaveAs", 0x66}, {"SaveAs2", 0x1b6}})
            t.method<D>(name, id, {"FileName", "FileFormat", "LockComments", "Password", "AddToRecentFiles"}, 0,
                        [](D& d, Args& args) {
                            if (!args.has(0)) raise(WordError::BadArgument, "a file name is needed");
                            d.saveAs(args[0].toString(), args[1]);
                            return Variant();
                        });
        t.method<D>("Save", 0x6c, {}, 0, [](D& d, Args&) {
            if (d.document()->file.empty()) raise(WordError::BadArgument, "the document has no file yet; use SaveAs");
            d.saveAs(d.document()->file.string(), Variant());
            return Variant();
        });
        t.method<D>("ExportAsFixedFormat", 0x1bd, {"OutputFileName", "ExportFormat", "OpenAfterExport"}, 2,
                    [](D& d, Args& args) {
                        d.exportPdf(args[0].toString(), args[1]);
                        return Variant();
                    });
        t.method<D>("Close", 0x451, {"SaveChanges", "OriginalFormat", "RouteDocument"}, 0, [](D& d, Args& args) {
            // Saving on close writes back to the document's own file; a new one has none and is dropped.
            if (args.has(0) && args[0].toI4() == -1 && !d.document()->file.empty() && !d.document()->closed)
                d.saveAs(d.document()->file.string(), Variant());
            d.instance()->close(d.document());
            return Variant();
        });
        t.getter<D>("MailMerge", 0x44, [](D& d) {
            d.docx();
            return Variant(makeObject<MailMergeObject>(d.instance(), d.document()));
        });
        t.getter<D>("Name", 0x0, [](D& d) { return Variant(d.document()->name); });
        t.getter<D>("FullName", 0x1, [](D& d) {
            return Variant(d.document()->file.empty() ? d.document()->name : d.document()->file.string());
        });
        t.getter<D>("Saved", 0x28, [](D& d) { return Variant(d.document()->savedAsIs()); });
        return t;
    }();
    return info;
}

}  // namespace lumora::word
