#pragma once
// What the sync benchmarks share: a real radicale whose user alice has a calendar and an address
// book seeded in bulk, and PIM stores in data folders of their own whose Calendar and Contacts
// are bound to them the way adding the account binds them.

#include <cstdint>
#include <memory>
#include <string>

#include "Host/accounts/account_sync_runner.hpp"
#include "Platform/Dav/dav_client.hpp"
#include "Platform/Outlook/pim_store.hpp"
#include "Platform/Sync/collection_pull.hpp"
#include "seeded_storage.hpp"
#include "tests/Automation/temp_folder.hpp"
#include "tests/support/radicale_server.hpp"

namespace lumora::bench {

class SyncServer {
public:
    SyncServer(int events, int contacts);

    // A client of alice's account, as the account's settings make one.
    dav::DavClient client() const;
    // Has radicale read every seeded member once (its item cache and sync history filled), as a
    // server that has answered before has them; that first reading may take minutes.
    void warmUp() const;
    std::string url(std::string_view path) const { return m_server.url(path); }
    const SeededAccount& seeded() const { return m_seeded; }

private:
    test::RadicaleServer m_server;
    SeededAccount m_seeded;
};

struct BothPulled {
    sync::PullResult events;
    sync::PullResult contacts;
};

class BoundStore {
public:
    // Discovers the account's collections (making the defaults it lacks, a task list here) and
    // binds the default folders to them, as `lumora pim account add` does.
    explicit BoundStore(dav::DavClient& client);

    pim::PimStore& store() { return *m_store; }
    int64_t calendarFolder() const { return m_calendar; }
    int64_t contactsFolder() const { return m_contacts; }
    sync::SyncBinding calendarBinding() { return *sync::bindingOfFolder(*m_store, m_calendar); }
    sync::SyncBinding contactsBinding() { return *sync::bindingOfFolder(*m_store, m_contacts); }

    // A pull of the Calendar, then of the Contacts, from where each left off.
    BothPulled pullBoth(dav::DavClient& client);

    // The account in the data folder's account list, its password in the owner's file, as
    // `lumora pim account add` keeps them where no keyring runs.
    void keepAccount(const dav::DavClient& client, const std::string& password);
    // What `lumora serve` does once a call has returned: the changes waiting in the account's
    // folders sent, through the account's settings and kept password.
    host::AccountSyncReport pushWaitingChanges();

private:
    tests::TempFolder m_data;
    std::unique_ptr<pim::PimStore> m_store;
    int64_t m_calendar = 0;
    int64_t m_contacts = 0;
};

}  // namespace lumora::bench
