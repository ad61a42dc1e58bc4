#pragma once
// The Outlook objects a member holds while it works: filled afresh by every Outlook member and
// released by CleanUpOutlook, except where noted. The names are those every member's routine uses.

#include <string>

#include "Automation/object.hpp"

namespace lumora::control {

struct OutlookReferences {
    Object OutlookApp;
    Object MapiNamespace;
    Object CurrentItem;
    Object CurrentAppointment;
    Object MailItem;
    Object ContactItem;
    Object DefaultFolder;
    Object SubFolder;
    Object LoopItem;          // not released by CleanUpOutlook
    Object ItemUserProperty;
    Object LumoraProperty;    // not released by CleanUpOutlook
    Object SharedRecipient;   // not released by CleanUpOutlook

    std::string DefaultStoreID;
};

}  // namespace lumora::control
