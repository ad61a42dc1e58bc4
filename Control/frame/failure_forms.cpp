#include "failure_forms.hpp"

#include "Automation/deliverables.hpp"
#include "Automation/shared_texts.hpp"
#include "Platform/Desktop/desktop.hpp"
#include "Control/frame/control_messages.hpp"

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

std::string importFailureText(std::string_view start, const Error& error, std::string_view step) {
    std::string text(start);
    text += text::LineBreak;
    text += error.description();
    text += text::LineBreak;
    text += step;
    return text;
}

Variant outlookNotInstalled(const Error&) {
    tell(msg::OutlookNotInstalled);
    return Variant("");
}

}  // namespace lumora::control
