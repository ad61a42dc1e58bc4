#include "name_sort.hpp"

#include <mutex>
#include <string>
#include <string_view>

#include "Automation/cancellation.hpp"
#include "Automation/class_ids.hpp"
#include "Control/frame/outside_apps.hpp"
#include "Control/frame/private_operations.hpp"

namespace lumora::control {

namespace {

// The namespace the XSLT 1.0 recommendation gives its elements.
constexpr std::string_view kXsltNamespace = "http://www.w3.org/1999/XSL/Transform";
constexpr std::string_view kStylesheetFile = "Lumora.xsl";
constexpr std::string_view kRootName = "SORTROOT";
constexpr std::string_view kRowName = "SORTITEM";
constexpr std::string_view kNameColumn = "Param1";
constexpr std::string_view kIdColumn = "Param2";

// Every page of this process writes the same file; one writes and reads it back at a time, so
// no sort reads a stylesheet another has only begun to write.
std::mutex g_stylesheetFile;

Object newDocument() {
    Object document = createApplication(progid::XmlDocument);
    document.put("async", false);
    return document;
}

Object appendElement(const Object& document, const Object& parent, std::string_view name) {
    Object element = document.call("createElement", name).toObject();
    parent.call("appendChild", element);
    return element;
}

void setAttribute(const Object& document, const Object& element, std::string_view name, std::string_view value) {
    Object attribute = document.call("createAttribute", name).toObject();
    attribute.put("value", value);
    element.getObject("attributes").call("setNamedItem", attribute);
}

// <SORTROOT><SORTITEM><Param1>name</Param1><Param2>entry id</Param2></SORTITEM>...</SORTROOT>
Object dataDocument(const std::vector<ListedItem>& rows) {
    Object document = newDocument();
    const Object root = document.call("createElement", kRootName).toObject();
    document.call("appendChild", root);
    for (const ListedItem& row : rows) {
        checkCancelled();
        const Object item = appendElement(document, root, kRowName);
        appendElement(document, item, kNameColumn).put("text", row.name);
        appendElement(document, item, kIdColumn).put("text", row.entryId);
    }
    return document;
}

// A stylesheet that copies the root with its items sorted by name, and every element below as
// it is. The document is built without namespaces: its "xsl:" prefixes bind only once its text
// is read back.
Object stylesheetDocument() {
    Object document = newDocument();
    const Object stylesheet = document.call("createElement", "xsl:stylesheet").toObject();
    document.call("appendChild", stylesheet);
    setAttribute(document, stylesheet, "xmlns:xsl", kXsltNamespace);
    setAttribute(document, stylesheet, "version", "1.0");

    const Object sortedRoot = appendElement(document, stylesheet, "xsl:template");
    setAttribute(document, sortedRoot, "match", kRootName);
    const Object sortedItems = appendElement(
        document, appendElement(document, appendElement(document, sortedRoot, "xsl:copy"), "xsl:apply-templates"),
        "xsl:sort");
    setAttribute(document, sortedItems, "select", kNameColumn);

    const Object anyElement = appendElement(document, stylesheet, "xsl:template");
    setAttribute(document, anyElement, "match", "*");
    appendElement(document, appendElement(document, anyElement, "xsl:copy"), "xsl:apply-templates");
    return document;
}

// Writes the stylesheet's text to the temporary folder, replacing an earlier file, and reads it
// back as a document. The file stays for the next sort.
Object stylesheetFromFile(const Object& stylesheet) {
    const std::string path = GetTempFolderPath() + std::string(kStylesheetFile);
    const std::lock_guard<std::mutex> oneAtATime(g_stylesheetFile);
    const Object files = createApplication(progid::FileSystem);
    if (files.call("FileExists", path).toBool()) files.call("DeleteFile", path, false);
    const Object stream = files.call("OpenTextFile", path, kForAppending, true, kAsciiFormat).toObject();
    stream.call("WriteLine", stylesheet.get("xml"));
    stream.call("Close");
    Object loaded = newDocument();
    loaded.call("load", path);
    return loaded;
}

std::string columnText(const Object& row, std::string_view column) {
    return row.getObject("selectSingleNode", column).get("text").toString();
}

// The sorted document: the rows through the stylesheet. The data document is let go once it has
// been transformed, so the two are not held beside the rows read back.
Object sortedDocument(const std::vector<ListedItem>& rows) {
    const Object stylesheet = stylesheetFromFile(stylesheetDocument());
    Object result = newDocument();
    dataDocument(rows).call("transformNodeToObject", stylesheet, result);
    return result;
}

}  // namespace

std::optional<std::vector<ListedItem>> sortedByName(const std::vector<ListedItem>& rows) {
    return trapped(
        [&]() -> std::optional<std::vector<ListedItem>> {
            std::vector<ListedItem> sorted = rows;
            const Object sortedRows =
                sortedDocument(rows).getObject("documentElement").call("selectNodes", kRowName).toObject();
            // Row by row, so only the row being read has an object of its own.
            const int32_t count = sortedRows.get("length").toI4();
            if (static_cast<size_t>(count) > sorted.size()) raise(RuntimeError::SubscriptOutOfRange);
            for (int32_t k = 0; k < count; ++k) {
                const Object row = sortedRows.call("item", k).toObject();
                sorted[k].name = columnText(row, kNameColumn);
                sorted[k].entryId = columnText(row, kIdColumn);
            }
            return sorted;
        },
        [](const Error&) -> std::optional<std::vector<ListedItem>> { return std::nullopt; });
}

}  // namespace lumora::control
