#pragma once
// Running the independent readers that check the files the product writes: a command of paths
// the test made, and the system's Python with Debian's modules, from this folder.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "support_folder.hpp"

namespace lumora::testing {

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

// A document's text as LibreOffice lays it out and pdftotext reads it back: the PDF and the
// LibreOffice profile go into `work`.
inline std::string documentTextThroughLibreOffice(const std::filesystem::path& document,
                                                  const std::filesystem::path& work) {
    const CommandResult converted = runCommand("soffice -env:UserInstallation=file://" + (work / "profile").string() +
                                               " --headless --convert-to pdf --outdir '" + work.string() + "' '" +
                                               document.string() + "'");
    const std::filesystem::path pdf = work / (document.stem().string() + ".pdf");
    if (!converted.succeeded || !std::filesystem::exists(pdf)) return "<conversion failed> " + converted.output;
    const CommandResult text = runCommand("pdftotext '" + pdf.string() + "' -");
    return text.succeeded ? text.output : "<pdftotext failed> " + text.output;
}

// What one of this folder's Python readers reports on a file, as JSON; when it cannot read the
// file, the test fails naming the reader, and `fallback` stands in.
inline nlohmann::json readWithSupportScript(const std::string& script, const std::filesystem::path& file,
                                            const std::string& reader, nlohmann::json fallback) {
    const CommandResult read =
        runCommand(systemPython() + " '" + (testSupportFolder() / script).string() + "' '" + file.string() + "'");
    if (!read.succeeded) {
        ADD_FAILURE() << reader << " could not read " << file << ": " << read.output;
        return fallback;
    }
    return nlohmann::json::parse(read.output);
}

}  // namespace lumora::testing
