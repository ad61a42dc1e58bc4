// Appointments linked to CRM accounts: a new appointment, linking the selected one, and opening
// one by entry id, in the user's own calendar or in a calendar another user shares.

#include "Automation/cancellation.hpp"
#include "Automation/vb/strings.hpp"
#include "Control/frame/control_messages.hpp"
#include "Control/frame/failure_forms.hpp"
#include "Control/frame/members.hpp"
#include "Control/frame/outside_apps.hpp"
#include "Control/frame/crm_marks.hpp"
#include "Control/frame/private_operations.hpp"
#include "appointment_store_errors.hpp"

namespace lumora::control {

namespace {

constexpr int32_t kAppointmentItem = static_cast<int32_t>(pim::ItemType::Appointment);
constexpr int32_t kCalendarFolder = static_cast<int32_t>(pim::FolderType::Calendar);
constexpr int16_t kNewAppointmentCode = 7;
constexpr int16_t kOpenAppointmentCode = 9;

// The account information a page gives a new appointment: parts separated by the not sign.
struct AccountInfo {
    std::string accountId;
    std::string guid;
    std::string location;
    std::string subject;
};

AccountInfo parseAccountInfo(std::string_view text) {
    AccountInfo info;
    for (const std::string& part : vb::split(text, "\xC2\xAC")) {
        if (vb::inStr(part, "=") == 0) {
            info.accountId = part;
            continue;
        }
        // Only the text between the first and the second "=" is the value.
        const std::vector<std::string> pieces = vb::split(part, "=");
        const std::string key = vb::lCase(pieces[0]);
        const std::string& value = pieces[1];
        if (key == "ac_id") info.accountId = value;
        else if (key == "guid") info.guid = value;
        else if (key == "location") info.location = value;
        else if (key == "subject") info.subject = value;
    }
    return info;
}

std::string crmAccountLink(const Params& params, const std::string& accountId) {
    const std::string scheme = params.boolean(3) ? "https://" : "http://";
    return scheme + params.str(1) + "/" + params.str(2) + "/Lumora.ASPX?Page=Account&ItemID=" + accountId;
}

// The three marks every CRM appointment carries, as text properties added to the folder's fields.
void addCrmMarks(const Object& userProperties) {
    for (const char* name : {"ACID", "Lumora", "guid"}) userProperties.call("Add", name, kTextProperty, true);
}

void setMark(const Object& userProperties, std::string_view name, const Variant& value) {
    userProperties.item(Variant(name)).put("Value", value);
}

std::string quotedUser(std::string_view start, const std::string& user) {
    return std::string(start) + user + std::string(msg::QuotedNameEnd);
}

}  // namespace

Variant NewAppointment(LumoraCtrl2005& control, Params& params) {
    ControlState& state = control.state();
    return trapped(
        [&]() -> Variant {
            const AccountInfo info = parseAccountInfo(params.str(0));
            reachOutlook(state.outlook, OutlookWay::CreateWithFallback);
            openMapiNamespace(state.outlook);
            state.outlook.CurrentAppointment = state.outlook.OutlookApp.call("CreateItem", kAppointmentItem).toObject();
            const Object& appointment = state.outlook.CurrentAppointment;
            appointment.put("Body", crmAccountLink(params, info.accountId));
            if (!info.subject.empty()) appointment.put("Subject", info.subject);
            if (!info.location.empty()) appointment.put("Location", info.location);
            const Object marks = appointment.getObject("UserProperties");
            addCrmMarks(marks);
            if (!info.guid.empty()) setMark(marks, "guid", info.guid);
            setMark(marks, "ACID", info.accountId);
            setMark(marks, "Lumora", msg::LumoraMarkTrue);
            // The person completes and saves it; until then it exists only in its window.
            appointment.call("Display");
            cleanUpOutlook(state);
            return emptyText();
        },
        [&](const Error& e) { return outlookOpenFailure(state, step::CreatingAppointment, kNewAppointmentCode, e); });
}

Variant AddAppointment(LumoraCtrl2005& control, Params& params) {
    ControlState& state = control.state();
    StepText currentStep;
    return trapped(
        [&]() -> Variant {
            currentStep = step::GettingOutlookApplication;
            reachOutlook(state.outlook, OutlookWay::Attach);
            currentStep = step::GettingMapiNamespace;
            openMapiNamespace(state.outlook);
            currentStep = step::GettingSelectedItem;
            const Object selection = state.outlook.OutlookApp.getObject("ActiveExplorer").getObject("selection");
            currentStep = step::CheckingItemCount;
            const int32_t count = selection.get("count").toI4();
            if (count > 1) {
                tell(msg::SelectOneItemOnly, Icon::None, Title::lumora());
                return emptyText();
            }
            if (count < 1) {
                tell(msg::SelectAnItem, Icon::Information, Title::own(msg::SelectAnItemTitle));
                return emptyText();
            }
            const Object item = selection.item(1);
            currentStep = step::GettingEntryId;
            item.get("EntryID");
            currentStep = step::GettingStoreId;
            item.getObject("Parent").get("StoreID");
            const Object marks = item.getObject("UserProperties");
            for (auto [name, stepText] : {std::pair{"ACID", step::AddingAcidParameter},
                                          std::pair{"Lumora", step::AddingLumoraParameter},
                                          std::pair{"guid", step::AddingGuidParameter}}) {
                currentStep = stepText;
                marks.call("Add", name, kTextProperty, true);
            }
            currentStep = step::SettingAcidParameter;
            setMark(marks, "ACID", params[0]);
            currentStep = step::SettingLumoraParameter;
            setMark(marks, "Lumora", msg::LumoraMarkTrue);
            setMark(marks, "guid", CreateGuidString());
            currentStep = step::SavingItem;
            item.call("save");
            tell(msg::AppointmentSynchronised, Icon::None, Title::lumora());
            return Variant(msg::AppointmentAdded);
        },
        [&](const Error& e) {
            Variant result(stepFailureText(currentStep, e));
            cleanUpOutlook(state);
            return result;
        });
}

Variant OpenAppointment(LumoraCtrl2005& control, Params& params) {
    ControlState& state = control.state();
    if (tryLocal([&] { reachOutlook(state.outlook, OutlookWay::Create); })) return Variant(msg::NoOutlook);
    const std::string& reference = params.str(0);
    return trapped(
        [&]() -> Variant {
            if (vb::inStr(reference, "@") > 0) {
                const std::vector<std::string> parts = vb::split(reference, "@");
                if (parts.size() != 2) return Variant(msg::BadParameterString);
                const std::string& entryId = parts[0];
                const std::string& user = parts[1];
                openMapiNamespace(state.outlook);
                state.outlook.SharedRecipient = state.outlook.MapiNamespace.call("CreateRecipient", user).toObject();
                state.outlook.SharedRecipient.call("Resolve");
                if (!state.outlook.SharedRecipient.get("Resolved").toBool())
                    return Variant(quotedUser(msg::UnableToAccessUserStart, user));
                state.outlook.DefaultFolder =
                    state.outlook.MapiNamespace.call("GetSharedDefaultFolder", state.outlook.SharedRecipient, kCalendarFolder).toObject();
                const Object items = state.outlook.DefaultFolder.getObject("Items");
                const int32_t count = items.count();
                bool found = false;
                for (int32_t i = 1; i <= count && !found; ++i) {
                    checkCancelled();
                    state.outlook.CurrentAppointment = items.item(i);
                    found = state.outlook.CurrentAppointment.get("EntryID").toString() == entryId;
                }
                if (!found) return Variant(quotedUser(msg::AppointmentNotInCalendarStart, user));
                state.outlook.CurrentAppointment.call("Display");
            } else {
                openMapiNamespace(state.outlook);
                state.outlook.DefaultFolder = state.outlook.MapiNamespace.call("GetDefaultFolder", kCalendarFolder).toObject();
                state.outlook.DefaultStoreID = state.outlook.DefaultFolder.get("StoreID").toString();
                if (auto error = tryLocal([&] {
                        state.outlook.CurrentAppointment =
                            state.outlook.MapiNamespace.call("GetItemFromID", reference, state.outlook.DefaultStoreID).toObject();
                    }))
                    return Variant(appointmentStoreErrorMessage(*error));
                state.outlook.CurrentAppointment.call("Display");
            }
            cleanUpOutlook(state);
            return emptyText();
        },
        [&](const Error& e) { return outlookOpenFailure(state, step::OpeningAppointment, kOpenAppointmentCode, e); });
}

}  // namespace lumora::control
