#pragma once
// The numbered failures of the XML document and HTTP request objects, in one table. Code names
// the entry; the number and text are written once, in xml_errors.cpp.

#include <cstdint>
#include <string>
#include <string_view>

#include "Automation/error.hpp"

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

// The error for an entry; detail, when given, is appended to the standard text after ": ".
Error xmlError(XmlError which, std::string_view detail = {});
[[noreturn]] void raiseXml(XmlError which, std::string_view detail = {});

// The source text the XML and HTTP objects put on their errors.
inline constexpr std::string_view kXmlErrorSource = "Lumora.XML";
inline constexpr std::string_view kHttpErrorSource = "Lumora.XMLHTTP";

}  // namespace lumora::xml
