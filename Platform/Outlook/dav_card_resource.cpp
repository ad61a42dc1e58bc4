// A contact as an address-book server's resource: one vCard, read by the PIM's vCard reader,
// and written again over the server's card with the PIM's lines in place of the ones it owns.

#include <algorithm>

#include "dav_marks.hpp"
#include "dav_resource_kinds.hpp"
#include "pim_errors.hpp"
#include "resource_outline.hpp"
#include "vcard_items.hpp"

namespace lumora::pim {

namespace {

const OutlinePart& onlyCard(const ResourceOutline& outline) {
    if (outline.parts.size() != 1) raise(PimError::BadResource, "it holds " + std::to_string(outline.parts.size()) + " parts, not one vCard");
    if (outline.parts[0].name != "VCARD") raise(PimError::BadResource, "it holds a " + outline.parts[0].name + ", not a vCard");
    return outline.parts[0];
}

// Properties of which a contact has one field or one set of fields: the PIM writes them in
// full. The card's structure (VERSION) is written anew as well.
bool isOwnedOnce(const std::string& name) {
    static constexpr std::string_view kOwned[] = {"VERSION", "FN", "N", "NICKNAME", "ORG", "TITLE", "NOTE"};
    return std::find(std::begin(kOwned), std::end(kOwned), name) != std::end(kOwned);
}

// Telephone numbers, addresses, e-mail addresses, web pages and birthdays a card may hold more
// of than the contact has fields for: a line is the PIM's when reading it, in card order, gave a
// field its value. The others (a fourth e-mail address, a birthday without a year) are kept.
class FieldTakers {
public:
    explicit FieldTakers(const ItemRecord& item) { m_read.itemClass = item.itemClass; }
    bool takes(const std::string& line) {
        const auto before = m_read.values;
        readVCardLine(m_read, line);
        return m_read.values != before;
    }

private:
    ItemRecord m_read;
};

}  // namespace

ItemRecord readCardResource(std::string_view text) {
    const ResourceOutline outline = outlineOf(text, SoftBreaks::Joined);
    const OutlinePart& card = onlyCard(outline);
    std::vector<ItemRecord> contacts = readVCards(text);
    ItemRecord contact = std::move(contacts.front());
    readMarks(outline, card, contact);
    return contact;
}

std::string cardResourceText(const ItemRecord& item, std::string_view previous) {
    std::string kept;
    if (!previous.empty()) {
        const ResourceOutline outline = outlineOf(previous, SoftBreaks::Joined);
        const OutlinePart& card = onlyCard(outline);
        FieldTakers takers(item);
        for (size_t index : card.properties) {
            const std::string& line = outline.lines[index].text;
            const std::string name = propertyNameOf(line);
            const bool owned = isOwnedOnce(name) || isMarkProperty(name) || (name == "UID" && !item.uid.empty()) ||
                               takers.takes(line);
            if (!owned) kept += withCrLfEnds(outline.lines[index].raw);
        }
        // Lines inside parts of the card (none in RFC 6350, but tolerated) stay with them.
        for (const OutlinePart& inner : card.children)
            for (size_t i = inner.begin; i <= inner.end; ++i) kept += withCrLfEnds(outline.lines[i].raw);
    }
    return "BEGIN:VCARD\r\nVERSION:4.0\r\n" + vcardPropertiesOf(item) + markLinesOf(item) + kept + "END:VCARD\r\n";
}

}  // namespace lumora::pim
