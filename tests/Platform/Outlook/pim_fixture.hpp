#pragma once
// "Outlook.Application" on a real store in a private data folder, with a headless desktop that
// records what is displayed.

#include <gtest/gtest.h>

#include <mutex>

#include "Automation/registry.hpp"
#include "Platform/Desktop/headless_desktop.hpp"
#include "Platform/Outlook/pim_store.hpp"
#include "Platform/Outlook/register.hpp"
#include "tests/Automation/error_matchers.hpp"
#include "tests/Automation/temp_folder.hpp"

namespace lumora::pim::tests {

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
    desktop::HeadlessDesktop m_desktop;
    desktop::ScopedDesktop m_scope;
};

}  // namespace lumora::pim::tests
