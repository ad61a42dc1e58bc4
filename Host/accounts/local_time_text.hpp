#pragma once
// A moment as a person at this computer reads it: in the local time zone, to the second.

#include <cstdint>
#include <string>

namespace lumora::host {

// "2026-12-09 14:05:31" for milliseconds since 1970; "?" for a time the system cannot show.
std::string localTimeText(int64_t milliseconds);

}  // namespace lumora::host
