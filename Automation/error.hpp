#pragma once
// Automation errors: the number, description and source that a failing member reports,
// as script sees them in its Err object.

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace lumora {

// The runtime errors that the controls and the stand-ins raise and that callers test by number,
// each with its standard description, listed once: the enum and the description lookup are both
// made from this list.
#define LUMORA_RUNTIME_ERRORS(X)                                                                               \
    X(InvalidProcedureCall, 5, "Invalid procedure call or argument")                                         \
    X(Overflow, 6, "Overflow")                                                                               \
    X(OutOfMemory, 7, "Out of memory")                                                                       \
    X(SubscriptOutOfRange, 9, "Subscript out of range")                                                      \
    X(TypeMismatch, 13, "Type mismatch")                                                                     \
    X(UserInterrupt, 18, "User interrupt occurred")                                                          \
    X(BadFileNameOrNumber, 52, "Bad file name or number")                                                    \
    X(FileNotFound, 53, "File not found")                                                                    \
    X(DeviceIoError, 57, "Device I/O error")                                                                 \
    X(FileAlreadyExists, 58, "File already exists")                                                          \
    X(DiskFull, 61, "Disk full")                                                                             \
    X(InputPastEndOfFile, 62, "Input past end of file")                                                      \
    X(PermissionDenied, 70, "Permission denied")                                                             \
    X(PathFileAccessError, 75, "Path/File access error")                                                     \
    X(PathNotFound, 76, "Path not found")                                                                    \
    X(ObjectNotSet, 91, "Object variable or With block variable not set")                                    \
    X(InvalidUseOfNull, 94, "Invalid use of Null")                                                           \
    X(PropertyReadOnly, 383, "Property is read-only")                                                       \
    X(CantCreateObject, 429, "ActiveX component can't create object")                                        \
    X(ObjectDoesNotSupport, 438, "Object doesn't support this property or method")                           \
    X(ActionNotSupported, 445, "Object doesn't support this action")                                         \
    X(NamedArgumentNotFound, 448, "Named argument not found")                                                \
    X(ArgumentNotOptional, 449, "Argument not optional")                                                     \
    X(WrongNumberOfArguments, 450, "Wrong number of arguments or invalid property assignment")               \
    X(PropertyLetNotDefined, 451,                                                                            \
      "Property let procedure not defined and property get procedure did not return an object")             \
    X(RemoteMachineUnavailable, 462, "The remote server machine does not exist or is unavailable")           \
    X(WordRangeCannotBeEdited, 5904, "Cannot edit Range.")

enum class RuntimeError : int32_t {
#define LUMORA_RUNTIME_ERROR_ENUM(name, number, description) name = number,
    LUMORA_RUNTIME_ERRORS(LUMORA_RUNTIME_ERROR_ENUM)
#undef LUMORA_RUNTIME_ERROR_ENUM
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
[[noreturn]] void raise(Error error);

// Runs body and lets only Errors out: a foreign exception (bad_alloc, a JSON or library
// failure) becomes an Error here, the one place where that conversion is written.
// Always inlined: every late-bound call runs its member through it.
template <class Body>
[[gnu::always_inline]] inline auto asError(Body&& body) -> decltype(body()) {
    try {
        return body();
    } catch (const Error&) {
        throw;
    } catch (const std::exception& e) {
        throw Error::fromException(e);
    }
}

}  // namespace lumora
