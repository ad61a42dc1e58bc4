// AddUpdateContactXML: one CRM contact, sent as a contact record, written into the contact
// folder: a new Outlook contact, or the one that already stands for it updated.

#include "contact_xml_upsert.hpp"

#include "Automation/shared_texts.hpp"
#include "Control/frame/control_messages.hpp"
#include "Control/frame/failure_forms.hpp"
#include "Control/frame/members.hpp"
#include "Control/frame/outside_apps.hpp"
#include "contact_folder.hpp"
#include "contact_record_fields.hpp"

namespace lumora::control {

namespace {

// AddUpdateContactXML's arguments by position.
enum Argument : size_t { ContactRecordXml, OverwriteLumoraIdMatch, OverwriteEmailNameMatch };

constexpr std::string_view kRecordPath = "/record";
constexpr std::string_view kIdAttribute = "id";
constexpr std::string_view kValueAttribute = "value";

std::string recordValue(const Object& record, const RecordContactField& field) {
    std::string value = GetXMLFieldValue(record, field.field);
    if (field.rule == RecordRule::ThreeLines)
        for (std::string_view line : {"2", "3"})
            value += std::string(text::LineBreak) + GetXMLFieldValue(record, std::string(field.field) + std::string(line));
    return value;
}

// Every field is written, so an update also clears what the record leaves out; then the CRM's
// marks.
void writeRecord(const Object& record, const Object& item, const std::string& id) {
    for (const RecordContactField& field : recordContactFields())
        item.put(field.member, Variant(recordValue(record, field)));
    item.put("User1", Variant(msg::LumoraMark));
    item.put("User2", Variant(msg::PermanentContact));
    item.put("User3", Variant(id));
    addCrmIdProperties(item, Variant(id));
}

// The loaded record's id. Whether the text parsed is not asked: a record that did not has no
// root element, and reading its id then fails like reading a record without one.
std::string recordId(const Object& record) {
    return record.getObject("selectSingleNode", kRecordPath).call("getAttribute", kIdAttribute).toString();
}

}  // namespace

std::string GetXMLFieldValue(const Object& record, std::string_view name) {
    // The name goes into the path as it is: the routine's callers name fields the record format
    // defines, none of which holds a quote.
    const std::string path = "/record/field[@name='" + std::string(name) + "']";
    return trapped(
        [&] {
            const Object field = record.getObject("selectSingleNode", path);
            return field.isNothing() ? std::string() : field.call("getAttribute", kValueAttribute).toString();
        },
        [](const Error& e) {
            tell(std::string(msg::ContactFieldUnreadable) + e.description());
            return std::string();
        });
}

Variant AddUpdateContactXML(LumoraCtrl2005& control, Params& params) {
    ControlState& state = control.state();
    Object& contact = state.outlook.ContactItem;
    const Variant result = trapped(
        [&]() -> Variant {
            if (contactFolderMissing(state, msg::AddUpdateContactXmlWithoutFolder)) return falseResult();
            const Object record = createApplication(clsid::XmlDocument);
            record.call("loadXML", params[ContactRecordXml]);
            const std::string id = recordId(record);
            if (id.empty()) {
                tell(msg::ContactIdMissing);
                return falseResult();
            }
            // The caller's variables hold plain Booleans from here on.
            const bool overwriteIdMatch = params.boolean(OverwriteLumoraIdMatch);
            bool emailNameMatching = params.boolean(OverwriteEmailNameMatch);
            params.writeBack(OverwriteLumoraIdMatch, Variant(overwriteIdMatch));
            params.writeBack(OverwriteEmailNameMatch, Variant(emailNameMatching));

            const std::string firstName = GetXMLFieldValue(record, "FIRSTNAME");
            const std::string lastName = GetXMLFieldValue(record, "LASTNAME");
            if (firstName.empty() && lastName.empty()) {
                tell(msg::ContactNamesBlank);
                return falseResult();
            }
            // Read again, as the lookup's own arguments.
            const std::string lookupFirst = GetXMLFieldValue(record, "FIRSTNAME");
            const std::string lookupLast = GetXMLFieldValue(record, "LASTNAME");
            const std::string lookupEmail = GetXMLFieldValue(record, "EMAIL1ADDRESS");
            const ContactLookup found =
                CheckOutLookContactExists(state, id, lookupFirst, lookupLast, lookupEmail, emailNameMatching);
            params.writeBack(OverwriteEmailNameMatch, Variant(emailNameMatching));

            const Object items = state.contactFolder.TargetFolder.getObject("Items");
            switch (found.result) {
            case ContactLookup::Result::Failed: return falseResult();
            case ContactLookup::Result::Found:
                if (!overwriteIdMatch) return Variant(true);
                break;
            case ContactLookup::Result::None: contact = items.getObject("Add"); break;
            }
            writeRecord(record, contact, id);
            contact.call("save");
            // The index learns the contact at once, so the next record for it finds it: a new
            // contact is the last item of the folder.
            if (found.result == ContactLookup::Result::None)
                state.contactFolder.TempIndex.learnCreated(items.count(), contact);
            else
                state.contactFolder.TempIndex.learnChanged(found.position, contact);
            return Variant(true);
        },
        [](const Error& e) {
            tell(std::string(msg::ExportingContactFailed) + e.description());
            return falseResult();
        });
    // Only a save stores the item: letting go of one that failed on the way leaves nothing of it.
    contact.release();
    state.outlook.ItemUserProperty.release();
    return result;
}

}  // namespace lumora::control
