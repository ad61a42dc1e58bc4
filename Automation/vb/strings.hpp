#pragma once
// The script string functions on UTF-8 text. Positions are 1-based and every position and
// length counts characters (code points), never bytes: Len("£€😀") is 3. Text comparison and
// case mapping follow the Unicode rules (full case folding, so "straße" equals "STRASSE").
// An ill-formed byte in the input reads as one U+FFFD; results are always well-formed UTF-8.
// Arguments script rejects raise Error 5, as script does (Mid with start 0, Left with a
// negative length).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "../variant.hpp"

namespace lumora::vb {

// vbBinaryCompare and vbTextCompare.
enum class CompareMethod : int32_t { Binary = 0, Text = 1 };

int32_t len(std::string_view text);
std::string left(std::string_view text, int32_t length);
std::string right(std::string_view text, int32_t length);
std::string mid(std::string_view text, int32_t start);
std::string mid(std::string_view text, int32_t start, int32_t length);

// InStr([start,] text, find [, compare]): the position of the first occurrence at or after
// start, 0 when there is none. An empty find gives start (while start is at most one past the
// end); an empty text gives 0.
int32_t inStr(std::string_view text, std::string_view find, CompareMethod compare = CompareMethod::Binary);
int32_t inStr(int32_t start, std::string_view text, std::string_view find,
              CompareMethod compare = CompareMethod::Binary);
// InStrRev(text, find [, start [, compare]]): the last occurrence lying wholly within the first
// `start` characters; start -1 means the whole text.
int32_t inStrRev(std::string_view text, std::string_view find, int32_t start = -1,
                 CompareMethod compare = CompareMethod::Binary);

// Replace(text, find, replacement [, start [, count [, compare]]]). As in script, the result
// begins at `start`: the characters before it are not part of the result. count -1 replaces all.
std::string replace(std::string_view text, std::string_view find, std::string_view replacement, int32_t start = 1,
                    int32_t count = -1, CompareMethod compare = CompareMethod::Binary);

// Split(text [, delimiter [, limit [, compare]]]). An empty text gives no elements (script's
// empty array, UBound -1); an empty delimiter gives the whole text as the one element; with a
// limit the last element holds the rest of the text.
std::vector<std::string> split(std::string_view text, std::string_view delimiter = " ", int32_t limit = -1,
                               CompareMethod compare = CompareMethod::Binary);
// The zero-based string array script receives from Split.
Array toArray(std::vector<std::string> parts);

std::string join(const std::vector<std::string>& parts, std::string_view delimiter = " ");
// Join over a script array: each element as CStr gives it.
std::string join(const Array& parts, std::string_view delimiter = " ");

// Trim, LTrim, RTrim remove spaces (U+0020) only, as script does; tabs and line breaks stay.
std::string trim(std::string_view text);
std::string lTrim(std::string_view text);
std::string rTrim(std::string_view text);

std::string uCase(std::string_view text);
std::string lCase(std::string_view text);

// StrComp: -1, 0 or 1. Binary compares code points; Text ignores case and orders the way people
// sort (root collation), and gives 0 exactly when equalsNoCase holds.
int32_t strComp(std::string_view a, std::string_view b, CompareMethod compare = CompareMethod::Binary);
bool equalsNoCase(std::string_view a, std::string_view b);

// AscW: the code point of the first character (Error 5 for an empty text). ChrW: the character
// of a code point; -32768 to -1 stand for U+8000 to U+FFFF as script's 16-bit codes do.
int32_t ascW(std::string_view text);
std::string chrW(int32_t codePoint);

std::string space(int32_t count);
// String(count, character): the first character of `character` repeated.
std::string strDup(int32_t count, std::string_view character);
std::string strDup(int32_t count, int32_t codePoint);

}  // namespace lumora::vb
