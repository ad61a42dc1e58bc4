#pragma once
// What a Find object holds between calls: the text, its replacement and the match flags.

#include <cstdint>
#include <string>

namespace lumora::word {

// Wrap: 0 stop at the end of the range, 1 continue from the other end of the story, 2 ask
// (read as stop: there is nobody to ask).
inline constexpr int32_t kWrapContinue = 1;
// Replace: 0 none, 1 the first found, 2 all.
inline constexpr int32_t kReplaceOne = 1;
inline constexpr int32_t kReplaceAll = 2;

struct FindSettings {
    std::string text;
    std::string replacement;
    bool matchCase = false;
    bool matchWholeWord = false;
    bool matchWildcards = false;
    bool matchSoundsLike = false;
    bool matchAllWordForms = false;
    bool forward = true;
    int32_t wrap = 0;
    bool format = false;
    bool found = false;
};

}  // namespace lumora::word
