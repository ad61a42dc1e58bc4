#pragma once
// The control's private operations that members of every concern share: Outlook's clean-up and
// failure result, the temporary folder, quiet file deletion, GUID text and the locale buffer
// helper. None of them is reachable through the interface.

#include <cstdint>
#include <string>
#include <string_view>

#include "Automation/error.hpp"
#include "Automation/traps.hpp"
#include "control.hpp"

namespace lumora::control {

// Releases the Outlook references in their fixed order; never closes Outlook, saves or
// discards an item. Calling it twice is harmless.
void cleanUpOutlook(ControlState& state);

// The failure result of the three "open" members: "NoOutlook" when the pending error is 429
// (Outlook could not be created), otherwise the member's code in decimal ("7", "8", "9").
// The step text is part of the signature the members call it with but not of the result.
std::string OutlookErrorResult(const StepText& step, int16_t code, const Error& pending);

// The main trap of the "open" members: OutlookErrorResult for the failure, after Outlook is
// released.
Variant outlookOpenFailure(ControlState& state, std::string_view step, int16_t code, const Error& pending);

// The temporary folder as the system gives it, ending in a path separator; "" on failure.
std::string GetTempFolderPath();

// Makes a new empty file in the folder, named by the first three characters of the prefix, a
// unique hexadecimal number and ".TMP", as the system's temporary-file call does, and returns
// its path. Errors: 76 for no folder, 52 for a prefix that would name another folder, 75 when
// the folder takes no new file.
std::string GetTempFileName(const std::string& folder, std::string_view prefix);

// Deletes a file through the file-system object; read-only files are not forced, and a
// missing file or any other failure is silently ignored.
void DeleteFileQuietly(std::string_view path);

// Deletes a temporary file the control wrote, read-only or not (GetFile(path).Delete with
// force); any failure is silently ignored.
void deleteFileForced(std::string_view path);

// A new GUID as 36 characters (8-4-4-4-12 upper-case hexadecimal digits), or "" when none
// could be made.
std::string CreateGuidString();

// The text before the first character code 0; "1" when the text holds none.
std::string StripAtNull(std::string_view text);

}  // namespace lumora::control
