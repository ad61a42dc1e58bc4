#include "parameter_string.hpp"

#include "Automation/vb/strings.hpp"

namespace lumora {

std::vector<std::string> splitParameters(std::string_view parameters) { return vb::split(parameters, ";"); }

std::string GetParameter(const std::vector<std::string>& parts, std::string_view key) {
    const std::string wanted = vb::lCase(key);
    for (const std::string& piece : parts) {
        // A piece without "=" (an empty one from ";;", or a bare key) is a typo in the page's
        // string, not a reason to refuse the call: it simply never matches.
        const size_t equals = piece.find('=');
        if (equals == std::string::npos) continue;
        // Divided at the first "=" only, so a value may itself hold "=".
        if (vb::lCase(std::string_view(piece).substr(0, equals)) == wanted) return piece.substr(equals + 1);
    }
    return {};
}

}  // namespace lumora
