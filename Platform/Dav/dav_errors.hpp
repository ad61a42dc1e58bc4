#pragma once
// The numbered failures of the CalDAV/CardDAV client, in one table. Code names the entry
// (raise(DavError::Forbidden, url)); the number and text are written once, here. Transport
// failures (no connection, time-outs, oversized answers) keep the HTTP client's own errors.

#include <cstdint>
#include <string_view>

#include "Automation/error_table.hpp"

namespace lumora::dav {

enum class DavError {
    InvalidAddress,
    InsecureAddress,
    ForeignAddress,
    TooManyRedirects,
    Unauthorized,
    Forbidden,
    NotFound,
    PreconditionFailed,
    AlreadyExists,
    UnexpectedStatus,
    BadMultistatus,
    NoPrincipal,
    NoHomeSet,
    CannotCreateCollection,
};

inline constexpr std::string_view kDavSource = "Lumora.DAV";
inline constexpr int32_t kDavOwn = kObjectErrorBase + 0x0D00;

inline constexpr ErrorEntry<DavError> kDavErrors[] = {
    {DavError::InvalidAddress, kDavOwn + 1, kDavSource, "The address {} is not a valid http or https URL"},
    {DavError::InsecureAddress, kDavOwn + 2, kDavSource,
     "The address {} uses plain http; only a loopback server may be reached without TLS"},
    {DavError::ForeignAddress, kDavOwn + 3, kDavSource,
     "The server pointed to {}, which is outside the account's server; the account's password is not sent there"},
    {DavError::TooManyRedirects, kDavOwn + 4, kDavSource, "The server redirected more than 10 times from {}"},
    {DavError::Unauthorized, kDavOwn + 5, kDavSource,
     "The server refused the user name or password (401 Unauthorized) for {}"},
    {DavError::Forbidden, kDavOwn + 6, kDavSource,
     "The server does not allow this account to do that (403 Forbidden): {}"},
    {DavError::NotFound, kDavOwn + 7, kDavSource, "The server has nothing at {} (404 Not Found)"},
    {DavError::PreconditionFailed, kDavOwn + 8, kDavSource,
     "The resource {} was changed on the server since it was read (412 Precondition Failed)"},
    {DavError::AlreadyExists, kDavOwn + 9, kDavSource, "A resource already exists at {}"},
    {DavError::UnexpectedStatus, kDavOwn + 10, kDavSource, "The server answered {}"},
    {DavError::BadMultistatus, kDavOwn + 11, kDavSource, "The server's answer is not a valid WebDAV multistatus: {}"},
    {DavError::NoPrincipal, kDavOwn + 12, kDavSource,
     "The server at {} did not name the account's principal; is it a CalDAV or CardDAV address?"},
    {DavError::NoHomeSet, kDavOwn + 13, kDavSource, "The server did not name where the account's {} live"},
    {DavError::CannotCreateCollection, kDavOwn + 14, kDavSource, "The collection {} could not be created"},
};

constexpr std::span<const ErrorEntry<DavError>> errorTable(DavError) { return kDavErrors; }

}  // namespace lumora::dav
