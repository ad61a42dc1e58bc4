#pragma once
// The desktop control LumoraCtrl2005: one object per page, holding the state its members share
// between calls. The members themselves live in the concern folders (frame, documents,
// calendar, contacts, telephony); interface_table.cpp lists them in dispatch-id order.

#include <cstdint>
#include <string>
#include <vector>

#include "Automation/object.hpp"

namespace lumora::control {

// What the control keeps between calls. The field names are those of the interface's own
// source, so that every member reads like the routine it reproduces. All object references
// start empty; CleanUpOutlook releases the Outlook ones.
struct ControlState {
    // Outlook references of the current operation, filled afresh by every Outlook member.
    Object OutlookApp;
    Object MapiNamespace;
    Object CurrentItem;
    Object CurrentAppointment;
    Object MailItem;
    Object ContactItem;
    Object DefaultFolder;
    Object SubFolder;
    Object TargetFolder;      // the contact folder chosen by SetContactFolder, or a folder by id
    Object LoopItem;          // not released by CleanUpOutlook
    Object ItemUserProperty;
    Object LumoraProperty;    // not released by CleanUpOutlook
    Object SharedRecipient;   // not released by CleanUpOutlook

    std::string DefaultStoreID;
    std::string ServerHost;   // the host part of the last address given to ServerName

    // Excel started by CreateExcelApp, kept for the quote export.
    Object ExcelApp;

    // The dialer created by MakeCall, kept until the next MakeCall or the control's end.
    Object Dialer;

    // The contact folder of SetContactFolder: its name as given, the position of the subfolder
    // whose name matched (0 for none), and whether the contact index belongs to this folder.
    std::string ContactFolderName;
    int16_t MatchedSubfolder = 0;
    bool ContactIndexBuilt = false;

    // The tag lists of the last record-document extraction: entry i of each belongs to the
    // others' entry i (search tag "<tag>", the field's name, its value). Lower bound 0.
    std::vector<std::string> TagList;
    std::vector<std::string> FieldNameList;
    std::vector<std::string> ValueList;
};

class LumoraCtrl2005 : public Dispatch {
public:
    LumoraCtrl2005() = default;
    const TypeInfo& typeInfo() const override;

    ControlState& state() { return m_state; }
    const ControlState& state() const { return m_state; }

private:
    ControlState m_state;
};

// The interface of the class, built once.
const TypeInfo& controlTypeInfo();

}  // namespace lumora::control
