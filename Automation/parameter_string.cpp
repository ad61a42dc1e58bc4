#include "parameter_string.hpp"

#include "Automation/error.hpp"
#include "Automation/vb/strings.hpp"

namespace lumora {

std::vector<std::string> splitParameters(std::string_view parameters) { return vb::split(parameters, ";"); }

std::string GetParameter(const std::vector<std::string>& parts, std::string_view key) {
    const std::string wanted = vb::lCase(key);
    for (const std::string& piece : parts) {
        // Each piece is divided at its first "=" only, so a value may itself hold "=".
        const std::vector<std::string> keyAndValue = vb::split(piece, "=", 2);
        if (keyAndValue.empty()) raise(RuntimeError::SubscriptOutOfRange);
        if (vb::lCase(keyAndValue[0]) != wanted) continue;
        if (keyAndValue.size() < 2) raise(RuntimeError::SubscriptOutOfRange);
        return keyAndValue[1];
    }
    return {};
}

}  // namespace lumora
