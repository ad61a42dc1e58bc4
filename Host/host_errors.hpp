#pragma once
// The host's own failures: what a session or the command line reports when a caller's request
// cannot be carried out. Every text lives in host_errors.cpp; code names the entry.

#include <cstdint>
#include <string_view>

#include "Automation/error.hpp"

namespace lumora::host {

enum class HostError {
    ValueNestedTooDeep,   // an encoded value deeper than kMaxValueDepth
    ArrayTooLarge,        // an encoded array longer than kMaxArrayLength
    TooManyObjects,       // a session already keeps kMaxSessionObjects objects
    ArgumentsNotArray,    // a call's positional arguments are not a JSON array
    NamedNotObject,       // a call's named arguments are not a JSON object
    XmlNotLoaded,         // an {"$xml": …} value whose text the XML document rejected
    BadDateText,          // a {"$date": …} value that is not "yyyy-MM-ddTHH:mm:ss"
};

inline constexpr int kMaxValueDepth = 64;
inline constexpr size_t kMaxArrayLength = 1'000'000;
inline constexpr size_t kMaxSessionObjects = 100'000;

// The error for `which`; detail completes the description where the entry has a place for it
// (the XML parser's reason, the rejected text).
Error hostError(HostError which, std::string_view detail = {});

}  // namespace lumora::host
