#pragma once
// The contact temporary index: what AddUpdateContactXML matches CRM contacts against, one row
// per item of the contact folder, built on the first lookup after SetContactFolder.

#include <string>
#include <vector>

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

class ContactTempIndex {
public:
    // Whether the rows belong to the current contact folder (the index built flag).
    bool built() const { return m_built; }
    // Forgets the rows, so that the next lookup builds them again.
    void clear() {
        m_rows.clear();
        m_built = false;
    }

private:
    std::vector<ContactIndexRow> m_rows;
    bool m_built = false;
};

}  // namespace lumora::control
