#pragma once
// Text typed into a cell that reads as a number in the user's locale is kept as that number,
// as a spreadsheet program keeps what a person types, with a number format that shows it as it
// was typed: its decimals, its digit grouping, its currency symbol and its percent sign.
// Everything else stays text, whole: above all whatever could be read as a formula.

#include <optional>
#include <string>
#include <string_view>

#include "Platform/Desktop/desktop.hpp"

namespace lumora::excel {

struct CellNumber {
    double value = 0;
    // The cell's number format in the file's notation ("#,##0.00", "0%", "\"€\"0.00"); empty
    // for the General format, which shows a whole number as typed.
    std::string format;
};

// The number the text stands for, or nullopt when it stays text. Read as numbers: digits with
// the locale's decimal separator and, in groups of three, its group separator; the locale's
// currency symbol before or after; a percent sign after (the value is a hundredth). Kept as
// text: an unknown locale, formula leads, leading zeros ("007"), more than 15 digits (beyond
// what a number cell holds exactly, like account numbers), exponents and signs.
std::optional<CellNumber> readCellNumber(std::string_view text, const desktop::NumberConventions& conventions);

}  // namespace lumora::excel
