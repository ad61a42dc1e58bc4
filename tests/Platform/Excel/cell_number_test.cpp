// Text typed into a cell: numbers as the user's locale writes them become numbers with the
// format they were typed in; formulas, codes with leading zeros and long digit strings stay text.

#include <gtest/gtest.h>

#include "Platform/Desktop/headless_desktop.hpp"
#include "Platform/Excel/cell_number.hpp"

namespace lumora {
namespace {

using excel::readCellNumber;

desktop::NumberConventions conventionsOf(const std::string& locale) {
    return desktop::HeadlessDesktop(desktop::SystemConfig{{}, {}, locale}).numberConventions();
}

void expectNumber(std::string_view text, const desktop::NumberConventions& conventions, double value,
                  const std::string& format) {
    const auto number = readCellNumber(text, conventions);
    ASSERT_TRUE(number) << text;
    EXPECT_EQ(number->value, value) << text;
    EXPECT_EQ(number->format, format) << text;
}

TEST(CellNumber, AmountsReadInTheirOwnLocaleKeepDecimalsGroupingSymbolAndPercent) {
    const auto british = conventionsOf("en_GB");
    expectNumber("12.50", british, 12.5, "0.00");
    expectNumber("1,234.50", british, 1234.5, "#,##0.00");
    expectNumber("2", british, 2, "");
    expectNumber(" 7\u00A0", british, 7, "");
    expectNumber("0.07", british, 0.07, "0.00");
    expectNumber("£1,099.50", british, 1099.5, "\"£\"#,##0.00");
    expectNumber("19%", british, 0.19, "0%");
    expectNumber("12.5 %", british, 0.125, "0.0 %");
    expectNumber("123456789012345", british, 123456789012345.0, "");

    const auto german = conventionsOf("de_DE");
    expectNumber("1.234,50", german, 1234.5, "#,##0.00");
    expectNumber("1.234,50 €", german, 1234.5, "#,##0.00 \"€\"");
    expectNumber("19 %", german, 0.19, "0 %");
    EXPECT_FALSE(readCellNumber("1,234.50", german));  // "1,234" has no decimals to read after

    // Digits grouped with the plain space a page shows for the locale's narrow no-break space.
    expectNumber("1 234,50", conventionsOf("fr_FR"), 1234.5, "#,##0.00");
}

TEST(CellNumber, FormulaLeadsSignsCodesAndLongDigitStringsStayText) {
    const auto british = conventionsOf("en_GB");
    for (std::string_view text :
         {"=1+1", "+5", "-5", " -5", "@SUM(A1:A9)", "\t5", "\r5", "£-5", "007", "00", "0,123", "1234567890123456",
          "12345678901234.56", "1,23", "1234,567", "1,234,56", "1e5", "5.", ".", "", "%", "5%%", "$5", "£5%", "5 5",
          "١٢٣"})
        EXPECT_FALSE(readCellNumber(text, british)) << text;
    // A locale the system does not know reads nothing as a number rather than guess its separators.
    EXPECT_FALSE(readCellNumber("5", desktop::NumberConventions{}));
}

}  // namespace
}  // namespace lumora
