#include "window_json.hpp"

#include "Automation/vb/utf8.hpp"

namespace lumora::host {

using nlohmann::json;

std::string wellFormedText(const std::string& value) { return vb::utf8::wellFormed(value); }

json labelsJson(const std::vector<desktop::WindowLabel>& labels) {
    json out = json::array();
    for (const auto& label : labels) {
        json entry{{"name", wellFormedText(label.name)}, {"caption", wellFormedText(label.caption)}};
        if (label.heightTwips > 0) entry["heightTwips"] = label.heightTwips;
        if (label.bordered) entry["bordered"] = true;
        out.push_back(std::move(entry));
    }
    return out;
}

json buttonsJson(const std::vector<desktop::WindowButton>& buttons) {
    json out = json::array();
    for (const auto& button : buttons)
        out.push_back({{"name", wellFormedText(button.name)},
                       {"caption", wellFormedText(button.caption)},
                       {"enabled", button.enabled},
                       {"visible", button.visible}});
    return out;
}

}  // namespace lumora::host
