// Importing Outlook contacts into the CRM: the contact folders, the contacts of one folder in
// alphabetical order, and one contact's details.

#include <array>
#include <span>

#include "Automation/vb/strings.hpp"
#include "Control/frame/control_messages.hpp"
#include "Control/frame/import_lists.hpp"
#include "Control/frame/members.hpp"
#include "name_sort.hpp"

namespace lumora::control {

namespace {

constexpr ImportFolders kContactFolders{pim::FolderType::Contacts, pim::ItemType::Contact, msg::DefaultContactsFolder};
// A contact without a last name is no person the CRM could hold; distribution lists are no contacts.
constexpr ListedItems kListedContacts{pim::ItemClass::Contact, "LastName", "FullName"};
constexpr ItemImport kContactImport{msg::ImportContactFailed, pim::FolderType::Contacts, step::GettingRequiredFolder,
                                    step::LocatingContactInFolder, step::RetrievingContactDetails,
                                    step::CleaningUpOutlookAfterContact, &OutlookReferences::ContactItem};

// Only the exact word asks the folder list to leave out empty folders.
constexpr std::string_view kImportSwitch = "import";

// The contact's details before its street lines, in the order the import page reads them; its
// own entry id and its folder's follow.
constexpr std::string_view kBasicDetails[] = {"title",         "FirstName",
                                              "LastName",      "JobTitle",
                                              "Department",    "Email1Address",
                                              "BusinessTelephoneNumber", "BusinessFaxNumber",
                                              "MobileTelephoneNumber"};

// Each address's members after its street lines: the postal code comes before the state.
constexpr std::string_view kBusinessAddress[] = {"businessaddresscity", "businessaddresspostalcode",
                                                 "businessaddressstate", "businessaddresscountry"};
constexpr std::string_view kHomeAddress[] = {"HomeAddressCity", "HomeAddressPostalCode", "HomeAddressState",
                                             "HomeAddressCountry"};

using StreetLines = std::array<std::string, 3>;

// The CRM keeps a street in three lines. A street is cut at line breaks and at commas alike; the
// third line gathers every part from the third on, each after a space. Only CR marks a line
// break here, so the LF of a CR LF pair stays at the start of the next line.
StreetLines streetLines(const std::string& street) {
    if (street.empty()) return {};
    const std::string cut = vb::replace(street, "\r", ",");
    if (vb::inStr(cut, ",") == 0) return {street, "", ""};
    const std::vector<std::string> parts = vb::split(cut, ",");
    StreetLines lines{parts[0], parts[1], ""};
    for (size_t i = 2; i < parts.size(); ++i) lines[2] += " " + parts[i];
    return lines;
}

void appendAddress(std::string& details, const Object& contact, const StreetLines& street,
                   std::span<const std::string_view> members) {
    for (const std::string& line : street) appendValue(details, line);
    for (std::string_view member : members) appendValue(details, contact.get(member).toString());
}

// The twenty-five details: the person, the two entry ids, then the business and home addresses.
void appendContactDetails(std::string& details, const Object& contact, const Object& folder, StepText& step) {
    for (std::string_view member : kBasicDetails) appendValue(details, contact.get(member).toString());
    appendValue(details, contact.get("EntryID").toString());
    appendValue(details, folder.get("EntryID").toString());

    step = step::FormattingAddressInfo;
    const StreetLines business = streetLines(contact.get("businessaddressstreet").toString());
    const StreetLines home = streetLines(contact.get("HomeAddressStreet").toString());

    step = step::FormattingContactInformation;
    appendAddress(details, contact, business, kBusinessAddress);
    appendAddress(details, contact, home, kHomeAddress);
}

}  // namespace

Variant GetContactFolderList(LumoraCtrl2005& control, Params& params) {
    ControlState& state = control.state();
    const EmptySubfolders empties = params.str(0) == kImportSwitch ? EmptySubfolders::LeftOut : EmptySubfolders::Listed;
    return importListMember(state, msg::ContactsFolderNotFoundQuoted, [&](std::string& appended) {
        return folderList(state.outlook, kContactFolders, empties, appended);
    });
}

Variant GetFolderContactItems(LumoraCtrl2005& control, Params& params) {
    ControlState& state = control.state();
    return importListMember(state, msg::GetFolderContactItemsFailed, [&](std::string&) {
        // The folder read becomes the contact folder the contact members write into.
        state.contactFolder.TargetFolder =
            chosenFolder(state.outlook, pim::FolderType::Contacts, params, 0, FolderIdForm::WithoutHashes);
        const std::vector<ListedItem> contacts = listedItems(state.outlook, state.contactFolder.TargetFolder, kListedContacts);
        // A folder without listed contacts has an empty list: nothing went wrong.
        if (contacts.empty()) return std::string();
        const std::optional<std::vector<ListedItem>> sorted = sortedByName(contacts);
        // Without its sorted rows the list has nothing to be built from, as reading an unset table.
        if (!sorted) raise(RuntimeError::TypeMismatch);
        return itemList(*sorted);
    });
}

Variant ImportContact(LumoraCtrl2005& control, Params& params) {
    return importDetails(control.state(), params, kContactImport, appendContactDetails);
}

}  // namespace lumora::control
