#pragma once
// The host's own failures: what a session or the command line reports when a caller's request
// cannot be carried out. Every number and text lives in this table; code names the entry, and
// a detail (the XML parser's reason, the rejected text) completes the description.

#include <cstdint>
#include <string_view>

#include "Automation/error_table.hpp"

namespace lumora::host {

enum class HostError {
    ValueNestedTooDeep,   // an encoded value deeper than kMaxValueDepth
    ArrayTooLarge,        // an encoded array longer than kMaxArrayLength
    TooManyObjects,       // a session already keeps kMaxSessionObjects objects
    ArgumentsNotArray,    // a call's positional arguments are not a JSON array
    NamedNotObject,       // a call's named arguments are not a JSON object
    XmlNotLoaded,         // an {"$xml": …} value whose text the XML document rejected
    BadDateText,          // a {"$date": …} value that is not "yyyy-MM-ddTHH:mm:ss"
    BadDriveSetting,      // a drive mapping that is not DRIVE=FOLDER with a drive letter or share
    DrivesFileUnreadable, // the data folder's drives.json is not a table of drive: folder
    DrivesFileNotSaved,   // drives.json could not be written
    CredentialsNotSaved,  // the keyring could not keep an account's password (its reason)
    CredentialsUnreadable, // the keyring could not give a kept password (its reason)
    PrivateFileNotSaved,  // a file of the owner's alone (accounts, passwords) could not be written
    PrivateFileUnreadable, // such a file is damaged, too large or unreadable
    PrivateFileExposed,   // such a file may be read or written by others
    AccountExists,        // a groupware account of that name is kept already
    NoSuchAccount,        // no groupware account has that name
    NoPassword,           // no password is kept for a groupware account
};

inline constexpr int kMaxValueDepth = 64;
inline constexpr size_t kMaxArrayLength = 1'000'000;
inline constexpr size_t kMaxSessionObjects = 100'000;

inline constexpr std::string_view kHostErrorSource = "Lumora Desktop";

inline constexpr ErrorEntry<HostError> kHostErrors[] = {
    {HostError::ValueNestedTooDeep, RuntimeError::InvalidProcedureCall, kHostErrorSource, "Value nested more than 64 levels deep"},
    {HostError::ArrayTooLarge, RuntimeError::InvalidProcedureCall, kHostErrorSource, "Array longer than 1000000 elements"},
    {HostError::TooManyObjects, RuntimeError::OutOfMemory, kHostErrorSource, "Too many objects kept in this session (100000)"},
    {HostError::ArgumentsNotArray, RuntimeError::InvalidProcedureCall, kHostErrorSource, "Arguments must be a JSON array"},
    {HostError::NamedNotObject, RuntimeError::InvalidProcedureCall, kHostErrorSource, "Named arguments must be a JSON object"},
    {HostError::XmlNotLoaded, RuntimeError::InvalidProcedureCall, kHostErrorSource, "The XML document could not be loaded"},
    {HostError::BadDateText, RuntimeError::TypeMismatch, kHostErrorSource, "Type mismatch: a date must read yyyy-MM-ddTHH:mm:ss"},
    {HostError::BadDriveSetting, RuntimeError::InvalidProcedureCall, kHostErrorSource,
     "A drive is mapped as DRIVE=FOLDER, with a drive letter (C:) or a share (\\\\server\\share)"},
    {HostError::DrivesFileUnreadable, RuntimeError::PathNotFound, kHostErrorSource,
     "The drive table drives.json must be an object of drive: folder"},
    {HostError::DrivesFileNotSaved, RuntimeError::PermissionDenied, kHostErrorSource,
     "The drive table drives.json could not be saved"},
    {HostError::CredentialsNotSaved, RuntimeError::PermissionDenied, kHostErrorSource,
     "The account's password could not be kept in the desktop keyring: {}"},
    {HostError::CredentialsUnreadable, RuntimeError::PermissionDenied, kHostErrorSource,
     "The account's password could not be read from the desktop keyring: {}"},
    {HostError::PrivateFileNotSaved, RuntimeError::PermissionDenied, kHostErrorSource, "{} could not be saved"},
    {HostError::PrivateFileUnreadable, RuntimeError::PermissionDenied, kHostErrorSource,
     "{} could not be read: it is damaged, too large or not a file"},
    {HostError::PrivateFileExposed, RuntimeError::PermissionDenied, kHostErrorSource,
     "{} may be read by others: make it readable by you alone (chmod 600) and change the passwords it holds"},
    {HostError::AccountExists, RuntimeError::InvalidProcedureCall, kHostErrorSource,
     "There is an account named {} already: remove it first, or name the new one with --name"},
    {HostError::NoSuchAccount, RuntimeError::InvalidProcedureCall, kHostErrorSource, "There is no account named {}"},
    {HostError::NoPassword, RuntimeError::PermissionDenied, kHostErrorSource,
     "No password is kept for the account {}: remove it and add it again"},
};

constexpr std::span<const ErrorEntry<HostError>> errorTable(HostError) { return kHostErrors; }

}  // namespace lumora::host
