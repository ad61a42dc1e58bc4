#pragma once
// Contacts in vCard form: written as vCard 4.0 (RFC 6350), read from 3.0 (RFC 2426) and 4.0,
// and from the 2.1 habits that programs still write (bare TYPE words, quoted-printable values
// with soft line breaks). Folded lines, escapes and groups ("item1.TEL") are understood. The
// properties N, FN, ORG, TITLE, NICKNAME, TEL by type, EMAIL, ADR by type, NOTE, URL and BDAY
// map to the contact's fields, and UID to its identity.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "pim_store.hpp"

namespace lumora::pim {

// A vCard 4.0 for each contact, lines ending in CR LF and folded at 75 octets.
std::string vcardText(const std::vector<const ItemRecord*>& contacts);

// The properties of the contact's card, between its VERSION and its END, each line folded.
std::string vcardPropertiesOf(const ItemRecord& contact);

// One unfolded property line of a card read into the contact's fields; a line of a property
// no field takes, or no property at all, changes nothing.
void readVCardLine(ItemRecord& contact, const std::string& line);

// The contact fields a vCard carries: what an import replaces in a contact it updates.
std::span<const std::string_view> vcardFields();

// The contacts of a vCard file, as unsaved records, in file order. Raises
// PimError::BadImportFile for text that holds no vCard or a card left open.
std::vector<ItemRecord> readVCards(std::string_view text);

}  // namespace lumora::pim
