#include "uid_matcher.hpp"

#include <algorithm>

#include "Automation/vb/strings.hpp"

namespace lumora::pim {

UidMatcher::UidMatcher(PimStore& store, int64_t mailbox, CarriedFields carriedFields,
                       CarriedUserProperty carriedUserProperty)
    : m_store(store),
      m_mailbox(mailbox),
      m_carriedFields(std::move(carriedFields)),
      m_carriedUserProperty(std::move(carriedUserProperty)) {}

size_t UidMatcher::add(ItemRecord incoming, int64_t newFolder, std::optional<int64_t> known) {
    if (!known) known = nextStoredWith(incoming);
    if (known) {
        ItemRecord stored = m_store.loadItem(*known);  // its user properties unread: kept as they are
        std::vector<std::string> names = m_carriedFields(stored.itemClass);
        for (const std::string& name : names) {
            auto value = incoming.values.find(name);
            if (value != incoming.values.end())
                stored.values[name] = std::move(value->second);
            else
                stored.values.erase(name);
        }
        takeCarriedUserProperties(stored, incoming);
        m_items.push_back(std::move(stored));
        m_changed.push_back(std::move(names));
        m_isNew.push_back(false);
    } else {
        incoming.folder = newFolder;
        m_changed.push_back(valueNames(incoming));
        m_items.push_back(std::move(incoming));
        m_isNew.push_back(true);
    }
    return m_items.size() - 1;
}

void UidMatcher::takeCarriedUserProperties(ItemRecord& stored, const ItemRecord& incoming) {
    if (!m_carriedUserProperty) return;
    bool loaded = false;
    for (const UserPropertyRow& brought : incoming.userProperties) {
        if (!m_carriedUserProperty(brought.name)) continue;
        if (!loaded) m_store.loadUserProperties(stored);  // from now on the save writes them all
        loaded = true;
        auto row = std::find_if(stored.userProperties.begin(), stored.userProperties.end(),
                                [&](const UserPropertyRow& r) { return vb::equalsNoCase(r.name, brought.name); });
        if (row == stored.userProperties.end()) {
            stored.userProperties.push_back(brought);
        } else {
            row->type = brought.type;
            row->value = brought.value;
        }
    }
}

void UidMatcher::save() { m_store.saveItems(m_items, m_changed); }

std::optional<int64_t> UidMatcher::nextStoredWith(const ItemRecord& incoming) {
    if (incoming.uid.empty()) return std::nullopt;
    auto pending = m_byUid.find({incoming.itemClass, incoming.uid});
    if (pending == m_byUid.end()) {
        std::vector<int64_t> ids = m_store.itemIdsByUid(m_mailbox, incoming.itemClass, incoming.uid);
        if (m_onlyFolder)
            std::erase_if(ids, [&](int64_t id) { return m_store.loadItem(id).folder != *m_onlyFolder; });
        std::reverse(ids.begin(), ids.end());  // taken from the back
        pending = m_byUid.emplace(std::pair{incoming.itemClass, incoming.uid}, std::move(ids)).first;
    }
    if (pending->second.empty()) return std::nullopt;
    const int64_t id = pending->second.back();
    pending->second.pop_back();
    return id;
}

}  // namespace lumora::pim
