#include "failure_forms.hpp"

#include "Automation/deliverables.hpp"
#include "Platform/Desktop/desktop.hpp"
#include "control_messages.hpp"

namespace lumora::control {

Title Title::lumora() { return Title(std::string(msg::LumoraTitle)); }
Title Title::standard() { return Title(deliverables::kDesktopControl.typeLibrary); }
Title Title::own(std::string_view text) { return Title(std::string(text)); }

void tell(std::string_view text, Icon icon, const Title& title) {
    ask(text, desktop::mb::OkOnly + static_cast<int32_t>(icon), title);
}

int16_t ask(std::string_view text, int32_t buttons, const Title& title) {
    return desktop::current().messageBox({std::string(text), title.text(), buttons});
}

std::string stepFailureText(std::string_view step, const Error& error) {
    std::string out(msg::StepFailurePrefix);
    out += step;
    out += msg::StepFailureSeparator;
    out += error.description();
    return out;
}

std::string stepFailureText(const StepText& step, const Error& error) { return stepFailureText(step.text(), error); }

std::string importFailureText(std::string_view start, const Error& error, std::string_view step) {
    std::string text(start);
    text += msg::LineBreak;
    text += error.description();
    text += msg::LineBreak;
    text += step;
    return text;
}

Variant outlookNotInstalled(const Error&) {
    tell(msg::OutlookNotInstalled);
    return Variant("");
}

}  // namespace lumora::control
