#pragma once
// The line grammar iCalendar (RFC 5545 section 3.1) and vCard (RFC 6350 section 3.2) share:
// content lines folded at 75 octets, continued by a line that starts with a blank or a tab,
// and TEXT values with backslash escapes. Both the vCard reader and the server resources,
// which must keep the lines they do not understand exactly as they were, read lines here.

#include <string>
#include <string_view>
#include <vector>

namespace lumora::pim {

// One logical line: its unfolded text, and the physical lines it came from, line ends included,
// so that a line kept unchanged is written back byte for byte.
struct LogicalLine {
    std::string text;
    std::string_view raw;
};

// Whether a quoted-printable value ending in "=" continues on the next line (vCard 2.1's soft
// line break) as well as a line that starts with a blank.
enum class SoftBreaks { Ignored, Joined };

// The logical lines of the text; blank lines are left out.
std::vector<LogicalLine> logicalLines(std::string_view text, SoftBreaks softBreaks);

// The property's name in upper case, without its group ("item1.TEL;TYPE=work:..." gives
// "TEL"); empty for a line that has no colon.
std::string propertyNameOf(std::string_view line);

// Where the value starts: after the first colon outside a quoted parameter; npos for a line
// that has none.
size_t valueStartOf(std::string_view line);

// The line ends of the text made CR LF, as RFC 5545 and RFC 6350 write them, the last included.
std::string withCrLfEnds(std::string_view raw);

// A TEXT value escaped: backslash, comma and line break always, semicolon in a structured value
// (where it separates the parts) or where asked. A carriage return is dropped: a line break
// travels as "\n".
enum class Semicolons { Kept, Escaped };
std::string escapedText(std::string_view text, Semicolons semicolons);
// "\n" and "\N" become a line break, any other escaped character stands for itself.
std::string unescapedText(std::string_view raw);

// Appends the line, folded at 75 octets and never inside a UTF-8 character, and its CR LF.
void appendFolded(std::string& out, std::string_view line);

}  // namespace lumora::pim
