#pragma once
// The desktop control LumoraCtrl2005: one object per page, holding the state its members share
// between calls. The members themselves live in the concern folders (frame, documents,
// calendar, contacts, telephony); interface_table.cpp lists them in dispatch-id order.

#include <string>

#include "Automation/object.hpp"
#include "Control/calendar/acrobat_references.hpp"
#include "Control/calendar/os_version.hpp"
#include "Control/contacts/contact_folder_state.hpp"
#include "Control/documents/record_tag_lists.hpp"
#include "outlook_references.hpp"

namespace lumora::control {

// What the control keeps between calls, one object per concern, so that each member shows the
// state it touches. The field names are those of the interface's own source, so that every
// member reads like the routine it reproduces. All object references start empty.
struct ControlState {
    OutlookReferences outlook;          // the Outlook objects of the current operation
    ContactFolderChoice contactFolder;  // the contact folder and its index
    RecordTagLists tags;                // the tag lists of the last record extraction
    OsVersionRecord osVersion;          // the system's version, as GenerateEmail last read it
    AcrobatReferences acrobat;          // the PDF converter while a quote becomes a PDF

    // Excel started by CreateExcelApp, kept for the quote export.
    struct ExcelSession {
        Object ExcelApp;
    } excel;

    // The dialer created by MakeCall, kept until the next MakeCall or the control's end.
    struct DialerLink {
        Object Dialer;
    } dialer;

    // The host part of the last address given to ServerName.
    struct ServerAddress {
        std::string ServerHost;
    } server;
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
