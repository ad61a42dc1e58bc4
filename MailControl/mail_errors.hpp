#pragma once
// The mail-campaign control's own errors and the texts RunCampaign returns: every number,
// source and description lives in this table; code names the entry.

#include <cstdint>
#include <string_view>

#include "Automation/error.hpp"

namespace lumora::mail {

enum class MailError {
    OutlookNotOpened,
    MailItemNotCreated,
    WordNotOpened,
    MailMergeNotCreated,
    DataSourcePath,
    MergeFilePath,
    TemplateMissing,
    FieldListMissing,
    // The work a member asks for is not available in this build of the control.
    NotAvailable,
};

struct MailErrorEntry {
    MailError id;
    int32_t number;
    const char* source;
    const char* description;
};

inline constexpr MailErrorEntry kMailErrors[] = {
    {MailError::OutlookNotOpened, kObjectErrorBase + 1007, "ROZUzuvOrivAriz.CreateMail",
     "Could not open Outlook. Check Outlook is installed"},
    {MailError::MailItemNotCreated, kObjectErrorBase + 1008, "ROZUzuvOrivAriz.CreateMail",
     "Could not create an Outlook Mail Item"},
    {MailError::WordNotOpened, kObjectErrorBase + 1012, "LumoraMailCtrl.RunCampaign",
     "Could not open Word. Check Word is installed"},
    {MailError::MailMergeNotCreated, kObjectErrorBase + 1014, "LumoraMailCtrl.RunCampaign",
     "Could not create Word MailMerge object"},
    {MailError::DataSourcePath, kObjectErrorBase + 1022, "ROZUzuvOrivAriz.SetTempFile",
     "An error occurred obtaining the Word Mail Merge datasource file path"},
    {MailError::MergeFilePath, kObjectErrorBase + 1022, "ROZUzuvOrivAriz.SetTempMergeFile",
     "An error occurred obtaining the Word Mail Merge datasource file path"},
    {MailError::TemplateMissing, kObjectErrorBase + 1024, "LumoraMailCtrl.RunCampaign",
     "Template Doc does not exist/Cannot be accessed"},
    {MailError::FieldListMissing, kObjectErrorBase + 1024, "LumoraMailCtrl.RunCampaign", "Could not locate fieldlist"},
    {MailError::NotAvailable, 445, "LumoraMailCtrl", "Object doesn't support this action"},
};

Error mailError(MailError id);

// The texts RunCampaign returns; a stage's failure is its prefix + the error's description.
namespace msg {
using T = std::string_view;
inline constexpr T Success = "Success";
inline constexpr T UnknownMedium = "Unknown Campaign Medium";
inline constexpr T NoAddresses = "No valid email/fax addresses in supplied data";
inline constexpr T CampaignFailed = "Error in MailCrtl:Runcampaign: ";
inline constexpr T AddressListFailed = "Error Retrieving email addresses: ";
inline constexpr T OutlookFailed = "Error in MS Outlook: ";
inline constexpr T OutlookFailedAtStep = " at step ";
inline constexpr T ReadingXmlFailed = "Error reading supplied XML: ";
inline constexpr T TempFileFailed = "Error setting temporary file: ";
inline constexpr T StartingWordFailed = "Error starting Word instance: ";
inline constexpr T OpeningMergeDocFailed = "Error opening Merge Document: ";
inline constexpr T BuildingMergeDocFailed = "Error building Merge Document: ";
inline constexpr T ReplacingTagsFailed = "Error replacing Word tags: ";
inline constexpr T PerformingMergeFailed = "Error performing Word merge: ";
inline constexpr T UnknownVersion = "Unknown";
}  // namespace msg

}  // namespace lumora::mail
