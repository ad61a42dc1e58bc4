#pragma once
// The ProgIDs and class ids of the outside applications and stand-ins that the controls and the
// host create, in one place. The deliverables' own identities are in deliverables.hpp.

#include <string_view>

namespace lumora::progid {

using Id = std::string_view;

inline constexpr Id Outlook = "Outlook.Application";
inline constexpr Id Word = "Word.Application";
inline constexpr Id Excel = "Excel.Application";
inline constexpr Id AcrobatApp = "AcroExch.App";
inline constexpr Id AcrobatDocView = "AcroExch.AVDoc";
inline constexpr Id PdfDocument = "AcroExch.PDDoc";
inline constexpr Id Telephony = "TAPI.TAPI";
inline constexpr Id FileSystem = "Scripting.FileSystemObject";
inline constexpr Id XmlDocument = "Msxml2.DOMDocument";
inline constexpr Id XmlDocument30 = "Msxml2.DOMDocument.3.0";
inline constexpr Id XmlDocumentLegacy = "Microsoft.XMLDOM";
inline constexpr Id HttpRequest = "MSXML2.XMLHTTP.3.0";
inline constexpr Id HttpRequestUnversioned = "MSXML2.XMLHTTP";
inline constexpr Id HttpRequestLegacy = "microsoft.xmlhttp";
inline constexpr Id HtmlDocument = "Lumora.HTMLDocument";
// What a person does in the PIM itself (selecting items, opening and sharing mailboxes), for
// tests, scripts and the demo page.
inline constexpr Id PimAdmin = "Lumora.PimAdmin";
// The PIM's sync with its groupware accounts: their state, and a sync now.
inline constexpr Id PimSync = "Lumora.PimSync";

}  // namespace lumora::progid

namespace lumora::clsid {

using Id = std::string_view;

inline constexpr Id FileSystem = "{0D43FE01-F093-11CF-8940-00A0C9054228}";
inline constexpr Id XmlDocument = "{F5078F32-C551-11D3-89B9-0000F81FE221}";
inline constexpr Id Telephony = "{21D6D48E-A88B-11D0-83DD-00AA003CCABD}";

}  // namespace lumora::clsid
