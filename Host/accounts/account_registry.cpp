#include "account_registry.hpp"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "Host/host_errors.hpp"
#include "owner_file.hpp"

namespace lumora::host {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kAccountsFile = "accounts.json";
constexpr uintmax_t kMaxFileBytes = 4u << 20;

// The account's fields by their names in the file.
constexpr std::pair<std::string_view, std::string GroupwareAccount::*> kFields[] = {
    {"name", &GroupwareAccount::name},
    {"serverUrl", &GroupwareAccount::serverUrl},
    {"user", &GroupwareAccount::user},
    {"principal", &GroupwareAccount::principal},
    {"calendarHome", &GroupwareAccount::calendarHome},
    {"addressbookHome", &GroupwareAccount::addressbookHome},
    {"lastError", &GroupwareAccount::lastError},
};

// The sync's counters, by their names in the file.
constexpr std::pair<std::string_view, int64_t GroupwareAccount::*> kCounters[] = {
    {"lastSync", &GroupwareAccount::lastSync},
    {"failures", &GroupwareAccount::failures},
    {"retryAt", &GroupwareAccount::retryAt},
};

}  // namespace

AccountRegistry::AccountRegistry(fs::path dataFolder) : m_file(dataFolder / kAccountsFile) {
    const std::optional<std::string> bytes = readOwnerFile(m_file, kMaxFileBytes);
    if (!bytes) return;
    const nlohmann::json list = nlohmann::json::parse(*bytes, nullptr, false);
    if (!list.is_array()) raise(HostError::PrivateFileUnreadable, m_file.string());
    for (const nlohmann::json& entry : list) {
        if (!entry.is_object()) raise(HostError::PrivateFileUnreadable, m_file.string());
        GroupwareAccount account;
        for (const auto& [key, field] : kFields) {
            const auto value = entry.find(key);
            if (value == entry.end()) continue;
            if (!value->is_string()) raise(HostError::PrivateFileUnreadable, m_file.string());
            account.*field = value->get<std::string>();
        }
        for (const auto& [key, counter] : kCounters) {
            const auto value = entry.find(key);
            if (value == entry.end()) continue;
            if (!value->is_number_integer()) raise(HostError::PrivateFileUnreadable, m_file.string());
            account.*counter = value->get<int64_t>();
        }
        if (account.name.empty()) raise(HostError::PrivateFileUnreadable, m_file.string());
        m_accounts.push_back(std::move(account));
    }
}

std::vector<std::string> AccountRegistry::names() const {
    std::vector<std::string> names;
    for (const GroupwareAccount& account : m_accounts) names.push_back(account.name);
    return names;
}

const GroupwareAccount* AccountRegistry::find(const std::string& name) const {
    const auto found = std::find_if(m_accounts.begin(), m_accounts.end(),
                                    [&](const GroupwareAccount& account) { return account.name == name; });
    return found == m_accounts.end() ? nullptr : &*found;
}

void AccountRegistry::add(GroupwareAccount account) {
    if (find(account.name)) raise(HostError::AccountExists, account.name);
    m_accounts.push_back(std::move(account));
    try {
        save();
    } catch (...) {
        m_accounts.pop_back();
        throw;
    }
}

void AccountRegistry::remove(const std::string& name) {
    const auto kept = std::erase_if(m_accounts, [&](const GroupwareAccount& account) { return account.name == name; });
    if (kept == 0) raise(HostError::NoSuchAccount, name);
    save();
}

void AccountRegistry::update(const GroupwareAccount& account) {
    const auto found = std::find_if(m_accounts.begin(), m_accounts.end(),
                                    [&](const GroupwareAccount& known) { return known.name == account.name; });
    if (found == m_accounts.end()) raise(HostError::NoSuchAccount, account.name);
    *found = account;
    save();
}

void AccountRegistry::save() const {
    nlohmann::json list = nlohmann::json::array();
    for (const GroupwareAccount& account : m_accounts) {
        nlohmann::json entry = nlohmann::json::object();
        for (const auto& [key, field] : kFields) entry[std::string(key)] = account.*field;
        for (const auto& [key, counter] : kCounters) entry[std::string(key)] = account.*counter;
        list.push_back(std::move(entry));
    }
    writeOwnerFile(m_file, list.dump(2) + "\n");
}

}  // namespace lumora::host
