#pragma once
// The groupware accounts the PIM syncs with, kept in `accounts.json` of the data folder (a file
// of the owner's alone: it names servers and users). Passwords are not here; they are in the
// credential store under the account's name.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace lumora::host {

struct GroupwareAccount {
    std::string name;             // how the person names it in commands
    std::string serverUrl;        // as the person gave it
    std::string user;
    std::string principal;        // found on the server: the user's principal and home collections
    std::string calendarHome;
    std::string addressbookHome;
    std::string lastError;        // the last sync's failure, empty once one goes well
    int64_t lastSync = 0;         // ms since 1970 when a sync last went well; 0 before the first
    int64_t failures = 0;         // syncs failed in a row since the last that went well
    int64_t retryAt = 0;          // ms since 1970: no background sync before then (0: any time)
};

class AccountRegistry {
public:
    // Errors: PrivateFileExposed, PrivateFileUnreadable (also for a file that is no account list).
    explicit AccountRegistry(std::filesystem::path dataFolder);

    const std::vector<GroupwareAccount>& accounts() const { return m_accounts; }
    std::vector<std::string> names() const;
    const GroupwareAccount* find(const std::string& name) const;
    // Errors: AccountExists; nothing is written then.
    void add(GroupwareAccount account);
    // Errors: NoSuchAccount.
    void remove(const std::string& name);
    // Replaces the stored account of the same name. Errors: NoSuchAccount.
    void update(const GroupwareAccount& account);

private:
    void save() const;

    std::filesystem::path m_file;
    std::vector<GroupwareAccount> m_accounts;
};

}  // namespace lumora::host
