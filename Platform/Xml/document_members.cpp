#include "document_members.hpp"

#include <libxml/tree.h>

#include <map>

#include "Automation/vb/text.hpp"
#include "Platform/Files/page_path.hpp"
#include "document.hpp"
#include "element_search.hpp"
#include "node_access.hpp"
#include "parse_error.hpp"
#include "serialize.hpp"
#include "tree_edit.hpp"
#include "xml_errors.hpp"
#include "xpath_select.hpp"

namespace lumora::xml {

namespace {

const xmlChar* bytes(const std::string& s) { return reinterpret_cast<const xmlChar*>(s.c_str()); }

std::string checkedName(const Variant& value) {
    std::string name = value.toString();
    if (!isValidXmlName(name)) raise(XmlError::InvalidName, name);
    return name;
}

// createNode(type, name, namespaceURI): the type as a number or as its nodeTypeString.
Object createNode(DocumentObject& d, const Variant& type, const Variant& nameArg, const Variant& uriArg) {
    int32_t kind = 0;
    if (type.isString()) {
        static const std::map<std::string, int32_t> kByName{
            {"element", 1}, {"attribute", 2}, {"text", 3}, {"cdatasection", 4},
            {"processinginstruction", 7}, {"comment", 8}, {"documentfragment", 11}};
        auto it = kByName.find(vb::asciiLower(type.str()));
        if (it == kByName.end()) raise(XmlError::WrongNodeType);
        kind = it->second;
    } else {
        kind = type.toI4();
    }
    Tree& tree = *d.tree();
    xmlDocPtr doc = tree.doc();
    std::string uri = uriArg.isAbsent() || uriArg.isNull() ? std::string() : uriArg.toString();
    switch (kind) {
        case 1: {
            std::string name = checkedName(nameArg);
            if (uri.empty()) return tree.adoptNew(xmlNewDocNode(doc, nullptr, bytes(name), nullptr));
            size_t colon = name.find(':');
            std::string local = colon == std::string::npos ? name : name.substr(colon + 1);
            xmlNodePtr element = xmlNewDocNode(doc, nullptr, bytes(local), nullptr);
            Object held = tree.adoptNew(element);
            xmlNsPtr ns = xmlNewNs(element, bytes(uri), colon == std::string::npos ? nullptr : bytes(name.substr(0, colon)));
            xmlSetNs(element, ns);
            return held;
        }
        case 2: return tree.adoptNew(reinterpret_cast<xmlNodePtr>(xmlNewDocProp(doc, bytes(checkedName(nameArg)), nullptr)));
        case 3: return tree.adoptNew(xmlNewDocText(doc, bytes("")));
        case 4: return tree.adoptNew(xmlNewCDataBlock(doc, bytes(""), 0));
        case 7: return tree.adoptNew(xmlNewDocPI(doc, bytes(checkedName(nameArg)), nullptr));
        case 8: return tree.adoptNew(xmlNewDocComment(doc, bytes("")));
        case 11: return tree.adoptNew(xmlNewDocFragment(doc));
        default: raise(XmlError::WrongNodeType);
    }
}

void setProperty(DocumentObject& d, const std::string& name, const Variant& value) {
    DocumentSettings& s = d.settings();
    if (vb::asciiEqualsNoCase(name, "SelectionLanguage")) {
        std::string language = value.toString();
        if (vb::asciiEqualsNoCase(language, "XPath")) s.selectionLanguage = "XPath";
        else if (vb::asciiEqualsNoCase(language, "XSLPattern")) s.selectionLanguage = "XSLPattern";
        else raise(XmlError::InvalidPropertyValue, language);
    } else if (vb::asciiEqualsNoCase(name, "SelectionNamespaces")) {
        std::string text = value.toString();
        s.namespaces = parseSelectionNamespaces(text);
        s.selectionNamespaces = text;
    } else if (vb::asciiEqualsNoCase(name, "ProhibitDTD") || vb::asciiEqualsNoCase(name, "AllowDocumentFunction") ||
               vb::asciiEqualsNoCase(name, "AllowXsltScript") || vb::asciiEqualsNoCase(name, "ServerHTTPRequest") ||
               vb::asciiEqualsNoCase(name, "NewParser") || vb::asciiEqualsNoCase(name, "ResolveExternals") ||
               vb::asciiEqualsNoCase(name, "MaxElementDepth") || vb::asciiEqualsNoCase(name, "MaxXMLSize")) {
        // Accepted so that scripts setting them keep working. None of them loosens the
        // hardening: DTDs and external resources stay unloaded, document() stays local-free,
        // and the size and depth limits stay as they are.
        value.toString();
    } else {
        raise(XmlError::UnknownProperty, name);
    }
}

Variant property(DocumentObject& d, const std::string& name) {
    const DocumentSettings& s = d.settings();
    if (vb::asciiEqualsNoCase(name, "SelectionLanguage")) return Variant(s.selectionLanguage);
    if (vb::asciiEqualsNoCase(name, "SelectionNamespaces")) return Variant(s.selectionNamespaces);
    if (vb::asciiEqualsNoCase(name, "ProhibitDTD")) return Variant(true);
    if (vb::asciiEqualsNoCase(name, "AllowDocumentFunction")) return Variant(true);
    if (vb::asciiEqualsNoCase(name, "AllowXsltScript")) return Variant(false);
    if (vb::asciiEqualsNoCase(name, "ServerHTTPRequest")) return Variant(false);
    if (vb::asciiEqualsNoCase(name, "NewParser")) return Variant(false);
    if (vb::asciiEqualsNoCase(name, "ResolveExternals")) return Variant(s.resolveExternals);
    if (vb::asciiEqualsNoCase(name, "MaxElementDepth")) return Variant(int32_t{256});
    if (vb::asciiEqualsNoCase(name, "MaxXMLSize")) return Variant(int32_t{64 * 1024});  // in kilobytes
    raise(XmlError::UnknownProperty, name);
}

void setDocumentElement(DocumentObject& d, const Variant& value) {
    Tree& tree = *d.tree();
    XmlNode* current = xmlDocGetRootElement(tree.doc());
    DomNode* element = domNodeOf(value);
    if (!element) {
        if (!(value.isObject() && value.toObject().isNothing())) throw Error(RuntimeError::TypeMismatch);
        if (current) removeChild(tree, tree.docNode(), current);
        return;
    }
    if (element->node()->type != XML_ELEMENT_NODE) raise(XmlError::WrongNodeType);
    if (current)
        replaceChild(tree, tree.docNode(), *element->tree(), element->node(), current);
    else
        insertChild(tree, tree.docNode(), *element->tree(), element->node(), nullptr);
}

void save(DocumentObject& d, const Variant& destination) {
    if (destination.isObject()) {
        auto* target = destination.toObject().as<DocumentObject>();
        if (!target) throw Error(RuntimeError::TypeMismatch);
        target->loadXml(documentXml(*d.tree()));
        return;
    }
    std::string path = destination.toString();
    if (path.empty()) raise(XmlError::SaveFailed, "no file name was given");
    saveDocument(*d.tree(), files::resolvePagePath(path).local);
}

TypeInfo buildTypeInfo() {
    TypeInfo t("DOMDocument");
    addNodeMembers(t);
    using D = DocumentObject;
    auto flag = [&t](const char* name, DispId id, bool DocumentSettings::*member) {
        t.getter<D>(name, id, [member](D& d) { return Variant(d.settings().*member); });
        t.setter<D>(name, id, [member](D& d, const Variant& v) { d.settings().*member = v.toBool(); });
    };
    flag("async", 200, &DocumentSettings::async);
    flag("validateOnParse", 201, &DocumentSettings::validateOnParse);
    flag("resolveExternals", 202, &DocumentSettings::resolveExternals);
    flag("preserveWhiteSpace", 203, &DocumentSettings::preserveWhiteSpace);
    t.getter<D>("readyState", 204, [](D&) { return Variant(int32_t{4}); });
    t.getter<D>("url", 205, [](D& d) { return Variant(d.url()); });
    t.method<D>("loadXML", 206, {"bstrXML"}, 1, [](D& d, Args& a) { return Variant(d.loadXml(a[0].toString())); });
    t.method<D>("load", 207, {"xmlSource"}, 1, [](D& d, Args& a) { return Variant(d.load(a[0].toString())); });
    t.method<D>("save", 208, {"destination"}, 1, [](D& d, Args& a) {
        save(d, a[0]);
        return Variant();
    });
    t.method<D>("abort", 209, {}, 0, [](D&, Args&) { return Variant(); });
    t.getter<D>("documentElement", 210, [](D& d) { return Variant(d.tree()->wrap(xmlDocGetRootElement(d.tree()->doc()))); });
    auto putRoot = [](D& d, const Variant& v) { setDocumentElement(d, v); };
    t.setter<D>("documentElement", 210, putRoot);
    t.setterRef<D>("documentElement", 210, putRoot);
    t.getter<D>("doctype", 211, [](D& d) {
        return Variant(d.tree()->wrap(reinterpret_cast<xmlNodePtr>(d.tree()->doc()->intSubset)));
    });
    t.getter<D>("parseError", 212, [](D& d) { return Variant(makeObject<ParseErrorObject>(d.lastFailure())); });
    t.method<D>("createElement", 213, {"tagName"}, 1, [](D& d, Args& a) {
        return Variant(createNode(d, Variant(int32_t{1}), a[0], Variant::missing()));
    });
    t.method<D>("createAttribute", 214, {"name"}, 1, [](D& d, Args& a) {
        return Variant(createNode(d, Variant(int32_t{2}), a[0], Variant::missing()));
    });
    t.method<D>("createTextNode", 215, {"data"}, 1, [](D& d, Args& a) {
        std::string text = a[0].toString();
        return Variant(d.tree()->adoptNew(xmlNewDocText(d.tree()->doc(), bytes(text))));
    });
    t.method<D>("createComment", 216, {"data"}, 1, [](D& d, Args& a) {
        std::string text = a[0].toString();
        checkContentFits(XML_COMMENT_NODE, text);
        return Variant(d.tree()->adoptNew(xmlNewDocComment(d.tree()->doc(), bytes(text))));
    });
    t.method<D>("createCDATASection", 217, {"data"}, 1, [](D& d, Args& a) {
        std::string text = a[0].toString();
        checkContentFits(XML_CDATA_SECTION_NODE, text);
        return Variant(d.tree()->adoptNew(xmlNewCDataBlock(d.tree()->doc(), bytes(text), static_cast<int>(text.size()))));
    });
    t.method<D>("createProcessingInstruction", 218, {"target", "data"}, 2, [](D& d, Args& a) {
        std::string target = checkedName(a[0]);
        std::string data = a[1].toString();
        checkContentFits(XML_PI_NODE, data);
        return Variant(d.tree()->adoptNew(xmlNewDocPI(d.tree()->doc(), bytes(target), bytes(data))));
    });
    t.method<D>("createDocumentFragment", 219, {}, 0, [](D& d, Args&) {
        return Variant(createNode(d, Variant(int32_t{11}), Variant(), Variant()));
    });
    t.method<D>("createNode", 220, {"type", "name", "namespaceURI"}, 2,
                [](D& d, Args& a) { return Variant(createNode(d, a[0], a[1], a[2])); });
    t.method<D>("getElementsByTagName", 221, {"tagName"}, 1,
                [](D& d, Args& a) { return Variant(elementsByTagName(d, a[0].toString())); });
    t.method<D>("setProperty", 222, {"name", "value"}, 2, [](D& d, Args& a) {
        setProperty(d, a[0].toString(), a[1]);
        return Variant();
    });
    t.method<D>("getProperty", 223, {"name"}, 1, [](D& d, Args& a) { return property(d, a[0].toString()); });
    return t;
}

}  // namespace

const TypeInfo& documentTypeInfo() {
    static const TypeInfo info = buildTypeInfo();
    return info;
}

}  // namespace lumora::xml
