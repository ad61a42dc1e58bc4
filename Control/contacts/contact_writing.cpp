// Writing one CRM contact into the contact folder: from the page's arguments (AddContact) or from
// the contact form of the page itself (AddContactAll). Every contact carries the CRM's marks.

#include "Automation/vb/strings.hpp"
#include "Control/frame/control_messages.hpp"
#include "Control/frame/failure_forms.hpp"
#include "Control/frame/members.hpp"
#include "contact_folder.hpp"
#include "form_contact_fields.hpp"

namespace lumora::control {

namespace {

// AddContact's arguments by position.
enum Argument : size_t {
    Id, LastName, ContactType, Account, Email, FirstName, ContactTitle, Position, Phone, Mobile,
    Street, Street2, Street3, City, State, PostalCode, Country,
};

struct ArgumentField {
    Argument argument;
    std::string_view member;
};

// Trimmed, with a lone hyphen (the page's empty value) made empty, in the order written.
constexpr ArgumentField kTrimmedFields[] = {
    {ContactTitle, "title"},  {FirstName, "FirstName"},      {LastName, "LastName"},
    {Position, "JobTitle"},   {Email, "Email1Address"},      {Phone, "BusinessTelephoneNumber"},
    {Mobile, "MobileTelephoneNumber"},
};
constexpr ArgumentField kAddressFields[] = {
    {City, "businessaddresscity"},
    {State, "businessaddressstate"},
    {PostalCode, "businessaddresspostalcode"},
    {Country, "businessaddresscountry"},
};
constexpr std::string_view kBusinessStreet = "businessaddressstreet";

// The page sends a single hyphen for an empty value. The caller's variable gets the result.
std::string withoutHyphen(Params& params, Argument argument, std::string value) {
    if (value == "-") value.clear();
    params.writeBack(argument, Variant(value));
    return value;
}

}  // namespace

Variant AddContact(LumoraCtrl2005& control, Params& params) {
    // No error trap: without a contact folder the message is shown and the next step fails back
    // to the calling script, as does any other error. The item is only stored by its save, so a
    // failure on the way leaves nothing behind.
    ControlState& state = control.state();
    contactFolderMissing(state, msg::AddContactWithoutFolder);
    state.outlook.ContactItem = state.contactFolder.TargetFolder.getObject("Items").call("Add").toObject();
    const Object& item = state.outlook.ContactItem;
    for (const ArgumentField& field : kTrimmedFields)
        item.put(field.member, Variant(withoutHyphen(params, field.argument, vb::trim(params.str(field.argument)))));
    item.put("User1", Variant(msg::LumoraMark));
    item.put("CompanyName", params[Account]);
    const std::string street = withoutHyphen(params, Street, params.str(Street));
    if (!street.empty()) item.put(kBusinessStreet, Variant(street));
    for (Argument line : {Street2, Street3}) {
        const std::string text = withoutHyphen(params, line, params.str(line));
        if (!text.empty()) appendLine(item, kBusinessStreet, text);
    }
    for (const ArgumentField& field : kAddressFields) item.put(field.member, params[field.argument]);
    if (params.str(ContactType) != msg::TemporaryContactType) {
        item.put("User2", Variant(msg::PermanentContact));
        addCrmIdProperties(item, params[Id]);
    } else {
        item.put("User2", Variant(msg::TemporaryContact));
    }
    item.call("save");
    state.outlook.ContactItem.release();
    return emptyResult();
}

Variant AddContactAll(LumoraCtrl2005& control, Params& params) {
    ControlState& state = control.state();
    return trapped(
        [&]() -> Variant {
            contactFolderMissing(state, msg::AddContactAllWithoutFolder);
            const Object document = params[0].toObject();
            state.outlook.ContactItem = state.contactFolder.TargetFolder.getObject("Items").call("Add").toObject();
            for (const FormContactField& field : formContactFields())
                writeFormContactField(document, state.outlook.ContactItem, field);
            state.outlook.ContactItem.call("save");
            state.outlook.ContactItem.release();
            return Variant(true);
        },
        [&](const Error&) {
            // Only a save stores the item: dropping it leaves nothing half-written.
            state.outlook.ContactItem.release();
            return falseResult();
        });
}

}  // namespace lumora::control
