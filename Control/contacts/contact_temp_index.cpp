#include "contact_temp_index.hpp"

#include <algorithm>

#include "Automation/cancellation.hpp"
#include "Automation/vb/case_folding.hpp"
#include "contact_folder.hpp"

namespace lumora::control {

namespace {

// What the index reads of one folder item: the CRM id it carries, and a contact's names.
ContactIndexRow rowOf(const Object& item) {
    ContactIndexRow row;
    const Object crmId = item.getObject("UserProperties").getObject("Find", kLumoraIdProperty);
    if (!crmId.isNothing()) row.LumoraId = crmId.get("Value").toString();
    if (item.get("Class").toI4() != kContactItemClass) return row;
    row.FirstName = item.get("FirstName").toString();
    row.LastName = item.get("LastName").toString();
    row.Email1Address = item.get("Email1Address").toString();
    row.Email2Address = item.get("Email2Address").toString();
    row.Email3Address = item.get("Email3Address").toString();
    return row;
}

void addPosition(std::vector<int32_t>& positions, int32_t rowNumber) {
    auto at = std::lower_bound(positions.begin(), positions.end(), rowNumber);
    if (at == positions.end() || *at != rowNumber) positions.insert(at, rowNumber);
}

template <class Map, class Key>
void removePosition(Map& keys, const Key& key, int32_t rowNumber) {
    auto found = keys.find(key);
    if (found == keys.end()) return;
    auto& positions = found->second;
    auto at = std::lower_bound(positions.begin(), positions.end(), rowNumber);
    if (at != positions.end() && *at == rowNumber) positions.erase(at);
    if (positions.empty()) keys.erase(found);
}

}  // namespace

void ContactTempIndex::clear() {
    m_rows.clear();
    m_byId.clear();
    m_byNamesAndEmail.clear();
    m_folderItems = 0;
    m_built = false;
}

int32_t ContactTempIndex::build(const Object& items, Object& current) {
    clear();
    const int32_t count = items.count();
    // An empty folder still has its one row, standing for no item.
    m_rows.resize(static_cast<size_t>(std::max(count, 1)));
    for (int32_t i = 1; i <= count; ++i) {
        checkCancelled();
        current = items.item(i);
        setRow(static_cast<size_t>(i - 1), rowOf(current));
    }
    m_folderItems = count;
    m_built = true;
    return count;
}

std::optional<ContactIndexMatch> ContactTempIndex::find(std::string_view id,
                                                        const std::optional<ContactNames>& names) const {
    std::optional<int32_t> byId = firstOf(m_byId, idKey(id));
    const std::string braced = "{" + std::string(id) + "}";
    if (std::optional<int32_t> bracedRow = firstOf(m_byId, idKey(braced)); bracedRow && (!byId || *bracedRow < *byId))
        byId = bracedRow;
    std::optional<int32_t> byNames;
    if (names) byNames = firstOf(m_byNamesAndEmail, namesKey(names->firstName, names->lastName, names->email));
    // Each row is tested for its id before its names, so on the same row the id match wins.
    if (byId && (!byNames || *byId <= *byNames)) return ContactIndexMatch{ContactIndexMatch::Kind::LumoraId, *byId + 1};
    if (byNames) return ContactIndexMatch{ContactIndexMatch::Kind::EmailAndNames, *byNames + 1};
    return std::nullopt;
}

void ContactTempIndex::learnCreated(int32_t position, const Object& item) {
    if (!m_built || position <= m_folderItems) return;
    // Items another program added since hold the rows in between: unknown to the index, as the
    // items that arrive after a build are.
    if (static_cast<size_t>(position) > m_rows.size()) m_rows.resize(static_cast<size_t>(position));
    setRow(static_cast<size_t>(position - 1), rowOf(item));
    m_folderItems = position;
}

void ContactTempIndex::learnChanged(int32_t position, const Object& item) {
    if (!m_built || position < 1 || static_cast<size_t>(position) > m_rows.size()) return;
    setRow(static_cast<size_t>(position - 1), rowOf(item));
}

void ContactTempIndex::setRow(size_t rowNumber, ContactIndexRow row) {
    index(rowNumber, false);
    m_rows[rowNumber] = std::move(row);
    index(rowNumber, true);
}

// Enters the row's keys into the maps, or takes them out.
void ContactTempIndex::index(size_t rowNumber, bool add) {
    const ContactIndexRow& row = m_rows[rowNumber];
    const auto number = static_cast<int32_t>(rowNumber);
    auto update = [&](auto& keys, const Key& key) {
        if (add)
            addPosition(keys[key], number);
        else
            removePosition(keys, key, number);
    };
    // A record always has an id, so an empty column never matches one.
    if (!row.LumoraId.empty()) update(m_byId, idKey(row.LumoraId));
    // Names and e-mail are only matched when all three are given.
    if (row.FirstName.empty() || row.LastName.empty()) return;
    for (const std::string* email : {&row.Email1Address, &row.Email2Address, &row.Email3Address})
        if (!email->empty()) update(m_byNamesAndEmail, namesKey(row.FirstName, row.LastName, *email));
}

// Case folded, so that two texts have the same key exactly when they are equal as text.
ContactTempIndex::Key ContactTempIndex::idKey(std::string_view id) { return vb::folded(id); }

ContactTempIndex::Key ContactTempIndex::namesKey(std::string_view first, std::string_view last,
                                                 std::string_view email) {
    // Each name is preceded by its length, so no two different triples make the same key.
    Key key;
    for (std::string_view part : {first, last}) {
        const Key folded = vb::folded(part);
        key += static_cast<char32_t>(folded.size());
        key += folded;
    }
    key += vb::folded(email);
    return key;
}

std::optional<int32_t> ContactTempIndex::firstOf(const std::unordered_map<Key, Positions>& keys, const Key& key) {
    auto found = keys.find(key);
    if (found == keys.end() || found->second.empty()) return std::nullopt;
    return found->second.front();
}

}  // namespace lumora::control
