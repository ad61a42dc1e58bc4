#pragma once
// Reads produced workbooks back with real spreadsheet software: openpyxl (Debian's
// python3-openpyxl) for cells, types, bold and widths, and LibreOffice Calc converting to CSV.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>

namespace lumora::testing {

inline std::filesystem::path testSupportFolder() {
    if (const char* source = std::getenv("LUMORA_SOURCE_DIR")) return std::filesystem::path(source) / "tests" / "support";
    return std::filesystem::path(__FILE__).parent_path();
}

struct CommandResult {
    bool succeeded = false;
    std::string output;  // standard output and error
};

// Runs a command whose arguments are paths this test made (no quotes in them).
inline CommandResult runCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return result;
    std::array<char, 4096> buffer;
    size_t read = 0;
    while ((read = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) result.output.append(buffer.data(), read);
    result.succeeded = pclose(pipe) == 0;
    return result;
}

// The system's Python, which has the Debian modules (a Python of the user's own may not).
inline std::string systemPython() { return std::filesystem::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3"; }

// The workbook as read_xlsx.py reports it; fails the test when it cannot be read.
inline nlohmann::json readXlsx(const std::filesystem::path& file) {
    const CommandResult read =
        runCommand(systemPython() + " '" + (testSupportFolder() / "read_xlsx.py").string() + "' '" + file.string() + "'");
    if (!read.succeeded) {
        ADD_FAILURE() << "openpyxl could not read " << file << ": " << read.output;
        return nlohmann::json::parse(R"({"sheets": [{"cells": []}]})");
    }
    return nlohmann::json::parse(read.output);
}

// The entry [row, column, value, type, bold] of one cell of the first sheet, null when empty.
inline nlohmann::json cellOf(const nlohmann::json& workbook, int row, int column) {
    for (const auto& cell : workbook["sheets"][0]["cells"])
        if (cell[0] == row && cell[1] == column) return cell;
    return nullptr;
}

// The first sheet as LibreOffice Calc converts it to CSV, or nullopt when LibreOffice is not
// installed (the caller skips). Fails the test when an installed Calc cannot convert it.
inline std::optional<std::string> calcCsv(const std::filesystem::path& file, const std::filesystem::path& workFolder) {
    if (!runCommand("command -v soffice").succeeded) return std::nullopt;
    const std::filesystem::path profile = workFolder / "calc-profile";
    const std::filesystem::path out = workFolder / "csv";
    std::filesystem::create_directories(out);
    const CommandResult converted = runCommand("soffice -env:UserInstallation=file://" + profile.string() +
                                               " --headless --convert-to csv --outdir '" + out.string() + "' '" +
                                               file.string() + "'");
    const std::filesystem::path csv = out / (file.stem().string() + ".csv");
    if (!converted.succeeded || !std::filesystem::exists(csv)) {
        ADD_FAILURE() << "LibreOffice Calc could not convert " << file << ": " << converted.output;
        return std::string();
    }
    std::ifstream in(csv, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace lumora::testing
