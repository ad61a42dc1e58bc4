#include "credential_store.hpp"

namespace lumora::host {

namespace {

constexpr std::string_view kCredentialsFile = "credentials.json";

}  // namespace

std::unique_ptr<CredentialStore> openCredentialStore(const std::filesystem::path& dataFolder) {
    if (auto keyring = keyringCredentials()) return keyring;
    return fileCredentials(dataFolder / kCredentialsFile);
}

}  // namespace lumora::host
