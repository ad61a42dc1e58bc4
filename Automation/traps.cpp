#include "traps.hpp"

#include "Automation/shared_texts.hpp"

namespace lumora {

std::string stepFailureText(std::string_view step, const Error& error) {
    std::string out(text::StepFailurePrefix);
    out += step;
    out += text::StepFailureSeparator;
    out += error.description();
    return out;
}

}  // namespace lumora
