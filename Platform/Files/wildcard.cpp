#include "wildcard.hpp"

#include <string>

#include "Automation/vb/case_folding.hpp"

namespace lumora::files {

bool hasWildcard(std::string_view name) { return name.find_first_of("*?") != std::string_view::npos; }

bool matchesWildcard(std::string_view name, std::string_view pattern) {
    if (pattern == "*.*" || pattern == "*") return true;
    std::u32string text = vb::folded(name);
    std::u32string wanted = vb::folded(pattern);
    // Greedy match with one back-tracking point: linear in practice, never exponential.
    size_t t = 0, p = 0, starAt = std::u32string::npos, textAtStar = 0;
    while (t < text.size()) {
        if (p < wanted.size() && (wanted[p] == U'?' || wanted[p] == text[t])) {
            ++t;
            ++p;
        } else if (p < wanted.size() && wanted[p] == U'*') {
            starAt = p++;
            textAtStar = t;
        } else if (starAt != std::u32string::npos) {
            p = starAt + 1;
            t = ++textAtStar;
        } else {
            return false;
        }
    }
    while (p < wanted.size() && wanted[p] == U'*') ++p;
    return p == wanted.size();
}

}  // namespace lumora::files
