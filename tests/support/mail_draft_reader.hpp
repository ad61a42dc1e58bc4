#pragma once
// Reads the draft e-mails the PIM writes with an independent parser: Python's own e-mail
// package (read_mail_draft.py says what it reports).

#include <filesystem>
#include <nlohmann/json.hpp>

#include "support_commands.hpp"

namespace lumora::testing {

// The draft as read_mail_draft.py reports it; its attachments are saved into `partsFolder`
// when one is given. Fails the test when the parser cannot read it.
inline nlohmann::json readMailDraft(const std::filesystem::path& file, const std::filesystem::path& partsFolder = {}) {
    std::string command = systemPython() + " '" + (testSupportFolder() / "read_mail_draft.py").string() + "' '" +
                          file.string() + "'";
    if (!partsFolder.empty()) command += " '" + partsFolder.string() + "'";
    const CommandResult read = runCommand(command);
    if (!read.succeeded) {
        ADD_FAILURE() << "Python's e-mail parser could not read " << file << ": " << read.output;
        return nlohmann::json::object();
    }
    return nlohmann::json::parse(read.output);
}

}  // namespace lumora::testing
