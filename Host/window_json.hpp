#pragma once
// A desktop window's labels and buttons as JSON, as the page library draws them and as the
// command line's transcript records them. Texts from controls may come from files in another
// encoding; they are made well-formed UTF-8 so the JSON stays valid.

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "Platform/Desktop/desktop.hpp"

namespace lumora::host {

// Each label's name and caption; its height and border only where it has its own.
nlohmann::json labelsJson(const std::vector<desktop::WindowLabel>& labels);
nlohmann::json buttonsJson(const std::vector<desktop::WindowButton>& buttons);
std::string wellFormedText(const std::string& value);

}  // namespace lumora::host
