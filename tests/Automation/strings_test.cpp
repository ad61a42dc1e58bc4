#include <gtest/gtest.h>

#include "Automation/vb/strings.hpp"
#include "error_matchers.hpp"

using namespace lumora;
using namespace lumora::vb;

namespace {
const CompareMethod kText = CompareMethod::Text;
using Parts = std::vector<std::string>;
}  // namespace

TEST(StringPositions, CountCharactersNotBytes) {
    EXPECT_EQ(len("£€😀"), 3);
    EXPECT_EQ(left("£€😀", 2), "£€");
    EXPECT_EQ(right("£€😀", 1), "😀");
    EXPECT_EQ(right("£€😀", 10), "£€😀");
    EXPECT_EQ(mid("£€😀x", 2, 2), "€😀");
    EXPECT_EQ(mid("£€😀x", 3), "😀x");
    EXPECT_EQ(mid("£€😀x", 9), "");
}

TEST(StringPositions, InvalidArgumentsAreError5) {
    EXPECT_AUTOMATION_ERROR(mid("abc", 0), 5);
    EXPECT_AUTOMATION_ERROR(mid("abc", 1, -1), 5);
    EXPECT_AUTOMATION_ERROR(left("abc", -1), 5);
    EXPECT_AUTOMATION_ERROR(inStr(0, "abc", "a"), 5);
    EXPECT_AUTOMATION_ERROR(inStrRev("abc", "a", 0), 5);
    EXPECT_AUTOMATION_ERROR(split("a b", " ", -2), 5);
}

TEST(StringPositions, IllFormedBytesReadAsReplacementCharacters) {
    const std::string damaged = "a\xFF\xE2\x82z";  // a stray byte, then two bytes of a euro sign
    EXPECT_EQ(len(damaged), 5);
    EXPECT_EQ(left(damaged, 2), "a\uFFFD");
    EXPECT_EQ(inStr(damaged, "z"), 5);
    EXPECT_EQ(uCase(damaged), "A\uFFFD\uFFFD\uFFFDZ");
    EXPECT_EQ(len("\xC0\xAF"), 2);  // an overlong slash is two bad bytes, never "/"
}

TEST(StringSearch, InStrFromStartWithEmptyAndMissingCases) {
    EXPECT_EQ(inStr(6, "Hello World", "o"), 8);
    EXPECT_EQ(inStr("£€😀x", "x"), 4);
    EXPECT_EQ(inStr("abc", ""), 1);
    EXPECT_EQ(inStr(4, "abc", ""), 4);
    EXPECT_EQ(inStr(5, "abc", ""), 0);
    EXPECT_EQ(inStr(9, "abc", "a"), 0);
    EXPECT_EQ(inStr("", "a"), 0);
}

TEST(StringSearch, TextCompareFollowsUnicodeCaseFolding) {
    EXPECT_EQ(inStr("ÄRGER", "ä"), 0);
    EXPECT_EQ(inStr(1, "ÄRGER", "ä", kText), 1);
    EXPECT_EQ(inStr(1, "Straße", "SS", kText), 5);
    EXPECT_EQ(inStr(1, "STRASSE", "ß", kText), 5);
    // "se" would need half of the "ß": a match never splits a character.
    EXPECT_EQ(inStr(1, "Straße", "se", kText), 0);
    EXPECT_EQ(inStr(2, "ßaSS", "ß", kText), 3);
}

TEST(StringSearch, InStrRevFindsTheLastMatchWithinStart) {
    EXPECT_EQ(inStrRev("a,b,c", ","), 4);
    EXPECT_EQ(inStrRev("a,b,c", ",", 3), 2);
    EXPECT_EQ(inStrRev("hello", "ll", 3), 0);
    EXPECT_EQ(inStrRev("hello", "l", 9), 0);
    EXPECT_EQ(inStrRev("C:\\Tëmp\\Brief.dotx", "\\"), 8);
    EXPECT_EQ(inStrRev("xAxa", "A", -1, kText), 4);
}

