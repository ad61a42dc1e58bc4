// Feeds arbitrary bytes to the vCard importer's reader, writes whatever it read back out and
// reads that again, which must give as many contacts. Any input may be refused; none may crash,
// hang or grow without bound.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string>

#include "Platform/Outlook/vcard_items.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<lumora::pim::ItemRecord> contacts;
    try {
        contacts = lumora::pim::readVCards(text);
    } catch (const std::exception&) {
        return 0;  // refusals are the expected outcome for most inputs
    }
    std::vector<const lumora::pim::ItemRecord*> written;
    for (const lumora::pim::ItemRecord& contact : contacts) written.push_back(&contact);
    // What this program wrote it must read: a value or UID that started a line of its own would
    // split or end a card.
    if (lumora::pim::readVCards(lumora::pim::vcardText(written)).size() != contacts.size()) std::abort();
    return 0;
}
