#pragma once
// The telephony stand-in's own errors, in one table.

#include <span>

#include "Automation/error_table.hpp"

namespace lumora::telephony {

enum class TelephonyError {
    NotInitialized,
    NumberNotDialable,
    NumberTooLong,
    UnknownCallType,
    LineRefused,
    NoAnswer,
    UserAgentMissing,
    UserAgentFailed,
    NoLinkHandler,
    LineListUnreadable,
    LineListUnwritable,
    BadLineName,
    LineExists,
    NoSuchLine,
    BadAccount,
    BadPassword,
    BadOutboundProxy,
    BadSoundDevice,
    NotRegistered,
};

inline constexpr char kSource[] = "Lumora.TAPI";

inline constexpr ErrorEntry<TelephonyError> kTelephonyErrors[] = {
    {TelephonyError::NotInitialized, kObjectErrorBase + 0x401, kSource, "The telephony object has not been initialized"},
    {TelephonyError::NumberNotDialable, kObjectErrorBase + 0x402, kSource,
     "'{}' is not a phone number: only digits, blanks, + - . ( ) * # may be dialled"},
    {TelephonyError::NumberTooLong, kObjectErrorBase + 0x403, kSource, "The phone number is longer than {} characters"},
    {TelephonyError::UnknownCallType, kObjectErrorBase + 0x404, kSource,
     "Only voice calls to phone numbers can be made (address type 1, media type 8)"},
    {TelephonyError::LineRefused, kObjectErrorBase + 0x405, kSource, "The line refused the call: {}"},
    {TelephonyError::NoAnswer, kObjectErrorBase + 0x406, kSource, "The line did not answer within {} seconds"},
    {TelephonyError::UserAgentMissing, kObjectErrorBase + 0x407, kSource,
     "The SIP user agent baresip is not installed (Debian package baresip-core)"},
    {TelephonyError::UserAgentFailed, kObjectErrorBase + 0x408, kSource, "The SIP user agent failed: {}"},
    {TelephonyError::NoLinkHandler, kObjectErrorBase + 0x409, kSource,
     "No program on this desktop takes tel: links (code {})"},
    {TelephonyError::LineListUnreadable, kObjectErrorBase + 0x40a, kSource, "The line list {} cannot be read"},
    {TelephonyError::LineListUnwritable, kObjectErrorBase + 0x40b, kSource, "The line list {} cannot be written"},
    {TelephonyError::BadLineName, kObjectErrorBase + 0x40c, kSource,
     "A line name must be 1 to 100 characters without control characters or '~'"},
    {TelephonyError::LineExists, kObjectErrorBase + 0x40d, kSource, "There is already a line named '{}'"},
    {TelephonyError::NoSuchLine, kObjectErrorBase + 0x40e, kSource, "There is no line named '{}'"},
    {TelephonyError::BadAccount, kObjectErrorBase + 0x40f, kSource,
     "The SIP account must read sip:USER@HOST[:PORT] without blanks or control characters, not '{}'"},
    {TelephonyError::BadPassword, kObjectErrorBase + 0x410, kSource,
     "A SIP password must be 1 to 256 characters without blanks, ';' or control characters"},
    {TelephonyError::BadOutboundProxy, kObjectErrorBase + 0x411, kSource,
     "The outbound proxy must read sip:HOST[:PORT] without blanks or control characters, not '{}'"},
    {TelephonyError::BadSoundDevice, kObjectErrorBase + 0x412, kSource,
     "A sound device is an ALSA device name or file:PATH.wav, without control characters"},
    {TelephonyError::NotRegistered, kObjectErrorBase + 0x413, kSource,
     "The line is not registered with its PBX: {}"},
};
constexpr std::span<const ErrorEntry<TelephonyError>> errorTable(TelephonyError) { return kTelephonyErrors; }

}  // namespace lumora::telephony