TEST(StringReplace, CountStartAndCompare) {
    EXPECT_EQ(replace("a-b-c", "-", "+", 1, 1), "a+b-c");
    EXPECT_EQ(replace("a-b-c", "-", "+", 3), "b+c");  // the result begins at start, as in script
    EXPECT_EQ(replace("€1 €2", "€", "EUR"), "EUR1 EUR2");
    EXPECT_EQ(replace("Straße", "SS", "ss", 1, -1, kText), "Strasse");
    EXPECT_EQ(replace("abc", "", "x"), "abc");
    EXPECT_EQ(replace("aaa", "aa", "b"), "ba");
}

TEST(StringSplit, DelimitersLimitsAndCompare) {
    EXPECT_TRUE(split("", ",").empty());
    EXPECT_EQ(toArray(split("")).upperBound(), -1);  // script's empty array
    EXPECT_EQ(split("Name#~EntryId#~", "#~"), (Parts{"Name", "EntryId", ""}));
    EXPECT_EQ(split("a b", ""), (Parts{"a b"}));
    EXPECT_EQ(split("a,b,c", ",", 2), (Parts{"a", "b,c"}));
    EXPECT_TRUE(split("a,b,c", ",", 0).empty());
    EXPECT_EQ(split("1x2X3", "X", -1, kText), (Parts{"1", "2", "3"}));
    EXPECT_EQ(split("1x2X3", "X"), (Parts{"1x2", "3"}));
}

TEST(StringJoinAndTrim, JoinsArraysAndTrimsSpacesOnly) {
    EXPECT_EQ(join(Parts{"a", "b", "c"}, "#~"), "a#~b#~c");
    EXPECT_EQ(join(Array{0, {Variant("x"), Variant(2), Variant(true)}}, ","), "x,2,True");
    EXPECT_EQ(trim("  a b  "), "a b");
    EXPECT_EQ(trim("\t a \n"), "\t a \n");
    EXPECT_EQ(lTrim("  a  "), "a  ");
    EXPECT_EQ(rTrim("  a  "), "  a");
}

TEST(StringCase, UnicodeUpperAndLowerCase) {
    EXPECT_EQ(uCase("straße"), "STRASSE");
    EXPECT_EQ(uCase("Crème brûlée"), "CRÈME BRÛLÉE");
    EXPECT_EQ(lCase("ΟΔΟΣ"), "οδος");  // final sigma
}

TEST(StringCompare, BinaryAndTextComparison) {
    EXPECT_EQ(strComp("a", "B"), 1);
    EXPECT_EQ(strComp("a", "B", kText), -1);
    EXPECT_EQ(strComp("straße", "STRASSE", kText), 0);
    EXPECT_EQ(strComp("éclair", "fig", kText), -1);  // accents sort with their letter
    EXPECT_EQ(strComp("a\x01", "a", kText), 1);      // characters collation ignores still differ
    EXPECT_EQ(strComp("😀", "\uFFFF"), 1);
    EXPECT_TRUE(equalsNoCase("ÄRGER", "ärger"));
    EXPECT_FALSE(equalsNoCase("Lumora", "Lumora "));
}

TEST(StringCharacters, AscWChrWSpaceAndString) {
    EXPECT_EQ(ascW("😀"), 0x1F600);
    EXPECT_EQ(chrW(0x20AC), "€");
    EXPECT_EQ(chrW(-8020), "\uE0AC");
    EXPECT_AUTOMATION_ERROR(chrW(0xD800), 5);
    EXPECT_AUTOMATION_ERROR(ascW(""), 5);
    EXPECT_EQ(space(3), "   ");
    EXPECT_EQ(strDup(3, "€x"), "€€€");
    EXPECT_AUTOMATION_ERROR(strDup(2, ""), 5);
}
