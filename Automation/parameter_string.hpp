#pragma once
// The parameter string of a call request, read the same way by the dialer and the desktop control:
// ";"-separated elements of the form key "=" value, e.g. number=123;tapidevice=modem;object=...
// Keys ignore letter case; values are used exactly as written, blanks included.

#include <string>
#include <string_view>
#include <vector>

namespace lumora {

// The pieces of the string divided at every ";", empty pieces included; none for "".
std::vector<std::string> splitParameters(std::string_view parameters);

// The value of the first piece whose key (the text before its first "=") equals `key` without
// regard to letter case; "" when no piece has that key. Pieces without "=" never match.
std::string GetParameter(const std::vector<std::string>& parts, std::string_view key);

}  // namespace lumora
