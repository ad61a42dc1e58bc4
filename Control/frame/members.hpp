#pragma once
// The bodies of the control's 54 public members, grouped by the concern that implements them.
// Each receives the control and its arguments converted to the declared types (see
// interface_table.cpp for names, dispatch ids and parameters).

#include "Automation/typed_members.hpp"
#include "control.hpp"

namespace lumora::control {

using Body = Variant(LumoraCtrl2005& control, Params& params);

// frame/ — the control frame and local services
Body ServerName;
Body CleanUpOutlook;
Body GetVersion;
Body dateFormatOrder;
Body currencyFormat;
Body CreateMessage;
Body CheckForOutlook;
Body CheckForWord;
Body CreateExcelApp;

// frame/ — files and web transfer
Body OpenFile;
Body FindFile;
Body UploadFile;
Body GetTemplateList;

// documents/ — letters and quotes
Body CreateSeminarLetterXML;
Body CreateLetterXML;
Body CreateContactLetter;
Body WordQuote;
Body WordQuoteHtml;
Body ExcelQuote;

// calendar/ — appointments, tasks, the unsynchronised scan, e-mail
Body NewAppointment;
Body AddAppointment;
Body OpenAppointment;
Body OpenTask;
Body GetTaskFolderList;
Body GetFolderTaskItems;
Body ImportTask;
Body GetUnsyncedAppts;
Body GetUnsyncedTasks;
Body SetItemAsLumora;
Body GenerateEmail;
Body CreateHTMforPDF;
Body SendEmail;
Body SendEmailWithOriginal;
Body SendEmailFull;
Body ForwardEmailWithOriginal;
Body GetOutlookSelection;
Body GetOutlookSelectionString;

// contacts/ — contact folder, upsert, import, synchronisation state, vCards
Body SetContactFolder;
Body AddContact;
Body AddContactAll;
Body CheckForFolder;
Body AddUpdateContactXML;
Body GetContactFolderList;
Body GetFolderContactItems;
Body ImportContact;
Body RemoveContact;
Body SetImportID;
Body CheckIfSynchronised;
Body GetUnsyncedContacts;
Body CreateContactAsvCard;

// telephony/ — telephony requests
Body MakeCall;
Body HangupCall;
Body GetDialerVersion;
Body GetTapiDrivers;

}  // namespace lumora::control
