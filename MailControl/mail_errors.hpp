#pragma once
// The mail-campaign control's own errors: every number, source and description lives in this
// table; code names the entry. The texts RunCampaign returns are in mail_messages.json.

#include <cstdint>
#include <string_view>

#include "Automation/deliverables.hpp"
#include "Automation/error_table.hpp"

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
};

inline constexpr std::string_view kDataSourcePathFailed =
    "An error occurred obtaining the Word Mail Merge datasource file path";

inline constexpr ErrorEntry<MailError> kMailErrors[] = {
    {MailError::OutlookNotOpened, kObjectErrorBase + 1007, LUMORA_ROUTINE_SOURCE("CreateMail"), "Could not open Outlook. Check Outlook is installed"},
    {MailError::MailItemNotCreated, kObjectErrorBase + 1008, LUMORA_ROUTINE_SOURCE("CreateMail"), "Could not create an Outlook Mail Item"},
    {MailError::WordNotOpened, kObjectErrorBase + 1012, "LumoraMailCtrl.RunCampaign", "Could not open Word. Check Word is installed"},
    {MailError::MailMergeNotCreated, kObjectErrorBase + 1014, "LumoraMailCtrl.RunCampaign", "Could not create Word MailMerge object"},
    {MailError::DataSourcePath, kObjectErrorBase + 1022, LUMORA_ROUTINE_SOURCE("SetTempFile"), kDataSourcePathFailed},
    {MailError::MergeFilePath, kObjectErrorBase + 1022, LUMORA_ROUTINE_SOURCE("SetTempMergeFile"), kDataSourcePathFailed},
    {MailError::TemplateMissing, kObjectErrorBase + 1024, "LumoraMailCtrl.RunCampaign", "Template Doc does not exist/Cannot be accessed"},
    {MailError::FieldListMissing, kObjectErrorBase + 1024, "LumoraMailCtrl.RunCampaign", "Could not locate fieldlist"},
};

constexpr std::span<const ErrorEntry<MailError>> errorTable(MailError) { return kMailErrors; }

// The work a member asks for is not available in this build of the control: the runtime's
// "action not supported", from the control itself.
inline Error notAvailable() { return Error(RuntimeError::ActionNotSupported, deliverables::kMailControl.className); }

}  // namespace lumora::mail
