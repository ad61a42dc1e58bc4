#pragma once
// The sample Word template the project makes for its demo and README: a short welcome letter
// whose tags (<COMPANY>, <CONTACT>) the demo page's record XML fills.

#include <filesystem>
#include <string_view>

namespace lumora::host {

inline constexpr std::string_view kSampleTemplateName = "Welcome letter.dotx";

// Writes kSampleTemplateName into folder (created when missing) and returns its path. The file is
// written beside its final name and renamed, so an interrupted run leaves no half-written
// template. Throws std::runtime_error when the folder or the file cannot be written.
std::filesystem::path writeSampleTemplate(const std::filesystem::path& folder);

}  // namespace lumora::host
