#include "outside_apps.hpp"

#include "Automation/registry.hpp"
#include "Automation/traps.hpp"
#include "Platform/Files/page_reach.hpp"

namespace lumora::control {

Object createApplication(std::string_view progId) { return Registry::instance().createObject(progId); }

Object createDialer(std::string_view progIdOrClsid) {
    Registry& registry = Registry::instance();
    if (files::PageReach::confined() && registry.kindOf(progIdOrClsid) != ClassKind::Dialer)
        raise(RuntimeError::CantCreateObject);
    return registry.createObject(progIdOrClsid);
}

void reachOutlook(OutlookReferences& outlook, OutlookWay way) {
    Registry& registry = Registry::instance();
    switch (way) {
        case OutlookWay::Create: outlook.OutlookApp = registry.createObject(progid::Outlook); break;
        case OutlookWay::Attach: outlook.OutlookApp = registry.getObject(progid::Outlook); break;
        case OutlookWay::CreateWithFallback:
            if (tryLocal([&] { outlook.OutlookApp = registry.createObject(progid::Outlook); }))
                outlook.OutlookApp = registry.createObject(progid::Outlook, kLoopbackMachine);
            break;
    }
}

void openMapiNamespace(OutlookReferences& outlook) {
    outlook.MapiNamespace = outlook.OutlookApp.call("GetNamespace", "MAPI").toObject();
}

void openDefaultFolder(OutlookReferences& outlook, OutlookWay way, pim::FolderType type) {
    reachOutlook(outlook, way);
    openMapiNamespace(outlook);
    outlook.DefaultFolder = outlook.MapiNamespace.call("GetDefaultFolder", static_cast<int32_t>(type)).toObject();
}

}  // namespace lumora::control
