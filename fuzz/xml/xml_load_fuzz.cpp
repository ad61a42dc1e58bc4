// Feeds arbitrary bytes to the document loader, then walks whatever loaded: selections, the
// children, text and markup. The first line of the input is also tried as an XPath expression.
// Any input may fail; none may crash, hang or leak.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "Automation/object.hpp"
#include "Platform/Xml/register.hpp"
#include "fuzz/tolerate.hpp"

namespace {

void walk(const lumora::Object& node, int depth) {
    if (depth > 300) return;
    node.get("nodeName");
    node.get("nodeValue");
    node.get("text");
    if (lumora::Object attributes = node.get("attributes").toObject())
        for (const lumora::Variant& attr : attributes.elements()) attr.toObject().get("xml");
    for (const lumora::Variant& child : node.getObject("childNodes").elements()) walk(child.toObject(), depth + 1);
}

using lumora::fuzz::tolerate;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    lumora::Object doc = lumora::xml::createXmlDocument();
    bool loaded = false;
    tolerate([&] { loaded = doc.call("loadXML", text).toBool(); });
    if (!loaded) {
        tolerate([&] { doc.getObject("parseError").get("srcText"); });
        tolerate([&] { doc.call("loadXML", "<r a='1'><x>t</x><y><x/></y></r>"); });
    }
    for (const char* path : {"//*", "/*/@*", "//text()", "/*/*[1]", "//x[@a]"})
        tolerate([&] { doc.call("selectNodes", path).toObject().get("length"); });
    std::string firstLine = text.substr(0, std::min(text.find('\n'), size_t{256}));
    tolerate([&] { doc.call("selectSingleNode", firstLine); });
    tolerate([&] { walk(doc, 0); });
    tolerate([&] { doc.get("xml"); });
    return 0;
}
