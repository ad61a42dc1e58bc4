#pragma once
// Items that come from another program written into the store by their UID: an item whose UID
// the mailbox already holds outside Deleted Items updates that item in place (the fields the
// other program carries are replaced, every other field, the marks it does not carry and the
// user properties stay, and so does the entry id); any other item is new. A program that
// carries some user properties (a groupware server, the CRM's marks) sets those it brings on the
// stored item, changed or added; the others stay. Several items of one
// UID update that many stored items, in creation order. Everything added is saved in one write.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "pim_store.hpp"

namespace lumora::pim {

class UidMatcher {
public:
    // The fields the other program carries for a class: what an update replaces.
    using CarriedFields = std::function<std::vector<std::string>(ItemClass)>;

    // Whether the other program carries the user property of that name.
    using CarriedUserProperty = std::function<bool(std::string_view name)>;

    UidMatcher(PimStore& store, int64_t mailbox, CarriedFields carriedFields,
               CarriedUserProperty carriedUserProperty = {});

    // Seeks the stored item an incoming one updates only among the folder's items: what a
    // folder shares with a server is that folder's, never a copy the person keeps elsewhere.
    void matchOnlyIn(int64_t folder) { m_onlyFolder = folder; }

    // Adds an item to save: an update of `known` when given (an item the caller already knows
    // it as), else of the next stored item with its UID, else a new item in `newFolder`.
    // Returns its position in items().
    size_t add(ItemRecord incoming, int64_t newFolder, std::optional<int64_t> known = std::nullopt);

    // All in one write; the new items get their ids and entry ids.
    void save();

    const std::vector<ItemRecord>& items() const { return m_items; }
    bool isNew(size_t position) const { return m_isNew[position]; }

private:
    std::optional<int64_t> nextStoredWith(const ItemRecord& incoming);
    void takeCarriedUserProperties(ItemRecord& stored, const ItemRecord& incoming);

    PimStore& m_store;
    const int64_t m_mailbox;
    CarriedFields m_carriedFields;
    CarriedUserProperty m_carriedUserProperty;
    std::optional<int64_t> m_onlyFolder;
    std::map<std::pair<ItemClass, std::string>, std::vector<int64_t>> m_byUid;  // still to take
    std::vector<ItemRecord> m_items;
    std::vector<std::vector<std::string>> m_changed;
    std::vector<bool> m_isNew;
};

}  // namespace lumora::pim
