#include "error.hpp"

#include <new>
#include <utility>

namespace lumora {

namespace {

struct StandardError {
    int32_t number;
    const char* description;
};

constexpr StandardError kStandardErrors[] = {
    {5, "Invalid procedure call or argument"},
    {6, "Overflow"},
    {7, "Out of memory"},
    {9, "Subscript out of range"},
    {13, "Type mismatch"},
    {52, "Bad file name or number"},
    {53, "File not found"},
    {58, "File already exists"},
    {62, "Input past end of file"},
    {70, "Permission denied"},
    {75, "Path/File access error"},
    {76, "Path not found"},
    {91, "Object variable or With block variable not set"},
    {94, "Invalid use of Null"},
    {429, "ActiveX component can't create object"},
    {438, "Object doesn't support this property or method"},
    {448, "Named argument not found"},
    {449, "Argument not optional"},
    {450, "Wrong number of arguments or invalid property assignment"},
    {451, "Property let procedure not defined and property get procedure did not return an object"},
    {462, "The remote server machine does not exist or is unavailable"},
    {5904, "Cannot edit Range."},
};

}  // namespace

Error::Error(int32_t number, std::string description, std::string source)
    : m_number(number), m_description(std::move(description)), m_source(std::move(source)) {}

Error::Error(RuntimeError error, std::string source)
    : Error(static_cast<int32_t>(error), standardDescription(static_cast<int32_t>(error)), std::move(source)) {}

Error Error::objectError(int32_t offset, std::string description, std::string source) {
    return Error(kObjectErrorBase + offset, std::move(description), std::move(source));
}

Error Error::fromException(const std::exception& e) {
    if (auto* err = dynamic_cast<const Error*>(&e)) return *err;
    if (dynamic_cast<const std::bad_alloc*>(&e)) return Error(RuntimeError::OutOfMemory);
    // Library failures carry their own text; number 5 is how script sees "the call went wrong".
    return Error(static_cast<int32_t>(RuntimeError::InvalidProcedureCall), e.what());
}

std::string Error::standardDescription(int32_t number) {
    for (const auto& entry : kStandardErrors)
        if (entry.number == number) return entry.description;
    return {};
}

void raise(RuntimeError error, std::string source) { throw Error(error, std::move(source)); }

}  // namespace lumora
