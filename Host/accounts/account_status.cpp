#include "account_status.hpp"

#include "Platform/Outlook/pim_store.hpp"
#include "Platform/Sync/pending_changes.hpp"
#include "local_time_text.hpp"

namespace lumora::host {

std::vector<AccountStatus> accountStatuses(const std::filesystem::path& dataFolder) {
    const AccountRegistry registry(dataFolder);
    std::vector<AccountStatus> statuses;
    if (registry.accounts().empty()) return statuses;  // no store is opened for a PIM without accounts
    pim::PimStore store(dataFolder);
    for (const GroupwareAccount& account : registry.accounts())
        statuses.push_back({account, sync::pendingChanges(store, account.name)});
    return statuses;
}

std::string stateWord(const GroupwareAccount& account) {
    if (!account.lastError.empty()) return "offline";
    return account.lastSync != 0 ? "synced" : "never synced";
}

std::string statusText(const AccountStatus& status) {
    const GroupwareAccount& account = status.account;
    std::string text = account.lastSync != 0 ? "last sync " + localTimeText(account.lastSync) : "never synced";
    text += ", " + std::to_string(status.pendingChanges) +
            (status.pendingChanges == 1 ? " change waiting" : " changes waiting");
    if (!account.lastError.empty()) {
        text += "; last error: " + account.lastError;
        if (account.retryAt != 0) text += "; next attempt " + localTimeText(account.retryAt);
    }
    return text;
}

}  // namespace lumora::host
