#include "item_push.hpp"

#include <stdexcept>

#include "Platform/Desktop/desktop.hpp"
#include "Platform/Outlook/dav_resources.hpp"
#include "Platform/Sync/sync_state.hpp"

namespace lumora::bench {

namespace {

constexpr std::string_view kCalendarType = "text/calendar; charset=utf-8";
constexpr std::string_view kVCardType = "text/vcard; charset=utf-8";

}  // namespace

void pushChangedItem(pim::PimStore& store, dav::DavClient& client, int64_t item) {
    const std::optional<sync::SyncedItem> synced = sync::syncedItemOf(store, item);
    if (!synced) throw std::runtime_error("item " + std::to_string(item) + " is not shared with the server");
    pim::ItemRecord record = store.loadItem(item);
    store.loadUserProperties(record);
    std::string text = pim::resourceText(record, synced->serverText, desktop::current().now());
    std::string etag = client.put(synced->href, text,
                                  record.itemClass == pim::ItemClass::Contact ? kVCardType : kCalendarType,
                                  dav::WriteCondition::ifMatch(synced->etag));
    auto write = store.beginWrite("server push");
    sync::rememberSyncedItem(store, record.folder, {item, synced->href, std::move(etag), std::move(text)});
    write.commit();
}

}  // namespace lumora::bench
