#include "seeded_storage.hpp"

#include <fstream>
#include <functional>
#include <stdexcept>

#include "crm_resources.hpp"

namespace lumora::bench {

namespace {

void writeFile(const std::filesystem::path& file, std::string_view text) {
    std::ofstream out(file, std::ios::binary);
    out << text;
    if (!out.flush()) throw std::runtime_error("could not write " + file.string());
}

// One collection folder: its properties as radicale keeps them (the JSON of MKCALENDAR's or
// MKCOL's properties, "tag" telling a calendar from an address book) and its members.
SeededCollection writeCollection(const std::filesystem::path& userFolder, std::string_view user,
                                 std::string_view name, std::string_view props, int count,
                                 const std::function<std::string(int)>& uidOf,
                                 const std::function<std::string(int)>& textOf, std::string_view extension) {
    const std::filesystem::path folder = userFolder / name;
    std::filesystem::create_directories(folder);
    writeFile(folder / ".Radicale.props", props);
    SeededCollection seeded{"/" + std::string(user) + "/" + std::string(name) + "/", {}};
    seeded.names.reserve(static_cast<size_t>(count));
    for (int n = 0; n < count; ++n) {
        std::string file = uidOf(n) + std::string(extension);
        writeFile(folder / file, textOf(n));
        seeded.names.push_back(std::move(file));
    }
    return seeded;
}

}  // namespace

SeededAccount seedAccount(const std::filesystem::path& storageFolder, std::string_view user, int events,
                          int contacts) {
    const std::filesystem::path userFolder = storageFolder / "collection-root" / user;
    std::filesystem::create_directories(userFolder);
    SeededAccount account;
    account.calendar = writeCollection(
        userFolder, user, "calendar",
        R"({"C:supported-calendar-component-set": "VEVENT", "D:displayname": "Calendar", "tag": "VCALENDAR"})",
        events, crmEventUid, crmEventText, ".ics");
    account.addressBook =
        writeCollection(userFolder, user, "contacts", R"({"D:displayname": "Contacts", "tag": "VADDRESSBOOK"})",
                        contacts, crmContactUid, crmContactText, ".vcf");
    return account;
}

}  // namespace lumora::bench
