#pragma once
// The passwords of the SIP lines, kept where the groupware accounts' are (credential_store.hpp):
// the desktop keyring, or a file only the user can read. Each is kept under "sip-line:" and the
// line's name in lower case, since line names ignore letter case.

#include <filesystem>
#include <string>

namespace lumora::host {

// Makes the telephony stand-in find a line's password here.
void keepLinePasswordsInCredentialStore();
// Keeps the password; returns where, as a person reads it. Errors: those of the credential store.
std::string saveLinePassword(const std::filesystem::path& dataFolder, const std::string& line, const std::string& password);
// Nothing happens when none is kept.
void forgetLinePassword(const std::filesystem::path& dataFolder, const std::string& line);

}  // namespace lumora::host
