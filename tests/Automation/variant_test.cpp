#include <gtest/gtest.h>

#include "Automation/object.hpp"
#include "Automation/vb/convert.hpp"
#include "error_matchers.hpp"

using namespace lumora;

TEST(VariantIntegerCoercion, SixteenBitRangeOverflowsWithError6) {
    EXPECT_EQ(Variant(-32768).toI2(), -32768);
    EXPECT_AUTOMATION_ERROR(Variant(32768).toI2(), 6);
    EXPECT_AUTOMATION_ERROR(Variant(32767.5).toI2(), 6);  // rounds to 32768 first
    EXPECT_AUTOMATION_ERROR(Variant(3e10).toI4(), 6);
}

TEST(VariantIntegerCoercion, FractionsRoundHalfToEven) {
    EXPECT_EQ(Variant(2.5).toI2(), 2);
    EXPECT_EQ(Variant(3.5).toI2(), 4);
    EXPECT_EQ(Variant(-2.5).toI2(), -2);
    EXPECT_EQ(Variant(" 12 ").toI4(), 12);
}

TEST(VariantCoercionFailures, NullIsError94AndTextIsError13) {
    EXPECT_AUTOMATION_ERROR(Variant::null().toString(), 94);
    EXPECT_AUTOMATION_ERROR(Variant::null().toI2(), 94);
    EXPECT_AUTOMATION_ERROR(Variant("abc").toI2(), 13);
    EXPECT_AUTOMATION_ERROR(Variant("abc").toDate(), 13);
    // Infinity and not-a-number are no numbers to script.
    EXPECT_AUTOMATION_ERROR(Variant("nan").toR8(), 13);
    EXPECT_AUTOMATION_ERROR(Variant("-Infinity").toR8(), 13);
}

TEST(VariantBoolean, TrueAndFalseTextsAndMinusOne) {
    EXPECT_TRUE(Variant("True").toBool());
    EXPECT_TRUE(Variant("true").toBool());
    EXPECT_FALSE(Variant("False").toBool());
    EXPECT_EQ(Variant("True").toI2(), -1);
    EXPECT_EQ(Variant(false).toString(), "False");
    EXPECT_AUTOMATION_ERROR(Variant("yes").toBool(), 13);
}

TEST(VariantText, NumbersPrintAsScriptPrintsThem) {
    EXPECT_EQ(Variant(0.1 + 0.2).toString(), "0.3");
    EXPECT_EQ(Variant(-0.0).toString(), "0");
    EXPECT_EQ(Variant(1e15).toString(), "1E+15");
}

TEST(VariantDates, DateTextsRoundTrip) {
    for (const char* text : {"2025-01-31 14:05:09", "2025-01-31", "14:05:09", "1850-06-15 06:30:00"}) {
        Date date = Variant(text).toDate();
        EXPECT_EQ(Variant(date).toString(), text);
    }
    EXPECT_EQ(Variant("31/01/2025 14:05").toDate(), Variant("2025-01-31 14:05:00").toDate());
    EXPECT_EQ(Variant("202501311405").toDate(), Variant("2025-01-31 14:05").toDate());
}

TEST(VariantDates, OutOfRangeNumbersAreOverflowNotGarbage) {
    EXPECT_AUTOMATION_ERROR(Variant(1e300).toDate(), 6);
    EXPECT_AUTOMATION_ERROR(Variant(Date{1e300}).toString(), 6);
    EXPECT_EQ(Variant(45688.5).toDate(), Variant("2025-01-31 12:00:00").toDate());
}

TEST(VariantDates, TimeRoundingUpToMidnightMovesToTheNextCalendarDay) {
    // 23:59:59.9996 on 1899-12-29 is stored as -1.99999999; it rounds to 1899-12-30 00:00.
    EXPECT_EQ(vb::defaultDateText(Date{-1.999999999}), "1899-12-30");
    EXPECT_EQ(vb::defaultDateText(Date{-2.5}), "1899-12-28 12:00:00");
    EXPECT_EQ(vb::defaultDateText(Date{1.999999999}), "1900-01-01");
}

TEST(VariantArrays, CopiesDoNotShareWrites) {
    Array array{1, {Variant("a"), Variant("b")}};
    Variant original(array);
    Variant copy = original;
    copy.array().at(1) = Variant("changed");
    EXPECT_EQ(original.array().at(1).str(), "a");
    EXPECT_EQ(copy.array().at(1).str(), "changed");
    EXPECT_AUTOMATION_ERROR(original.array().at(0), 9);
}
