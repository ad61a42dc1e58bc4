// The e-mails selected in Outlook, as identities or as text records, for the CRM's add button.

#include <functional>

#include "Control/frame/control_messages.hpp"
#include "Control/frame/failure_forms.hpp"
#include "Control/frame/members.hpp"
#include "Control/frame/outside_apps.hpp"
#include "Control/frame/private_operations.hpp"

namespace lumora::control {

namespace {

// The most items the CRM takes in one add.
constexpr int32_t kMostSelectedItems = 10;

// One selected item's part of the result.
using SelectionRecord = std::function<std::string(const Object& item)>;

std::string storeIdOf(const Object& item) { return item.getObject("Parent").get("StoreID").toString(); }

std::string identityRecord(const Object& item) {
    return item.get("EntryID").toString() + std::string(msg::SelectionIdSeparator) + storeIdOf(item);
}

// Five fields, each closed by a backslash; nothing is escaped, as the page splits them itself.
std::string detailRecord(const Object& item) {
    std::string record;
    for (const std::string& field : {item.get("EntryID").toString(), storeIdOf(item), item.get("Subject").toString(),
                                     item.get("SenderName").toString(), item.get("To").toString()})
        record += field + std::string(msg::SelectionFieldEnd);
    return record;
}

Variant notInstalled(ControlState& state) {
    cleanUpOutlook(state);
    tell(msg::CannotAddEmailNoOutlook, Icon::Information, Title::own(msg::CannotAddEmailTitle));
    return Variant(msg::NoOutlookSelection);
}

// Both members attach to the running Outlook with errors ignored. Outlook not running gives the
// not-installed message; an unexpected attach error is shown and then passed over.
Variant selectedItems(ControlState& state, const SelectionRecord& recordOf, std::string_view separator) {
    ResumeNext ignoring;
    ignoring([&] { reachOutlook(state.outlook, OutlookWay::Attach); });
    if (ignoring.number() == static_cast<int32_t>(RuntimeError::CantCreateObject)) {
        ignoring([&] { reachOutlook(state.outlook, OutlookWay::Create); });
        return notInstalled(state);
    }
    if (ignoring.failed()) tell(ignoring.pending()->description());
    ignoring([&] { openMapiNamespace(state.outlook); });

    Object selection;
    if (tryLocal([&] { selection = state.outlook.OutlookApp.getObject("ActiveExplorer").getObject("selection"); })) {
        cleanUpOutlook(state);
        tell(msg::SelectionUnreadable, Icon::Information, Title::own(msg::SelectionUnreadableTitle));
        return Variant(msg::NoOutlookSelection);
    }
    return trapped(
        [&] {
            const int32_t count = selection.get("count").toI4();
            if (count > kMostSelectedItems) {
                tell(msg::SelectTenItemsAtMost, Icon::None, Title::lumora());
                cleanUpOutlook(state);
                return emptyText();
            }
            if (count == 0) {
                tell(msg::SelectAnItem, Icon::Information, Title::own(msg::SelectAnItemTitle));
                cleanUpOutlook(state);
                return emptyText();
            }
            std::string text;
            for (int32_t i = 1; i <= count; ++i) {
                if (i > 1) text += separator;
                text += recordOf(selection.getObject("item", i));
            }
            cleanUpOutlook(state);
            return Variant(text);
        },
        [&](const Error&) { return notInstalled(state); });
}

}  // namespace

Variant GetOutlookSelection(LumoraCtrl2005& control, Params&) {
    return selectedItems(control.state(), identityRecord, msg::SelectionIdSeparator);
}

Variant GetOutlookSelectionString(LumoraCtrl2005& control, Params&) {
    return selectedItems(control.state(), detailRecord, msg::SelectionRecordSeparator);
}

}  // namespace lumora::control
