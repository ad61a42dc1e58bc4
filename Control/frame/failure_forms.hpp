#pragma once
// The shared failure forms of the control's members: the returned step text, the OK-only
// message box with its title ("Lumora", a title of its own, or the control's default title),
// and the quiet empty results. Members name the form; none builds these texts itself.

#include <cstdint>
#include <string>
#include <string_view>

#include "Automation/error.hpp"
#include "Automation/object.hpp"
#include "Automation/traps.hpp"
#include "Automation/variant.hpp"

namespace lumora::control {

enum class Icon : int32_t { None = 0, Critical = 16, Exclamation = 48, Information = 64 };

// The title a message box carries.
class Title {
public:
    static Title lumora();                       // "Lumora"
    static Title standard();                     // the control's default title
    static Title own(std::string_view text);     // a title of the member's own
    const std::string& text() const { return m_text; }

private:
    explicit Title(std::string text) : m_text(std::move(text)) {}
    std::string m_text;
};

// Shows an OK-only message box and waits until the user has answered it.
void tell(std::string_view text, Icon icon = Icon::None, const Title& title = Title::standard());

// Shows a message box with the caller's buttons-and-icon code; returns the button pressed.
int16_t ask(std::string_view text, int32_t buttons, const Title& title);

// Trap 1 of the Outlook import and list members: "Outlook does not appear to be installed" in
// an OK-only box, and the empty text built so far.
Variant outlookNotInstalled(const Error& error);

// The later failure of the import members: their own start, then the error's description and
// the step text, each on a line of its own.
std::string importFailureText(std::string_view start, const Error& error, std::string_view step);

// The quiet empty results.
inline Variant emptyText() { return Variant(""); }
inline Variant falseResult() { return Variant(false); }
inline Variant nothing() { return Variant(Object()); }
inline Variant emptyResult() { return Variant(); }

}  // namespace lumora::control
