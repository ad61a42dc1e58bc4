#pragma once
// The desktop control's own errors. A PDF converter that presents no document stops with
// "Path/File access error", with a source naming the routine. The errors the quote's HTML table
// template raises are in the one table below: code names the entry, never its text.

#include <cstdint>
#include <span>
#include <string_view>

#include "Automation/deliverables.hpp"
#include "Automation/error.hpp"
#include "Automation/error_table.hpp"

namespace lumora::control {

// The number the server-name message quotes: the automation object-error base itself,
// whatever went wrong.
inline constexpr int32_t kServerNameMessageNumber = kObjectErrorBase;

// The PDF converter did not present the document it was asked to open, in time or at all.
inline Error pdfDocumentNotPresented() {
    return Error(RuntimeError::PathFileAccessError, deliverables::routineSource("ConvertHtmlToPdf"));
}

enum class ControlError {
    TemplateNameNotPlain,  // the quote names its HTML table template with a folder in it
    TemplateNotServed,     // the web server answered the template's GET with a failure status
    LineRowNotMarked,      // no line-row start marker, or no end marker after it
    GroupRowNotMarked,     // a group-heading block not closed, or not after the line row
    FilledTemplateTooLarge,
};

// The numbers are those script would see for the same trouble: a missing file, a bad
// argument, and out of memory for a table that would outgrow what Word takes in.
inline constexpr ErrorEntry<ControlError> kControlErrors[] = {
    {ControlError::TemplateNameNotPlain, RuntimeError::PathNotFound, LUMORA_ROUTINE_SOURCE("FetchHtmlTemplate"),
     "The html table template must be named without a folder: {}"},
    {ControlError::TemplateNotServed, RuntimeError::FileNotFound, LUMORA_ROUTINE_SOURCE("FetchHtmlTemplate"),
     "The web server did not send the html table template: {}"},
    {ControlError::LineRowNotMarked, RuntimeError::InvalidProcedureCall, LUMORA_ROUTINE_SOURCE("FillHtmlTemplate"),
     "The html table template has no line row: its start marker must be followed by its end marker"},
    {ControlError::GroupRowNotMarked, RuntimeError::InvalidProcedureCall, LUMORA_ROUTINE_SOURCE("FillHtmlTemplate"),
     "The group heading row of the html table template must follow the line row and end with its end marker"},
    {ControlError::FilledTemplateTooLarge, RuntimeError::OutOfMemory, LUMORA_ROUTINE_SOURCE("FillHtmlTemplate"),
     "The html table template filled with the quote lines would pass {} bytes"},
};

constexpr std::span<const ErrorEntry<ControlError>> errorTable(ControlError) { return kControlErrors; }

}  // namespace lumora::control
