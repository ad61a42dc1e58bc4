#pragma once
// What a Find object holds between calls: the text, its replacement and the match flags.

#include <cstdint>
#include <string>

#include "script_constants.hpp"

namespace lumora::word {

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
