#pragma once
// Where each groupware account's sync stands, as `lumora pim account list` and the demo page
// show it: when a sync last went well, how many changes made here wait to be sent, and the last
// error with the time of the next attempt.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "account_registry.hpp"

namespace lumora::host {

struct AccountStatus {
    GroupwareAccount account;
    int64_t pendingChanges = 0;
};

// Errors: the account file's and the PIM store's.
std::vector<AccountStatus> accountStatuses(const std::filesystem::path& dataFolder);

// "offline" when the last sync failed, "synced" when one went well since, else "never synced".
std::string stateWord(const GroupwareAccount& account);
// One line for a person: "last sync 2026-12-09 14:05:31, 2 changes waiting; last error: …, next
// attempt 14:06:01".
std::string statusText(const AccountStatus& status);

}  // namespace lumora::host
