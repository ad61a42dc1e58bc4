#pragma once
// What a line accepts as a number to dial: digits with the usual visual separators, as in
// RFC 3966's global and local numbers, plus the keypad's * and #.

#include <string>

namespace lumora::telephony {

// Raises NumberNotDialable (letters, control characters, nothing to dial) or NumberTooLong.
void checkNumber(const std::string& number);

// The number as a line dials it: the visual separators (blank - . ( )) left out.
std::string dialledDigits(const std::string& number);

}  // namespace lumora::telephony
