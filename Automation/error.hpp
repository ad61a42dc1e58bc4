#pragma once
// Automation errors: the number, description and source that a failing member reports,
// as script sees them in its Err object.

#include <cstdint>
#include <exception>
#include <string>

namespace lumora {

// Runtime errors that the controls and the stand-ins raise and that callers test by number.
enum class RuntimeError : int32_t {
    InvalidProcedureCall = 5,
    Overflow = 6,
    OutOfMemory = 7,
    SubscriptOutOfRange = 9,
    TypeMismatch = 13,
    BadFileNameOrNumber = 52,
    FileNotFound = 53,
    FileAlreadyExists = 58,
    InputPastEndOfFile = 62,
    PermissionDenied = 70,
    PathFileAccessError = 75,
    PathNotFound = 76,
    ObjectNotSet = 91,
    InvalidUseOfNull = 94,
    CantCreateObject = 429,
    RemoteMachineUnavailable = 462,
    ObjectDoesNotSupport = 438,
    NamedArgumentNotFound = 448,
    ArgumentNotOptional = 449,
    WrongNumberOfArguments = 450,
    PropertyLetNotDefined = 451,
    WordRangeCannotBeEdited = 5904,
};

// The automation object-error base (FACILITY_ITF): a control's own errors are this plus a small number.
inline constexpr int32_t kObjectErrorBase = static_cast<int32_t>(0x80040000u);

class Error : public std::exception {
public:
    Error(int32_t number, std::string description, std::string source = {});
    explicit Error(RuntimeError error, std::string source = {});

    // An error that a control raises itself: kObjectErrorBase + offset.
    static Error objectError(int32_t offset, std::string description, std::string source);
    // Wraps a foreign exception (bad_alloc, a library failure) so it can cross a member boundary.
    static Error fromException(const std::exception& e);

    int32_t number() const { return m_number; }
    const std::string& description() const { return m_description; }
    const std::string& source() const { return m_source; }
    const char* what() const noexcept override { return m_description.c_str(); }

    // The standard description of a runtime error, e.g. 13 -> "Type mismatch"; "" when not standard.
    static std::string standardDescription(int32_t number);

private:
    int32_t m_number;
    std::string m_description;
    std::string m_source;
};

[[noreturn]] void raise(RuntimeError error, std::string source = {});

}  // namespace lumora
