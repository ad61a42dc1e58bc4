#include "phone_number.hpp"

#include "telephony_errors.hpp"

namespace lumora::telephony {

namespace {

// Longer than any number a telephone network routes (E.164 allows 15 digits) with room for
// separators and extensions, short enough that a message quoting it stays readable.
constexpr size_t kMaxNumberLength = 64;

bool isVisualSeparator(char c) { return c == ' ' || c == '-' || c == '.' || c == '(' || c == ')'; }
bool isDialled(char c) { return (c >= '0' && c <= '9') || c == '*' || c == '#'; }

}  // namespace

void checkNumber(const std::string& number) {
    if (number.size() > kMaxNumberLength) raise(TelephonyError::NumberTooLong, std::to_string(kMaxNumberLength));
    bool anyDigit = false;
    for (size_t i = 0; i < number.size(); ++i) {
        const char c = number[i];
        if (isDialled(c)) {
            anyDigit = true;
        } else if (!(isVisualSeparator(c) || (c == '+' && !anyDigit))) {
            raise(TelephonyError::NumberNotDialable, number);
        }
    }
    if (!anyDigit) raise(TelephonyError::NumberNotDialable, number);
}

std::string dialledDigits(const std::string& number) {
    std::string digits;
    for (char c : number)
        if (!isVisualSeparator(c)) digits += c;
    return digits;
}

}  // namespace lumora::telephony
