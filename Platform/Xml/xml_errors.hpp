#pragma once
// The numbered failures of the XML document and HTTP request objects, in one table. Code names
// the entry (raise(XmlError::InvalidName, name)); the number and text are written once, here.

#include <cstdint>
#include <string>
#include <string_view>

#include "Automation/error_table.hpp"

namespace lumora::xml {

enum class XmlError {
    // Document and node operations.
    NotAChild,
    WrongNodeType,
    AncestorInsertion,
    SecondDocumentElement,
    NodeValueNotAllowed,
    InvalidName,
    InvalidContent,
    AttributeInUse,
    TooDeep,
    NotANodeSetResult,
    InvalidXPath,
    XPathTooCostly,
    UnknownProperty,
    InvalidPropertyValue,
    SaveFailed,
    // Transformations.
    StylesheetInvalid,
    TransformFailed,
    TransformAccessRefused,
    // HTTP requests.
    NotOpened,
    NotYetAvailable,
    InvalidUrl,
    UnsupportedScheme,
    InvalidHeader,
    InvalidMethod,
    CannotResolve,
    CannotConnect,
    TimedOut,
    RedirectRefused,
    ResponseTooLarge,
    TransferFailed,
};

// The source text the XML and HTTP objects put on their errors.
inline constexpr std::string_view kXmlErrorSource = "Lumora.XML";
inline constexpr std::string_view kHttpErrorSource = "Lumora.XMLHTTP";

// Where the system has a standard number for the condition (invalid argument, the internet
// error codes of the HTTP stack) it is used, so script that tests numbers keeps working; the
// rest are this library's own numbers above the object-error base.
inline constexpr int32_t kInvalidArg = static_cast<int32_t>(0x80070057u);
inline constexpr int32_t kFail = static_cast<int32_t>(0x80004005u);
inline constexpr int32_t kOwn = kObjectErrorBase + 0x0700;

inline constexpr ErrorEntry<XmlError> kXmlErrors[] = {
    {XmlError::NotAChild, kInvalidArg, kXmlErrorSource, "The parameter node is not a child of this node."},
    {XmlError::WrongNodeType, kFail, kXmlErrorSource, "This operation can not be performed with a node of this type."},
    {XmlError::AncestorInsertion, kFail, kXmlErrorSource, "A node cannot be inserted below itself or one of its descendants."},
    {XmlError::SecondDocumentElement, kFail, kXmlErrorSource, "Only one top level element is allowed in an XML document."},
    {XmlError::NodeValueNotAllowed, kFail, kXmlErrorSource, "This node type has no value that can be set."},
    {XmlError::InvalidName, kFail, kXmlErrorSource, "The name is not a valid XML name"},
    {XmlError::InvalidContent, kFail, kXmlErrorSource, "The text cannot be held by this kind of node without breaking the markup"},
    {XmlError::AttributeInUse, kFail, kXmlErrorSource, "The attribute already belongs to another element."},
    {XmlError::TooDeep, kOwn + 1, kXmlErrorSource, "The document would be nested deeper than the allowed 256 levels."},
    {XmlError::NotANodeSetResult, kFail, kXmlErrorSource, "Expression does not return a DOM node."},
    {XmlError::InvalidXPath, kFail, kXmlErrorSource, "Invalid XPath expression"},
    {XmlError::XPathTooCostly, kOwn + 2, kXmlErrorSource, "The XPath expression is too costly to evaluate"},
    {XmlError::UnknownProperty, kInvalidArg, kXmlErrorSource, "Property name is invalid"},
    {XmlError::InvalidPropertyValue, kInvalidArg, kXmlErrorSource, "Property value is invalid"},
    {XmlError::SaveFailed, RuntimeError::PathFileAccessError, kXmlErrorSource, "The document could not be saved"},
    {XmlError::StylesheetInvalid, kFail, kXmlErrorSource, "The stylesheet is not valid"},
    {XmlError::TransformFailed, kFail, kXmlErrorSource, "The transformation failed"},
    {XmlError::TransformAccessRefused, kOwn + 3, kXmlErrorSource, "The stylesheet tried to read or write a file or a network resource, which is not allowed"},
    {XmlError::NotOpened, kOwn + 4, kHttpErrorSource, "The request has not been opened"},
    {XmlError::NotYetAvailable, static_cast<int32_t>(0x8000000Au), kHttpErrorSource, "The data necessary to complete this operation is not yet available."},
    {XmlError::InvalidUrl, static_cast<int32_t>(0x80072EE5u), kHttpErrorSource, "The URL is invalid"},
    {XmlError::UnsupportedScheme, static_cast<int32_t>(0x80072EE6u), kHttpErrorSource, "The URL does not use a recognized protocol"},
    {XmlError::InvalidHeader, kInvalidArg, kHttpErrorSource, "The header name or value is invalid"},
    {XmlError::InvalidMethod, kInvalidArg, kHttpErrorSource, "The request method is invalid"},
    {XmlError::CannotResolve, static_cast<int32_t>(0x80072EE7u), kHttpErrorSource, "The server name or address could not be resolved"},
    {XmlError::CannotConnect, static_cast<int32_t>(0x80072EFDu), kHttpErrorSource, "A connection with the server could not be established"},
    {XmlError::TimedOut, static_cast<int32_t>(0x80072EE2u), kHttpErrorSource, "The operation timed out"},
    {XmlError::RedirectRefused, static_cast<int32_t>(0x80072F7Cu), kHttpErrorSource, "The redirection failed because the scheme changed or too many redirects were made"},
    {XmlError::ResponseTooLarge, kOwn + 5, kHttpErrorSource, "The response is larger than the allowed 64 MiB"},
    {XmlError::TransferFailed, static_cast<int32_t>(0x800C0008u), kHttpErrorSource, "The download failed"},
};

constexpr std::span<const ErrorEntry<XmlError>> errorTable(XmlError) { return kXmlErrors; }

}  // namespace lumora::xml
