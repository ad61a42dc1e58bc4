#pragma once
// The desktop control raises no numbered errors of its own: work this build does not offer stops
// with the runtime's "action not supported" error, and a PDF converter that presents no document
// with "Path/File access error", each with a source naming the routine.

#include <cstdint>
#include <string_view>

#include "Automation/deliverables.hpp"
#include "Automation/error.hpp"

namespace lumora::control {

// The number the server-name message quotes: the automation object-error base itself,
// whatever went wrong.
inline constexpr int32_t kServerNameMessageNumber = kObjectErrorBase;

inline Error notAvailable(std::string_view routine) {
    return Error(RuntimeError::ActionNotSupported, deliverables::routineSource(routine));
}

// The PDF converter did not present the document it was asked to open, in time or at all.
inline Error pdfDocumentNotPresented() {
    return Error(RuntimeError::PathFileAccessError, deliverables::routineSource("ConvertHtmlToPdf"));
}

}  // namespace lumora::control
