#pragma once
// "Outlook.Application" on a real store in a private data folder, with a headless desktop that
// records what is displayed and whose clock reads 2026-12-08 09:10.

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>

#include "Automation/registry.hpp"
#include "Automation/vb/convert.hpp"
#include "Platform/Desktop/headless_desktop.hpp"
#include "Platform/Outlook/pim_store.hpp"
#include "Platform/Outlook/register.hpp"
#include "tests/Automation/error_matchers.hpp"
#include "tests/Automation/temp_folder.hpp"

namespace lumora::pim::tests {

inline Date civilDate(int year, int month, int day, int hour = 0, int minute = 0) {
    return vb::toDate(vb::CivilTime{year, month, day, hour, minute, 0});
}

inline std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The process's time zone (TZ) for a test's life: the store keeps local times, and the files
// it writes and reads convert them.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* before = std::getenv("TZ")) m_before = before;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (m_before) setenv("TZ", m_before->c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<std::string> m_before;
};

class PimTest : public ::testing::Test {
protected:
    PimTest() : m_scope(m_desktop) {
        static std::once_flag registered;
        std::call_once(registered, [] { registerPimClasses(Registry::instance()); });
        Registry::instance().setDataFolder(m_data.path());
        Registry::instance().setFaults({});
        Registry::instance().forgetRunningInstances();
    }
    ~PimTest() override {
        Registry::instance().setFaults({});
        Registry::instance().forgetRunningInstances();
    }

    Object outlook() { return Registry::instance().createObject("Outlook.Application"); }
    Object mapi() { return outlook().getObject("GetNamespace", "MAPI"); }
    Object defaultFolder(int32_t type) { return mapi().getObject("GetDefaultFolder", type); }
    // A second connection, as another process would have.
    PimStore store() { return PimStore(m_data.path()); }

    lumora::tests::TempFolder m_data;
    desktop::HeadlessDesktop m_desktop{desktop::SystemConfig{civilDate(2026, 12, 8, 9, 10)}};
    desktop::ScopedDesktop m_scope;
};

}  // namespace lumora::pim::tests
