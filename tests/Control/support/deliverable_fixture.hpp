#pragma once
// Runs a deliverable the way a workstation does: its real shared library registers itself
// through DllRegisterServer into a private per-user registry, and its class is then created by
// ProgID through the class registry, on a headless desktop whose message boxes the test answers.
// The outside applications the controls drive are absent unless a test installs one.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "Automation/error.hpp"
#include "Automation/registry.hpp"
#include "Automation/server.hpp"
#include "Automation/shared_library.hpp"
#include "Platform/Desktop/headless_desktop.hpp"

namespace lumora::testing {

// The folder the build puts the deliverables in: $LUMORA_BUILD_DIR/lib when the test runs under
// CTest, otherwise the build tree this binary was built in.
inline std::filesystem::path deliverableFolder() {
    if (const char* buildDir = std::getenv("LUMORA_BUILD_DIR"); buildDir && *buildDir)
        return std::filesystem::path(buildDir) / "lib";
    return LUMORA_BUILD_LIB_DIR;
}

// Loads the library and lets it register its classes, as regsvr32 would; the registry loads it
// again by itself when a class is first created.
inline void registerDeliverable(const std::string& fileName) {
    SharedLibrary library(deliverableFolder() / fileName);
    auto registerServer = reinterpret_cast<DllRegisterServerFn>(library.symbol("DllRegisterServer"));
    ASSERT_NE(registerServer, nullptr) << fileName;
    ASSERT_EQ(registerServer(), kOk) << fileName;
}

// A private folder for one test, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "lumora-test-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
        m_path = pattern;
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// The applications a workstation without any office software lacks.
inline RegistryFaults machineWithoutOutsideApplications() {
    RegistryFaults faults;
    faults.absent = {"Outlook.Application", "Word.Application", "Excel.Application", "AcroExch.App",
                     "AcroExch.AVDoc",      "TAPI.TAPI"};
    return faults;
}

class DeliverableTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_data = std::make_unique<TempFolder>();
        Registry::instance().setDataFolder(m_data->path());
        Registry::instance().setFaults(machineWithoutOutsideApplications());
        Registry::instance().forgetRunningInstances();
        for (const char* library : {"libLumoraControl2005.so", "libLumoraGenTAPI30.so", "libLumoraMailContl.so"})
            registerDeliverable(library);
        desktop::SystemConfig config;
        config.tempFolder = (m_data->path() / "temp").string() + "/";
        config.locale = "en_GB";
        std::filesystem::create_directories(m_data->path() / "temp");
        m_desktop = std::make_unique<desktop::HeadlessDesktop>(config);
        m_scope = std::make_unique<desktop::ScopedDesktop>(*m_desktop);
    }

    void TearDown() override {
        Registry::instance().forgetRunningInstances();
        Registry::instance().setFaults({});
        m_scope.reset();
    }

    // Installs an application the test provides in place of an absent one.
    void install(const std::string& progId) {
        RegistryFaults faults = Registry::instance().faults();
        faults.absent.erase(progId);
        Registry::instance().setFaults(faults);
    }

    Object create(const std::string& progId) { return Registry::instance().createObject(progId); }

    // The last message box shown had this text, title and button code.
    void expectLastBox(const std::string& text, const std::string& title, int32_t buttons = 0) {
        ASSERT_FALSE(boxes().empty());
        EXPECT_EQ(boxes().back().request.text, text);
        EXPECT_EQ(boxes().back().request.title, title);
        EXPECT_EQ(boxes().back().request.buttons, buttons);
    }

    desktop::HeadlessDesktop& desktop() { return *m_desktop; }
    const std::vector<desktop::MessageBoxRecord>& boxes() { return m_desktop->transcript().messageBoxes; }
    const std::filesystem::path& dataFolder() const { return m_data->path(); }

private:
    std::unique_ptr<TempFolder> m_data;
    std::unique_ptr<desktop::HeadlessDesktop> m_desktop;
    std::unique_ptr<desktop::ScopedDesktop> m_scope;
};

}  // namespace lumora::testing
