// Sending a contact from the page's form as a vCard in a new e-mail. Outlook makes the card
// from a contact it never saves, so nothing is added to the person's contacts.

#include "Control/frame/failure_forms.hpp"
#include "Control/frame/members.hpp"
#include "Control/frame/outside_apps.hpp"
#include "form_contact_fields.hpp"

namespace lumora::control {

Variant CreateContactAsvCard(LumoraCtrl2005& control, Params& params) {
    ControlState& state = control.state();
    OutlookReferences& outlook = state.outlook;
    return trapped(
        [&] {
            // The default contacts folder, not the CRM's: the contact only passes through it.
            openDefaultFolder(outlook, OutlookWay::Create, pim::FolderType::Contacts);
            outlook.ContactItem = outlook.DefaultFolder.getObject("Items").call("Add").toObject();
            const Object document = params[0].toObject();
            for (const FormContactField& field : formContactDetails())
                writeFormContactField(document, outlook.ContactItem, field);
            outlook.MailItem = outlook.ContactItem.call("ForwardAsVcard").toObject();
            outlook.MailItem.call("display");
            outlook.ContactItem.release();
            return Variant(true);
        },
        [&](const Error&) {
            // Silent, and only a save would have stored the contact: dropping it keeps nothing.
            outlook.ContactItem.release();
            return falseResult();
        });
}

}  // namespace lumora::control
