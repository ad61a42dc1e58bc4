#include "sync_scene.hpp"

#include "Host/accounts/account_registry.hpp"
#include "Host/accounts/credential_store.hpp"
#include "Platform/Dav/account_discovery.hpp"
#include "Platform/Sync/default_bindings.hpp"
#include "raw_sync_requests.hpp"

namespace lumora::bench {

namespace {

constexpr std::string_view kAccountName = "work";

}  // namespace

SyncServer::SyncServer(int events, int contacts)
    : m_seeded(seedAccount(m_server.folder() / "collections", test::RadicaleServer::kAlice, events, contacts)) {}

dav::DavClient SyncServer::client() const {
    return dav::DavClient({m_server.url("/"), std::string(test::RadicaleServer::kAlice),
                           std::string(test::RadicaleServer::kAlicePassword)});
}

void SyncServer::warmUp() const {
    dav::DavAccount account{m_server.url("/"), std::string(test::RadicaleServer::kAlice),
                            std::string(test::RadicaleServer::kAlicePassword)};
    account.limits.totalTimeout = std::chrono::minutes(30);
    dav::DavClient patient(std::move(account));
    sendRaw(patient, {listingRequest(url(m_seeded.calendar.path), ""), listingRequest(url(m_seeded.addressBook.path), "")});
}

BoundStore::BoundStore(dav::DavClient& client) : m_store(std::make_unique<pim::PimStore>(m_data.path())) {
    const dav::AccountHomes homes = dav::discoverHomes(client);
    const auto collections = dav::ensureDefaultCollections(client, homes);
    sync::bindDefaultFolders(*m_store, std::string(kAccountName), sync::chooseDefaultCollections(collections));
    const int64_t mailbox = m_store->currentMailbox().id;
    m_calendar = m_store->defaultFolder(mailbox, pim::FolderType::Calendar).id;
    m_contacts = m_store->defaultFolder(mailbox, pim::FolderType::Contacts).id;
}

void BoundStore::keepAccount(const dav::DavClient& client, const std::string& password) {
    host::GroupwareAccount account;
    account.name = kAccountName;
    account.serverUrl = client.baseUrl();
    account.user = client.user();
    host::AccountRegistry(m_data.path()).add(account);
    host::fileCredentials(m_data.path() / "credentials.json")->save(std::string(kAccountName), password);
}

host::AccountSyncReport BoundStore::pushWaitingChanges() {
    return host::runAccountSync(m_data.path(), *m_store, std::string(kAccountName),
                                host::SyncScope::PendingChangesOnly);
}

BothPulled BoundStore::pullBoth(dav::DavClient& client) {
    BothPulled pulled;
    pulled.events = sync::pullCollection(*m_store, client, calendarBinding());
    pulled.contacts = sync::pullCollection(*m_store, client, contactsBinding());
    return pulled;
}

}  // namespace lumora::bench
