#pragma once
// Owning handles for libxml2 objects. The C types stay out of every header: they are only
// forward-declared here, and the deleters live in a source file that includes the library.

#include <memory>

struct _xmlDoc;
struct _xmlNode;
struct _xmlAttr;

namespace lumora::xml {

using XmlDoc = _xmlDoc;
using XmlNode = _xmlNode;

struct XmlDocDeleter {
    void operator()(XmlDoc* doc) const noexcept;
};
using DocHandle = std::unique_ptr<XmlDoc, XmlDocDeleter>;

// A node that belongs to no tree (detached or never attached); freed with its subtree.
struct XmlNodeDeleter {
    void operator()(XmlNode* node) const noexcept;
};
using NodeHandle = std::unique_ptr<XmlNode, XmlNodeDeleter>;

// A string the library made for the caller (xmlChar is unsigned char).
struct XmlStringDeleter {
    void operator()(unsigned char* text) const noexcept;
};
using XmlString = std::unique_ptr<unsigned char, XmlStringDeleter>;

}  // namespace lumora::xml
