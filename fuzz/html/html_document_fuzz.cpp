// Feeds arbitrary bytes to the page document as the host does (write), then reads it the way
// the controls do: elements by id (the first line of the input is one of the ids tried), form
// values, the children and child nodes of every element, rendered text and markup, table rows
// and cells. Any input may be refused; none may crash, hang or leak.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "Automation/object.hpp"
#include "Platform/Html/html_document.hpp"
#include "fuzz/tolerate.hpp"

namespace {

using lumora::fuzz::tolerate;

void readElement(const lumora::Object& element) {
    for (const char* member : {"tagName", "innerText", "innerHTML", "outerHTML", "value", "checked", "selectedIndex",
                               "nodeValue", "text", "rowIndex", "cellIndex"})
        tolerate([&] { element.get(member); });
    tolerate([&] { element.put("value", "typed"); });
    tolerate([&] { element.put("checked", true); });
    tolerate([&] { element.put("selectedIndex", 0); });
    for (const char* list : {"rows", "cells", "options", "tBodies"})
        tolerate([&] {
            lumora::Object items = element.getObject(list);
            items.get("length");
            items.call("item", 0);
        });
}

void walk(const lumora::Object& node, int depth) {
    if (depth > 300) return;
    readElement(node);
    tolerate([&] {
        for (const lumora::Variant& child : node.getObject("children").elements()) walk(child.toObject(), depth + 1);
    });
    tolerate([&] {
        lumora::Object childNodes = node.getObject("childNodes");
        for (int32_t i = 0, n = childNodes.get("length").toI4(); i < n; ++i) childNodes.call("item", i).toObject().get("nodeName");
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string markup(reinterpret_cast<const char*>(data), size);
    lumora::Object document = lumora::makeObject<lumora::html::HtmlDocument>();
    bool written = false;
    tolerate([&] {
        document.call("write", markup);
        written = true;
    });
    if (!written) tolerate([&] { document.call("write", "<table id=QuoteTable><tr><td>a<td>b</table>"); });

    std::string firstLine = markup.substr(0, std::min(markup.find('\n'), size_t{128}));
    for (const std::string& id : {firstLine, std::string("QuoteTable"), std::string("a")})
        tolerate([&] {
            if (lumora::Object element = document.call("getElementById", id).toObject()) readElement(element);
        });
    tolerate([&] { document.get("title"); });
    tolerate([&] { document.call("getElementsByTagName", "*").toObject().get("length"); });
    tolerate([&] { walk(document.getObject("documentElement"), 0); });
    return 0;
}
