#include "form_controls.hpp"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <iterator>
#include <string_view>

#include "Automation/error.hpp"
#include "Automation/vb/text.hpp"

namespace lumora::html {

namespace {

constexpr std::array<std::string_view, 22> kInputTypes{
    "hidden", "text",  "search",   "tel",   "url",   "email", "password", "date",  "month",  "week",  "time",
    "datetime-local", "number", "range", "color", "checkbox", "radio", "file",   "submit", "image", "reset", "button"};
// Types whose value is their value attribute: setting the value sets the attribute.
constexpr std::array<std::string_view, 6> kAttributeValued{"hidden", "submit", "image", "reset", "button", "checkbox"};

std::string lowerTrimmed(std::string_view text) { return vb::asciiLower(collapseWhitespace(text)); }

bool isRadio(const Node& element) { return element.is("input") && inputType(element) == "radio"; }

const Node& rootOf(const Node& node) {
    const Node* top = &node;
    while (top->parent) top = top->parent;
    return *top;
}

// The radio buttons sharing this one's name and form, itself included, in tree order.
std::vector<Node*> radioGroup(Node& radio) {
    const std::string* name = radio.attribute("name");
    if (!name || name->empty()) return {&radio};
    Node* form = radio.ancestor("form");
    std::vector<Node*> group;
    for (Node* element : rootOf(radio).descendantElements()) {
        const std::string* otherName = element->attribute("name");
        if (isRadio(*element) && otherName && *otherName == *name && element->ancestor("form") == form)
            group.push_back(element);
    }
    return group;
}

bool optionDisabled(const Node& option) {
    return option.hasAttribute("disabled") || (option.parent && option.parent->is("optgroup") && option.parent->hasAttribute("disabled"));
}

// A list shown as a drop-down always shows an option; a list box may show none.
bool showsOneRow(const Node& select) {
    if (select.hasAttribute("multiple")) return false;
    const std::string* size = select.attribute("size");
    return !size || std::atoi(size->c_str()) <= 1;
}

bool markupSelected(const Node* option) { return option->dirtySelected.value_or(option->hasAttribute("selected")); }

}  // namespace

std::string inputType(const Node& input) {
    const std::string* type = input.attribute("type");
    std::string name = type ? lowerTrimmed(*type) : std::string();
    return std::find(kInputTypes.begin(), kInputTypes.end(), name) != kInputTypes.end() ? name : "text";
}

std::string controlType(const Node& element) {
    if (element.is("input")) return inputType(element);
    if (element.is("select")) return element.hasAttribute("multiple") ? "select-multiple" : "select-one";
    if (element.is("textarea")) return "textarea";
    if (element.is("button")) {
        const std::string* type = element.attribute("type");
        std::string name = type ? lowerTrimmed(*type) : std::string();
        return name == "reset" || name == "button" ? name : "submit";
    }
    const std::string* type = element.attribute("type");
    return type ? *type : std::string();
}

bool hasValueProperty(const Node& element) {
    for (std::string_view tag : {"input", "textarea", "select", "option", "button", "li", "param", "data"})
        if (element.is(tag)) return true;
    return false;
}

std::string controlValue(const Node& element) {
    if (element.is("input")) {
        std::string type = inputType(element);
        if (type == "file") return {};
        if (element.dirtyValue && type != "checkbox" && type != "radio") return *element.dirtyValue;
        const std::string* value = element.attribute("value");
        if (value) return *value;
        return type == "checkbox" || type == "radio" ? "on" : "";
    }
    if (element.is("textarea")) return element.dirtyValue ? *element.dirtyValue : element.textContent();
    if (element.is("select")) {
        int32_t index = selectedIndex(element);
        return index < 0 ? std::string() : controlValue(*optionsOf(element)[static_cast<size_t>(index)]);
    }
    if (element.is("option")) {
        const std::string* value = element.attribute("value");
        return value ? *value : optionText(element);
    }
    const std::string* value = element.attribute("value");
    return value ? *value : std::string();
}

void setControlValue(Node& element, const std::string& value) {
    if (element.is("select")) {
        std::vector<Node*> options = optionsOf(element);
        auto match = std::find_if(options.begin(), options.end(), [&](Node* o) { return controlValue(*o) == value; });
        setSelectedIndex(element, match == options.end() ? -1 : static_cast<int32_t>(match - options.begin()));
        return;
    }
    if (element.is("textarea")) {
        element.dirtyValue = value;
        return;
    }
    if (element.is("input")) {
        std::string type = inputType(element);
        if (type == "file") {
            if (!value.empty()) raise(RuntimeError::InvalidProcedureCall);
            return;
        }
        bool attributeValued = std::find(kAttributeValued.begin(), kAttributeValued.end(), type) != kAttributeValued.end();
        if (!attributeValued && type != "radio") {
            // A single-line field holds no line breaks.
            std::string line;
            std::copy_if(value.begin(), value.end(), std::back_inserter(line), [](char c) { return c != '\r' && c != '\n'; });
            element.dirtyValue = std::move(line);
            return;
        }
    }
    element.setAttribute("value", value);
}

bool isCheckable(const Node& element) {
    if (!element.is("input")) return false;
    std::string type = inputType(element);
    return type == "checkbox" || type == "radio";
}

bool isChecked(const Node& element) {
    if (!isRadio(element) || element.dirtyChecked) return element.dirtyChecked.value_or(element.hasAttribute("checked"));
    // Until script ticks one, the last radio button of a group marked checked is the ticked one.
    std::vector<Node*> group = radioGroup(const_cast<Node&>(element));
    auto lastMarked = std::find_if(group.rbegin(), group.rend(), [](Node* r) { return r->hasAttribute("checked"); });
    return lastMarked != group.rend() && *lastMarked == &element;
}

void setChecked(Node& element, bool checked) {
    if (!isRadio(element)) {
        element.dirtyChecked = checked;
        return;
    }
    std::vector<Node*> group = radioGroup(element);
    std::vector<bool> states;
    for (Node* radio : group) states.push_back(isChecked(*radio));
    for (size_t i = 0; i < group.size(); ++i) {
        bool self = group[i] == &element;
        group[i]->dirtyChecked = self ? checked : (checked ? false : static_cast<bool>(states[i]));
    }
}

std::vector<Node*> optionsOf(const Node& select) {
    std::vector<Node*> options;
    for (const auto& child : select.children) {
        if (child->is("option")) options.push_back(child.get());
        if (child->is("optgroup"))
            for (const auto& inner : child->children)
                if (inner->is("option")) options.push_back(inner.get());
    }
    return options;
}

int32_t selectedIndex(const Node& select) {
    std::vector<Node*> options = optionsOf(select);
    auto index = [&](auto it) { return static_cast<int32_t>(it - options.begin()); };
    if (select.hasAttribute("multiple")) {
        auto first = std::find_if(options.begin(), options.end(), markupSelected);
        return first == options.end() ? -1 : index(first);
    }
    // Of several options marked selected, the last one is chosen, as browsers choose it.
    auto last = std::find_if(options.rbegin(), options.rend(), markupSelected);
    if (last != options.rend()) return index(std::prev(last.base()));
    if (select.dirtySelected || !showsOneRow(select)) return -1;
    auto firstEnabled = std::find_if(options.begin(), options.end(), [](Node* o) { return !optionDisabled(*o); });
    return firstEnabled == options.end() ? -1 : index(firstEnabled);
}

void setSelectedIndex(Node& select, int32_t index) {
    std::vector<Node*> options = optionsOf(select);
    for (size_t i = 0; i < options.size(); ++i) options[i]->dirtySelected = static_cast<int32_t>(i) == index;
    select.dirtySelected = true;
}

Node* selectOf(const Node& option) {
    Node* parent = option.parent;
    if (parent && parent->is("optgroup")) parent = parent->parent;
    return parent && parent->is("select") ? parent : nullptr;
}

bool isSelected(const Node& option) {
    Node* select = selectOf(option);
    if (!select) return markupSelected(&option);
    int32_t index = selectedIndex(*select);
    if (!select->hasAttribute("multiple")) {
        std::vector<Node*> options = optionsOf(*select);
        return index >= 0 && options[static_cast<size_t>(index)] == &option;
    }
    return markupSelected(&option);
}

void setSelected(Node& option, bool selected) {
    Node* select = selectOf(option);
    if (!select || select->hasAttribute("multiple")) {
        option.dirtySelected = selected;
        return;
    }
    std::vector<Node*> options = optionsOf(*select);
    int32_t current = selectedIndex(*select);
    int32_t own = static_cast<int32_t>(std::find(options.begin(), options.end(), &option) - options.begin());
    setSelectedIndex(*select, selected ? own : (current == own ? -1 : current));
}

std::string optionText(const Node& option) { return collapseWhitespace(option.textContent()); }

}  // namespace lumora::html
