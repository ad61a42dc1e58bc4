#pragma once
// Where the password of a groupware account is kept: the desktop keyring (the Secret Service,
// through libsecret) when one answers on the session bus, otherwise a file in the data folder
// that only its owner may read. A password is never kept in the PIM store, never written to a
// log, and never put in an error's text.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace lumora::host {

class CredentialStore {
public:
    virtual ~CredentialStore() = default;
    // Replaces the account's password. Errors: CredentialsNotSaved.
    virtual void save(const std::string& account, const std::string& password) = 0;
    // nullopt when none is kept. Errors: CredentialsUnreadable, CredentialsExposed.
    virtual std::optional<std::string> load(const std::string& account) = 0;
    // Nothing happens when none is kept. Errors: CredentialsNotSaved.
    virtual void forget(const std::string& account) = 0;
    // Where the passwords are, as a person reads it: "the desktop keyring", or the file's path.
    virtual std::string place() const = 0;
};

// The keyring when a Secret Service answers, else the file `credentials.json` of the data folder.
std::unique_ptr<CredentialStore> openCredentialStore(const std::filesystem::path& dataFolder);

// The two places, for callers that must name one (and for tests).
std::unique_ptr<CredentialStore> keyringCredentials();  // nullptr when no Secret Service answers
std::unique_ptr<CredentialStore> fileCredentials(const std::filesystem::path& file);

}  // namespace lumora::host
