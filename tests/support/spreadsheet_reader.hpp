#pragma once
// Reads produced workbooks back with real spreadsheet software: openpyxl (Debian's
// python3-openpyxl) for cells, types, bold and widths, and LibreOffice Calc converting to CSV.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>

#include "support_commands.hpp"

namespace lumora::testing {

// The workbook as read_xlsx.py reports it; fails the test when it cannot be read.
inline nlohmann::json readXlsx(const std::filesystem::path& file) {
    return readWithSupportScript("read_xlsx.py", file, "openpyxl", nlohmann::json::parse(R"({"sheets": [{"cells": []}]})"));
}

// The entry [row, column, value, type, bold] of one cell of the first sheet, null when empty.
inline nlohmann::json cellOf(const nlohmann::json& workbook, int row, int column) {
    for (const auto& cell : workbook["sheets"][0]["cells"])
        if (cell[0] == row && cell[1] == column) return cell;
    return nullptr;
}

// A copy of the workbook at `target` with `formula` typed into `cell` of its first sheet
// (openpyxl); fails the test when it cannot be made.
inline void addFormula(const std::filesystem::path& file, const std::filesystem::path& target, const std::string& cell,
                       const std::string& formula) {
    const CommandResult added = runCommand(systemPython() + " '" + (testSupportFolder() / "add_formula.py").string() +
                                           "' '" + file.string() + "' '" + target.string() + "' " + cell + " '" +
                                           formula + "'");
    if (!added.succeeded) ADD_FAILURE() << "openpyxl could not add " << formula << " to " << file << ": " << added.output;
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
