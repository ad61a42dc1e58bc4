#pragma once
// The PIM's own errors, in one table. The numbers are those of the messaging store the object
// model imitates, so that callers which explain store errors by number find them.

#include "Automation/error_table.hpp"

namespace lumora::pim {

enum class PimError {
    NotFound,
    DiskError,
    NoAccess,
    CorruptStore,
    Busy,
    FolderNotFound,
    FolderExists,
    BadFolderName,
    NotResolved,
    NotShared,
    BadFolderType,
    BadItemType,
    ItemDeleted,
    AttachmentMissing,
    AttachmentNotAFile,
    AttachmentTooLarge,
    BadRecipientType,
    UnknownProperty,
    BadContentId,
    BadImportFile,
    ImportTooLarge,
    BadExportKind,
    Injected,
    NoJournalEntry,
    BadResource,
    ResourceTooLarge,
    ReadOnlyShare,
};

inline constexpr std::string_view kPimSource = "Lumora.PIM";

inline constexpr ErrorEntry<PimError> kPimErrors[] = {
    {PimError::NotFound, static_cast<int32_t>(0x8004010F), kPimSource,
     "The operation failed. An object could not be found."},
    {PimError::DiskError, static_cast<int32_t>(0x80040116), kPimSource,
     "The PIM store could not be read or written"},
    {PimError::NoAccess, static_cast<int32_t>(0x80070005), kPimSource,
     "The PIM store is read-only or not accessible"},
    {PimError::CorruptStore, static_cast<int32_t>(0x8004011B), kPimSource, "The PIM store is damaged"},
    {PimError::Busy, static_cast<int32_t>(0x8004010B), kPimSource,
     "The PIM store is busy with another operation"},
    {PimError::FolderNotFound, static_cast<int32_t>(0x8004010F), kPimSource,
     "The attempted operation failed. An object could not be found: {}"},
    {PimError::FolderExists, static_cast<int32_t>(0x80040604), kPimSource,
     "Cannot create the folder: {} already exists"},
    {PimError::BadFolderName, RuntimeError::InvalidProcedureCall, kPimSource,
     "Cannot create the folder: a folder name cannot hold a NUL character"},
    {PimError::NotResolved, static_cast<int32_t>(0x80040605), kPimSource,
     "The recipient {} could not be resolved"},
    {PimError::NotShared, static_cast<int32_t>(0x8004011D), kPimSource,
     "You do not have permission to open this folder of {}"},
    {PimError::BadFolderType, RuntimeError::InvalidProcedureCall, kPimSource, "There is no default folder of type {}"},
    {PimError::BadItemType, RuntimeError::InvalidProcedureCall, kPimSource, "There is no item type {}"},
    {PimError::ItemDeleted, static_cast<int32_t>(0x8004010F), kPimSource,
     "The item has been moved or deleted"},
    {PimError::AttachmentMissing, static_cast<int32_t>(0x80070002), kPimSource,
     "Cannot find this file. Verify the path and file name are correct: {}"},
    {PimError::AttachmentNotAFile, static_cast<int32_t>(0x80070057), kPimSource,
     "Cannot attach {}: it is a folder, not a file"},
    {PimError::AttachmentTooLarge, static_cast<int32_t>(0x80070057), kPimSource,
     "Cannot attach {}: the file is larger than 64 MB"},
    {PimError::BadRecipientType, RuntimeError::InvalidProcedureCall, kPimSource,
     "A recipient's type is 1 (To), 2 (CC) or 3 (BCC), not {}"},
    {PimError::UnknownProperty, static_cast<int32_t>(0x8004010F), kPimSource,
     "The property \"{}\" is unknown or cannot be found."},
    {PimError::BadContentId, RuntimeError::InvalidProcedureCall, kPimSource,
     "The content id \"{}\" cannot name an attachment: it takes up to 250 ASCII characters, none of"
     " them blanks, brackets, quotes, commas, colons or semicolons"},
    {PimError::BadImportFile, static_cast<int32_t>(0x80040606), kPimSource,
     "The file cannot be imported; nothing was imported: {}"},
    {PimError::ImportTooLarge, static_cast<int32_t>(0x80040607), kPimSource,
     "The file {} is larger than 16 MB; nothing was imported"},
    {PimError::BadExportKind, RuntimeError::InvalidProcedureCall, kPimSource,
     "Export takes contacts, calendar or tasks, not {}"},
    // A failure a test or a person asked for (PimAdmin.FailNext); raised with the number asked for.
    {PimError::Injected, RuntimeError::InvalidProcedureCall, kPimSource, "The operation failed"},
    {PimError::NoJournalEntry, static_cast<int32_t>(0x8004010F), kPimSource,
     "The PIM's history has no entry {}: it was never made or has been pruned"},
    // An event, task or contact as a calendar or address-book server holds it (dav_resources.hpp).
    {PimError::BadResource, static_cast<int32_t>(0x80040608), kPimSource,
     "The item from the server cannot be read: {}"},
    {PimError::ResourceTooLarge, static_cast<int32_t>(0x80040609), kPimSource,
     "The item from the server is larger than {}; it was not read"},
    // A change to an item of another user's folder that is shared with the current user to read only.
    {PimError::ReadOnlyShare, static_cast<int32_t>(0x80040123), kPimSource,
     "The folder of {} is shared with you to read only; nothing was changed"},
};
constexpr std::span<const ErrorEntry<PimError>> errorTable(PimError) { return kPimErrors; }

}  // namespace lumora::pim
