#pragma once
// Reads the mail drafts the PIM writes with independent readers: Python's email package (policy
// default), ripmime and munpack (read_mail_draft.py says what it reports).

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "support_commands.hpp"

namespace lumora::testing {

// The draft as read_mail_draft.py reports it; its attachments are saved into `partsFolder` when
// one is given. Fails the test when a reader cannot read it.
inline nlohmann::json readMailDraft(const std::filesystem::path& file, const std::filesystem::path& partsFolder = {}) {
    if (partsFolder.empty())
        return readWithSupportScript("read_mail_draft.py", file, "Python's email, ripmime or munpack",
                                     nlohmann::json::object());
    const CommandResult read = runCommand(systemPython() + " '" + (testSupportFolder() / "read_mail_draft.py").string() +
                                          "' '" + file.string() + "' '" + partsFolder.string() + "'");
    if (!read.succeeded) {
        ADD_FAILURE() << "Python's email, ripmime or munpack could not read " << file << ": " << read.output;
        return nlohmann::json::object();
    }
    return nlohmann::json::parse(read.output);
}

// Bytes as the report gives them, in lower-case hex.
inline std::string hexOf(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (unsigned char byte : bytes) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0xF];
    }
    return hex;
}

}  // namespace lumora::testing
