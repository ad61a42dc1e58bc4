#pragma once
// The one way XML text becomes a tree in this library: the hardened parse. It never reaches
// the network or the file system, never loads a DTD, keeps within the size and depth limits,
// and expands internal entities only within a budget, so a hostile document ends as a parse
// failure instead of a hang or an exhausted machine.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "xml_handles.hpp"

namespace lumora::xml {

// What a document's parseError object reports after a failed load.
struct ParseFailure {
    int32_t errorCode = 0;
    std::string reason;
    int32_t line = 0;     // 1-based; 0 when the failure has no position
    int32_t linepos = 0;  // 1-based column
    int32_t filepos = 0;  // 0-based character offset of the line's start plus column
    std::string srcText;  // the text of the failing line
    std::string url;
};

enum class Whitespace { Drop, Preserve };
enum class SourceEncoding { Utf8, AsDeclared };

struct ParseOptions {
    Whitespace whitespace = Whitespace::Drop;
    // Text handed over as a string is already UTF-8 whatever its declaration says; bytes from a
    // file or a server are read in the encoding they declare.
    SourceEncoding encoding = SourceEncoding::Utf8;
    std::string url;  // for messages only
};

struct ParseOutcome {
    DocHandle doc;  // null when the parse failed
    std::optional<ParseFailure> failure;
    bool hasDeclaration = false;
};

ParseOutcome parseXml(std::string_view text, const ParseOptions& options);

// A failure that is not tied to a position in the text (too large, unreadable, refused).
ParseFailure failureWithoutPosition(std::string reason, std::string url = {});

// Own parse error codes (the parser's own numbers are reported above this base).
inline constexpr int32_t kParseErrorBase = static_cast<int32_t>(0xC00CE000u);
inline constexpr int32_t kDocumentTooLarge = static_cast<int32_t>(0xC00CEF01u);
inline constexpr int32_t kExpansionTooLarge = static_cast<int32_t>(0xC00CEF02u);
inline constexpr int32_t kDocumentTooDeep = static_cast<int32_t>(0xC00CEF03u);
inline constexpr int32_t kSourceUnavailable = static_cast<int32_t>(0xC00CEF04u);
inline constexpr int32_t kTooManyAttributes = static_cast<int32_t>(0xC00CEF05u);
inline constexpr int32_t kNoDocumentElement = static_cast<int32_t>(0xC00CE558u);

}  // namespace lumora::xml
