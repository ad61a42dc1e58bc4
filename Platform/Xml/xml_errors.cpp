#include "xml_errors.hpp"

#include <string>

namespace lumora::xml {

namespace {

struct Entry {
    XmlError which;
    uint32_t number;
    std::string_view source;
    std::string_view text;
};

// Where the system has a standard number for the condition (invalid argument, the internet
// error codes of the HTTP stack) it is used, so script that tests numbers keeps working; the
// rest are this library's own numbers above the object-error base.
constexpr uint32_t kInvalidArg = 0x80070057u;
constexpr uint32_t kFail = 0x80004005u;
constexpr uint32_t kOwn = 0x80040000u + 0x0700u;

constexpr Entry kEntries[] = {
    {XmlError::NotAChild, kInvalidArg, kXmlErrorSource, "The parameter node is not a child of this node."},
    {XmlError::WrongNodeType, kFail, kXmlErrorSource, "This operation can not be performed with a node of this type."},
    {XmlError::AncestorInsertion, kFail, kXmlErrorSource, "A node cannot be inserted below itself or one of its descendants."},
    {XmlError::SecondDocumentElement, kFail, kXmlErrorSource, "Only one top level element is allowed in an XML document."},
    {XmlError::NodeValueNotAllowed, kFail, kXmlErrorSource, "This node type has no value that can be set."},
    {XmlError::InvalidName, kFail, kXmlErrorSource, "The name is not a valid XML name"},
    {XmlError::InvalidContent, kFail, kXmlErrorSource,
     "The text cannot be held by this kind of node without breaking the markup"},
    {XmlError::AttributeInUse, kFail, kXmlErrorSource, "The attribute already belongs to another element."},
    {XmlError::TooDeep, kOwn + 1, kXmlErrorSource, "The document would be nested deeper than the allowed 256 levels."},
    {XmlError::NotANodeSetResult, kFail, kXmlErrorSource, "Expression does not return a DOM node."},
    {XmlError::InvalidXPath, kFail, kXmlErrorSource, "Invalid XPath expression"},
    {XmlError::XPathTooCostly, kOwn + 2, kXmlErrorSource, "The XPath expression is too costly to evaluate"},
    {XmlError::UnknownProperty, kInvalidArg, kXmlErrorSource, "Property name is invalid"},
    {XmlError::InvalidPropertyValue, kInvalidArg, kXmlErrorSource, "Property value is invalid"},
    {XmlError::SaveFailed, 75, kXmlErrorSource, "The document could not be saved"},
    {XmlError::StylesheetInvalid, kFail, kXmlErrorSource, "The stylesheet is not valid"},
    {XmlError::TransformFailed, kFail, kXmlErrorSource, "The transformation failed"},
    {XmlError::TransformAccessRefused, kOwn + 3, kXmlErrorSource,
     "The stylesheet tried to read or write a file or a network resource, which is not allowed"},
    {XmlError::NotOpened, kOwn + 4, kHttpErrorSource, "The request has not been opened"},
    {XmlError::NotYetAvailable, 0x8000000Au, kHttpErrorSource,
     "The data necessary to complete this operation is not yet available."},
    {XmlError::InvalidUrl, 0x80072EE5u, kHttpErrorSource, "The URL is invalid"},
    {XmlError::UnsupportedScheme, 0x80072EE6u, kHttpErrorSource, "The URL does not use a recognized protocol"},
    {XmlError::InvalidHeader, kInvalidArg, kHttpErrorSource, "The header name or value is invalid"},
    {XmlError::InvalidMethod, kInvalidArg, kHttpErrorSource, "The request method is invalid"},
    {XmlError::CannotResolve, 0x80072EE7u, kHttpErrorSource, "The server name or address could not be resolved"},
    {XmlError::CannotConnect, 0x80072EFDu, kHttpErrorSource, "A connection with the server could not be established"},
    {XmlError::TimedOut, 0x80072EE2u, kHttpErrorSource, "The operation timed out"},
    {XmlError::RedirectRefused, 0x80072F7Cu, kHttpErrorSource,
     "The redirection failed because the scheme changed or too many redirects were made"},
    {XmlError::ResponseTooLarge, kOwn + 5, kHttpErrorSource, "The response is larger than the allowed 64 MiB"},
    {XmlError::TransferFailed, 0x800C0008u, kHttpErrorSource, "The download failed"},
};

const Entry& entryFor(XmlError which) {
    for (const Entry& e : kEntries)
        if (e.which == which) return e;
    return kEntries[0];
}

}  // namespace

Error xmlError(XmlError which, std::string_view detail) {
    const Entry& e = entryFor(which);
    std::string text(e.text);
    if (!detail.empty()) {
        while (!text.empty() && text.back() == '.') text.pop_back();
        text += ": ";
        text += detail;
    }
    return Error(static_cast<int32_t>(e.number), std::move(text), std::string(e.source));
}

void raiseXml(XmlError which, std::string_view detail) { throw xmlError(which, detail); }

}  // namespace lumora::xml
