#pragma once
// What the operating system answers, shared by every Desktop implementation: the clock
// (pinnable), the user's locale, the temporary folder, GUIDs and opening files in their
// associated program.

#include <filesystem>
#include <optional>
#include <string>

#include "Automation/variant.hpp"
#include "desktop.hpp"

namespace lumora::desktop {

struct SystemConfig {
    std::optional<Date> pinnedNow;          // a fixed "now" for tests and scripts
    std::optional<std::string> tempFolder;  // overrides TMPDIR
    std::optional<std::string> locale;      // overrides the user's locale (e.g. "en_GB")
};

class SystemServices {
public:
    explicit SystemServices(SystemConfig config = {});

    Date now() const;
    std::string dateOrder() const;
    std::string currencySymbol() const;
    NumberConventions numberConventions() const;
    std::string tempFolder() const;
    std::string newGuid() const;
    // Checks the file (missing: 2 or 3; an executable, script or launcher: 5 — a page must never
    // start a program) and, when launch is true, hands it to xdg-open. ShellExecute codes.
    int32_t shellOpen(const std::filesystem::path& file, bool launch) const;
    // Hands a "scheme:rest" link to the desktop's handler of the scheme when launch is true;
    // NoAssociation when the link has no scheme or no program takes it.
    int32_t openLink(const std::string& uri, bool launch) const;

    const SystemConfig& config() const { return m_config; }
    void pinNow(std::optional<Date> now) { m_config.pinnedNow = now; }

private:
    SystemConfig m_config;
};

}  // namespace lumora::desktop
