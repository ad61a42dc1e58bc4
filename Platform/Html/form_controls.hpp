#pragma once
// The state of form controls as browsers keep it: a field's value, a box's tick, a list's
// chosen option. The markup gives the defaults; what the user or script sets is kept beside
// them, so attributes read back unchanged while the live state moves on.

#include <cstdint>
#include <string>
#include <vector>

#include "dom.hpp"

namespace lumora::html {

// The input's type in lower case; "text" when missing or unknown.
std::string inputType(const Node& input);
// The type script reads from a control (input types, "select-one", "textarea", "submit", ...).
std::string controlType(const Node& element);

bool hasValueProperty(const Node& element);
// input: the typed value, else its value attribute ("on" for an unvalued box); textarea: the
// typed value, else its text; select: the chosen option's value, or the first option's when
// none was chosen; option: its value attribute, else its text.
std::string controlValue(const Node& element);
// 5 for a file input given anything but "".
void setControlValue(Node& element, const std::string& value);

// Check boxes and radio buttons; a radio button ticked unticks the others of its group.
bool isCheckable(const Node& element);
bool isChecked(const Node& element);
void setChecked(Node& element, bool checked);

std::vector<Node*> optionsOf(const Node& select);
// -1 when no option is chosen.
int32_t selectedIndex(const Node& select);
void setSelectedIndex(Node& select, int32_t index);
bool isSelected(const Node& option);
void setSelected(Node& option, bool selected);
// The option's text with white space collapsed, as browsers give option.text.
std::string optionText(const Node& option);
// The select element an option belongs to, or nullptr.
Node* selectOf(const Node& option);

}  // namespace lumora::html
