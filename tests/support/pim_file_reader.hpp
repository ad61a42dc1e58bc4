#pragma once
// Reads the calendar and vCard files the PIM writes with independent parsers from Debian:
// python3-icalendar and python3-vobject (read_pim_file.py says what it reports).

#include <filesystem>
#include <nlohmann/json.hpp>

#include "support_commands.hpp"

namespace lumora::testing {

// The file as read_pim_file.py reports it; fails the test when either parser cannot read it.
inline nlohmann::json readPimFile(const std::filesystem::path& file) {
    return readWithSupportScript("read_pim_file.py", file, "python3-icalendar or python3-vobject",
                                 nlohmann::json::object());
}

}  // namespace lumora::testing
