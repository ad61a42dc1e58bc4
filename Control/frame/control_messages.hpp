#pragma once
// Every text the desktop control shows or returns, and the step texts its failure messages
// quote, in one table. The wording is the product's own and pages compare some of it, so it is
// kept exactly, spelling included ("occured").

#include <string_view>

namespace lumora::control {

namespace msg {
using T = std::string_view;

// Frame
inline constexpr T LumoraTitle = "Lumora";
inline constexpr T StepFailurePrefix = "An error occured whilst ";
inline constexpr T StepFailureSeparator = ": ";
inline constexpr T ServerNameFailureStart = "An error occurred in the Lumora Control setting property 'server name' (";
inline constexpr T ServerNameFailureEnd = "). Please contact your system administrator";
inline constexpr T NoOutlook = "NoOutlook";
inline constexpr T LineBreak = "\r\n";

// Local services
inline constexpr T UnknownVersion = "Unknown";
inline constexpr T DayMonthYearOrder = "1";

// Files and web transfer
inline constexpr T OpenFileUnknownError = "Unable to open this file. An unknown error has occurred";
inline constexpr T FolderNotFoundStart = "Unable to find the folder '";
inline constexpr T FolderNotFoundEnd =
    "'. This folder may reside at a location which you do not have access to. This may be a network drive or "
    "another users local drive. Please contact the user who added this document or your system administrator";
inline constexpr T FolderNotFoundTitleStart = "Unable to find folder '";
inline constexpr T TemplateListFailedStart = "Unable to retrieve a list of templates from '";
inline constexpr T TemplateListFailedEnd =
    "'. Please check with your system administrator that you have access to this location.";
inline constexpr T EmptyTemplateList = "Empty";
inline constexpr T CannotStartWord = "Unable to start Microsoft Word - check that it is installed correctly";
inline constexpr T CannotStartExcel = "Unable to start Microsoft Excel - check that it is installed correctly";
inline constexpr T OpenFileNotFound =
    "Unable to open the file because it could not be found at the path specified. Ensure this file still exists";
inline constexpr T OpenFilePathNotFound =
    "Unable to open the file because it cannot be found. Ensure this file path currently exists";
inline constexpr T OpenFileAccessDenied = "Unable to open the file because access was denied";
inline constexpr T OpenFileSharingViolation = "Unable to open the file because a sharing violation has occurred";
inline constexpr T OpenFileIncompleteAssociation =
    "Unable to open the file because an invalid or incomplete file association exists. Ensure you have an "
    "application installed capable on rendering this file type";
inline constexpr T OpenFileNoAssociation =
    "Unable to open the file because no file association exists for this file type. Ensure you have an "
    "application installed capable on rendering this file type";
inline constexpr T FileNotFoundStart = "Unable to find the file '";
inline constexpr T FileNotFoundMiddle = "' in folder '";
inline constexpr T FileNotFoundEnd =
    "'. This file may have been added from a location which you do not have access to. This may be a network drive "
    "or another users local drive. Please contact the user who added this document or your system administrator";
inline constexpr T FileNotFoundTitleStart = "Unable to find file '";
inline constexpr T WebTemplateListFailedStart = "Error retrieving template list from web path '";
inline constexpr T WebTemplateListFailedEnd = "' - ";

// Record tag data
inline constexpr T ExtractTagDataFailedStart = "Error in ExtractTagData - ";
inline constexpr T ExtractTagDataFailedAtStep = " at step ";

// Letters and quotes
inline constexpr T NoTemplateSpecified = "No template has been specified for the document";
inline constexpr T SeminarStartingWordFailed = "Error starting word - ";
inline constexpr T SeminarOpeningTemplateStart = "Error opening template doc '";
inline constexpr T SeminarOpeningTemplateEnd = "' - ";
inline constexpr T LetterStartingWordFailed =
    "An error occurred whilst attempting to open Microsoft Word. Ensure Microsoft Word is available on this machine.";
inline constexpr T LetterOpeningTemplateStart = "An error occurred whilst attempting to open file '";
inline constexpr T LetterOpeningTemplateEnd = "'. Check this file exists, and is in the location specified.";
inline constexpr T InterfaceRemoved = "This interface has been removed";
inline constexpr T MakeWordVisible = "1";
inline constexpr T QuoteUnknownError = "An unknown error has occurred please contact your System Administrator";
inline constexpr T QuoteGenerationFailedStart = "An error has occurred creating a Quote in Microsoft Word. ";
inline constexpr T QuoteGenerationFailedTitle = "Quote generation failed";

// Appointments, tasks and the Outlook import members
inline constexpr T OutlookNotInstalled = "Outlook does not appear to be installed";
inline constexpr T TasksFolderNotFound = "Could not find 'Tasks' folder.";
inline constexpr T GetFolderTaskItemsFailed = "An error occurred running GetFolderTaskItems";
inline constexpr T ImportTaskFailed = "An error occurred running ImportTask";

// Outgoing e-mail
inline constexpr T QuoteMailType = "Quote";
inline constexpr T CannotSendQuote =
    "Unable to send this quote. Ensure Microsoft Outlook is available and configured for your use.";
inline constexpr T CannotSendQuoteTitle = "Unable to send quote";
inline constexpr T CannotSendReport =
    "Unable to send this report. Ensure Microsoft Outlook is available and configured for your use.";
inline constexpr T CannotSendReportTitle = "Unable to send report";
inline constexpr T AcrobatNotDetected =
    "Adobe Acrobat was not detected on your system and therefore Lumora was unable to generate a pdf file "
    "attachment. Please contact your system administrator";
inline constexpr T AcrobatNotDetectedTitle = "Install Adobe Acrobat";
inline constexpr T PdfConversionFailedStart =
    "An error occurred attempting to convert the quote to a PDF file. Error number:";
inline constexpr T PdfConversionFailedEnd = "Please contact your system administrator";

// Selected e-mail capture
inline constexpr T CannotAddEmailNoOutlook =
    "Unable to add the e-mail as Microsoft Outlook does not appear to be installed. Please check that Microsoft "
    "Outlook is installed on this machine and configured for your use.";
inline constexpr T CannotAddEmailTitle = "Unable to add email";
inline constexpr T SelectionUnreadable =
    "Error encountered. Please select the emails in Outlook and switch directly to the Lumora Emails screen to "
    "perform the Add function";
inline constexpr T SelectionUnreadableTitle = "Unable to add e-mail";
inline constexpr T NoOutlookSelection = "No Outlook";

// Contacts
inline constexpr T ContactsFolderNotFound = "Could not find contacts folder";
inline constexpr T AddContactWithoutFolder =
    "SetContactFolder() has not been run. Run this before calling AddContact()";
inline constexpr T AddContactAllWithoutFolder =
    "SetContactFolder() has not been run. Run this before calling AddContactAll()";
inline constexpr T AddUpdateContactXmlWithoutFolder =
    "SetContactFolder() has not been run. Run this before calling AddUpdateContactXml()";
inline constexpr T ExportingContactFailed = "Error exporting contact to Outlook: ";
inline constexpr T ContactsFolderNotFoundQuoted = "Could not find 'Contacts' folder.";
inline constexpr T GetFolderContactItemsFailed = "An error occurred running GetFolderContactItems";
inline constexpr T ImportContactFailed = "An error occurred running ImportContact.  Further Information:";
inline constexpr T SetImportIdFailed =
    "An error occurred setting the item id for the Outlook item. Please contact your system administrator";
inline constexpr T SynchronisationUnknown = "unknown";
inline constexpr T RemoveContactFailed =
    "Lumora failed to unsynchronize the Outlook contact. Please contact your system administrator";

// Telephony requests
inline constexpr T InsufficientParameters = "An insufficient number of parameters were passed!";
inline constexpr T ObjectParameterMissing = "Object parameter was missing!";
inline constexpr T TelephonyErrorTitle = "Error";
inline constexpr T TapiAddressSeparator = "~";
}  // namespace msg

// The step texts that failure messages quote.
namespace step {
using T = std::string_view;
inline constexpr T CreatingAppointment = "creating an Appointment";
inline constexpr T GettingOutlookApplication = "getting Outlook Application";
inline constexpr T GettingMapiNamespace = "getting MAPI Namespace";
inline constexpr T OpeningAppointment = "opening an Appointment";
inline constexpr T OpeningTask = "opening a Task";
inline constexpr T AccessingChosenFolder = "Accessing chosen folder";
inline constexpr T GettingRequiredFolder = "Getting Required Folder";
inline constexpr T SplittingParameters = "splitting parameters";
inline constexpr T GettingParameters = "getting parameters";
inline constexpr T CreatingDialerObject = "creating dialer object";
inline constexpr T MakingCall = "making call";
inline constexpr T SettingRootNode = "Setting root node";
inline constexpr T RetrievingTemplateTag = "Retrieving template tag";
inline constexpr T RetrievingDataForTag = "Retrieving data for tag ";
inline constexpr T SettingUpTagArray = "Setting up tag and value array for tag ";
inline constexpr T SettingUpAlternateTagArray = "Setting up alternate tag and value array for tag ";
}  // namespace step

}  // namespace lumora::control
