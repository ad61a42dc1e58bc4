#pragma once
// The contact temporary index: what AddUpdateContactXML matches CRM contacts against, one row
// per item of the contact folder, built on the first lookup after SetContactFolder.
//
// Rows are found by key rather than by walking them: a run of calls for a whole CRM contact list
// would otherwise compare every record with every row. The keys still give the first row in
// folder order that matches, by id or by names and e-mail, as a walk from the top would.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Automation/object.hpp"

namespace lumora::control {

// Row r stands for folder item r + 1. The names are left empty for items that are no contacts.
struct ContactIndexRow {
    std::string LumoraId;
    std::string FirstName;
    std::string LastName;
    std::string Email1Address;
    std::string Email2Address;
    std::string Email3Address;
};

// What a record is matched on besides its id; all three are given (none empty).
struct ContactNames {
    std::string_view firstName;
    std::string_view lastName;
    std::string_view email;
};

// The first row in folder order that matched, and how: a row matching both ways is an id match.
struct ContactIndexMatch {
    enum class Kind { LumoraId, EmailAndNames };
    Kind kind;
    int32_t position;  // the folder item the row stands for, from 1
};

class ContactTempIndex {
public:
    // Whether the rows belong to the current contact folder (the index built flag).
    bool built() const { return m_built; }
    // Forgets the rows, so that the next lookup builds them again.
    void clear();

    // One row per item of the folder's `items`, each item held in `current` while it is read.
    // An empty folder gives a single row of empty columns. Returns the number of items read.
    int32_t build(const Object& items, Object& current);

    // The first row whose id column equals `id` or "{" + id + "}", or, when `names` are given,
    // whose first and last names equal them and one of whose e-mails equals theirs. Text is
    // compared without regard to case.
    std::optional<ContactIndexMatch> find(std::string_view id, const std::optional<ContactNames>& names) const;

    // A contact just saved as a new item at the end of the folder, at `position`. The index only
    // takes it when the folder has not lost items since the index was built: otherwise the rows
    // after the gap no longer stand for their items, and replacing one would hide that from the
    // out-of-step checks.
    void learnCreated(int32_t position, const Object& item);
    // A contact just saved where it stands, at the position a lookup gave.
    void learnChanged(int32_t position, const Object& item);

private:
    using Key = std::u32string;
    using Positions = std::vector<int32_t>;  // row numbers, ascending

    void setRow(size_t rowNumber, ContactIndexRow row);
    void index(size_t rowNumber, bool add);
    static Key idKey(std::string_view id);
    static Key namesKey(std::string_view first, std::string_view last, std::string_view email);
    static std::optional<int32_t> firstOf(const std::unordered_map<Key, Positions>& keys, const Key& key);

    std::vector<ContactIndexRow> m_rows;
    std::unordered_map<Key, Positions> m_byId;
    std::unordered_map<Key, Positions> m_byNamesAndEmail;
    int32_t m_folderItems = 0;  // the items the folder holds as far as the index knows
    bool m_built = false;
};

}  // namespace lumora::control
