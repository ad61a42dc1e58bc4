#pragma once
// A password a person gives a command: the first line of a file, or of standard input, asked for
// unseen at a terminal. Never echoed, never logged.

#include <optional>
#include <string>

namespace lumora::host::cli {

// `command` prefixes the usage errors ("pim account add"); `prompt` is asked at a terminal.
// Throws UsageError for an unreadable file, an empty password or one over 4096 bytes.
std::string readPassword(const std::string& command, const std::optional<std::string>& file, const std::string& prompt);

}  // namespace lumora::host::cli
