#include "pim_account_commands.hpp"

#include <fstream>
#include <iostream>

#include "Automation/registry.hpp"
#include "Host/accounts/account_registry.hpp"
#include "Host/accounts/account_status.hpp"
#include "Host/accounts/credential_store.hpp"
#include "Host/accounts/sync_report_text.hpp"
#include "Host/host_errors.hpp"
#include "Platform/Dav/account_discovery.hpp"
#include "Platform/Outlook/pim_store.hpp"
#include "Platform/Sync/default_bindings.hpp"
#include "Platform/Sync/further_bindings.hpp"
#include "Platform/Sync/shared_bindings.hpp"
#include "Platform/Sync/sync_state.hpp"
#include "command_words.hpp"
#include "commands.hpp"
#include "password_input.hpp"

namespace lumora::host::cli {

namespace {

// "pat@dav.example.com": how an account is named when the person names none.
std::string defaultName(const std::string& user, const std::string& url) {
    std::string host = url.substr(url.find("://") == std::string::npos ? 0 : url.find("://") + 3);
    host = host.substr(0, host.find('/'));
    return user + "@" + host;
}

// Finds the account's collections and makes the default ones a new account lacks, before
// anything is kept: a wrong password or an unreachable server changes nothing.
int addAccount(const std::vector<std::string>& args) {
    const CommandWords read = readWords("pim account add", {args.begin() + 1, args.end()},
                                        {"--user", "--password-file", "--name"}, {});
    if (read.words.size() != 1 || !read.value("--user"))
        throw UsageError("pim account add needs the server's address and --user NAME");
    const std::string url = read.words[0];
    const std::string user = *read.value("--user");
    const std::string name = read.value("--name").value_or(defaultName(user, url));
    const std::filesystem::path dataFolder = Registry::instance().dataFolder();
    AccountRegistry registry(dataFolder);
    if (registry.find(name)) raise(HostError::AccountExists, name);

    const std::string password = readPassword("pim account add", read.value("--password-file"), "Password for " + user + " at " + url);
    dav::DavClient client({url, user, password});
    const dav::AccountHomes homes = dav::discoverHomes(client);
    const std::vector<dav::DavCollection> collections = dav::ensureDefaultCollections(client, homes);
    const std::vector<dav::SharedCollection> shares = dav::findSharedCollections(client, homes, collections);

    std::unique_ptr<CredentialStore> credentials = openCredentialStore(dataFolder);
    credentials->save(name, password);
    try {
        registry.add({name, client.baseUrl(), user, homes.principal, homes.calendarHome, homes.addressBookHome});
    } catch (...) {
        credentials->forget(name);
        throw;
    }
    // The default folders follow the account's collections from the next sync on.
    std::shared_ptr<pim::PimStore> store = pim::PimStore::shared(dataFolder);
    const sync::DefaultCollections chosen = sync::chooseDefaultCollections(collections);
    const auto bound = sync::bindDefaultFolders(*store, name, chosen);
    // Further calendars and address books of the person's own become subfolders of those folders.
    const auto further = sync::bindFurtherCollections(*store, name, collections, chosen);
    // Other users' shared calendars and address books become their mailboxes' default folders.
    const auto sharedBound = sync::bindSharedCollections(*store, name, shares);
    std::cout << "Added " << name << ": " << collections.size() << " collection"
              << (collections.size() == 1 ? "" : "s") << " on " << client.baseUrl() << ", " << bound.size()
              << " default folder" << (bound.size() == 1 ? "" : "s") << " bound";
    if (!further.empty())
        std::cout << ", " << further.size() << " subfolder" << (further.size() == 1 ? "" : "s")
                  << " for further collections";
    if (!sharedBound.empty())
        std::cout << ", " << sharedBound.size() << " folder" << (sharedBound.size() == 1 ? "" : "s")
                  << " shared by other users";
    std::cout << "; the password is kept in " << credentials->place() << '\n';
    return kExitOk;
}

int listAccounts() {
    const std::vector<AccountStatus> statuses = accountStatuses(Registry::instance().dataFolder());
    if (statuses.empty()) std::cout << "No accounts: the PIM keeps everything on this computer.\n";
    for (const AccountStatus& status : statuses)
        std::cout << status.account.name << "\t" << status.account.serverUrl << "\t" << status.account.user << "\t"
                  << stateWord(status.account) << "\t" << statusText(status) << '\n';
    return kExitOk;
}

// Syncs the named account, or every account; fails when one of them could not be synced whole.
int syncAccounts(const std::vector<std::string>& args) {
    const CommandWords read = readWords("pim sync", {args.begin() + 1, args.end()}, {"--account"}, {});
    if (!read.words.empty()) throw UsageError("pim sync takes only --account NAME");
    const std::filesystem::path dataFolder = Registry::instance().dataFolder();
    const auto only = read.value("--account");
    const std::vector<std::string> names = only ? std::vector<std::string>{*only} : AccountRegistry(dataFolder).names();
    if (names.empty()) std::cout << "No accounts to sync: the PIM keeps everything on this computer.\n";
    bool allWell = true;
    pim::PimStore store(dataFolder);
    for (const std::string& name : names) {
        const AccountSyncReport report = runAccountSync(dataFolder, store, name, SyncScope::SharesAndChanges);
        for (const std::string& line : reportLines(report)) (report.failed() ? std::cerr : std::cout) << line << '\n';
        allWell = allWell && !report.failed();
    }
    return allWell ? kExitOk : kExitFailed;
}

int removeAccount(const std::vector<std::string>& args) {
    if (args.size() != 3) throw UsageError("pim account remove needs the account's name");
    const std::filesystem::path dataFolder = Registry::instance().dataFolder();
    AccountRegistry registry(dataFolder);
    registry.remove(args[2]);
    openCredentialStore(dataFolder)->forget(args[2]);
    // Its folders stop following the server: colleagues' shares end, and every folder is unbound.
    std::shared_ptr<pim::PimStore> store = pim::PimStore::shared(dataFolder);
    sync::bindSharedCollections(*store, args[2], {});
    for (const sync::SyncBinding& binding : sync::bindingsOfAccount(*store, args[2]))
        sync::unbindFolder(*store, binding.folder);
    std::cout << "Removed " << args[2] << ": the items stay on this computer, and on the server\n";
    return kExitOk;
}

}  // namespace

bool isPimAccountCommand(const std::vector<std::string>& args) {
    return !args.empty() && (args[0] == "account" || args[0] == "sync");
}

int runPimAccountCommand(const CliOptions& options, const std::vector<std::string>& args) {
    prepareHost(options, false);
    if (args[0] == "sync") return syncAccounts(args);
    if (args.size() >= 2 && args[1] == "add") return addAccount(args);
    if (args.size() == 2 && args[1] == "list") return listAccounts();
    if (args.size() >= 2 && args[1] == "remove") return removeAccount(args);
    throw UsageError(std::string("pim account needs one of: ") + kPimAccountUsage);
}

}  // namespace lumora::host::cli
