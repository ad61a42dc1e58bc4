#include "line_passwords.hpp"

#include "Automation/registry.hpp"
#include "Automation/vb/strings.hpp"
#include "Platform/Telephony/line_list.hpp"
#include "credential_store.hpp"

namespace lumora::host {

namespace {

std::string keyOf(const std::string& line) { return "sip-line:" + vb::lCase(line); }

}  // namespace

void keepLinePasswordsInCredentialStore() {
    telephony::setLinePasswordSource([](const telephony::Line& line) {
        const auto kept = openCredentialStore(Registry::instance().dataFolder())->load(keyOf(line.name));
        return kept.value_or(std::string());
    });
}

std::string saveLinePassword(const std::filesystem::path& dataFolder, const std::string& line,
                             const std::string& password) {
    auto store = openCredentialStore(dataFolder);
    store->save(keyOf(line), password);
    return store->place();
}

void forgetLinePassword(const std::filesystem::path& dataFolder, const std::string& line) {
    openCredentialStore(dataFolder)->forget(keyOf(line));
}

}  // namespace lumora::host
