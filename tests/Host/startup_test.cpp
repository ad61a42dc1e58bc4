// Host start-up: where the data folder is, and the deliverables found beside the program being
// registered once, from a library that really loads and runs its DllRegisterServer.

#include <gtest/gtest.h>

#include <fstream>

#include "Automation/registry.hpp"
#include "Host/startup.hpp"
#include "tests/Automation/error_matchers.hpp"
#include "tests/Automation/temp_folder.hpp"
#include "tests/Platform/Desktop/environment_guard.hpp"

namespace lumora::host {
namespace {

namespace fs = std::filesystem;

TEST(DataFolder, FollowsXdgDataHomeWhenAbsoluteElseHome) {
    EnvironmentGuard env;
    env.set("HOME", "/home/ann");
    env.set("XDG_DATA_HOME", "/srv/data");
    EXPECT_EQ(defaultDataFolder(), fs::path("/srv/data/lumora"));
    env.set("XDG_DATA_HOME", "relative/data");
    EXPECT_EQ(defaultDataFolder(), fs::path("/home/ann/.local/share/lumora"));
    env.set("XDG_DATA_HOME", std::nullopt);
    EXPECT_EQ(defaultDataFolder(), fs::path("/home/ann/.local/share/lumora"));
}

class DeliverableRegistration : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(libraries);
        // The sample server stands in for a built deliverable under the deliverable's file name.
        fs::copy_file(LUMORA_SAMPLE_SERVER_MODULE, libraries / "libLumoraControl2005.so");
    }
    StartupReport start() { return startHost({data, libraries}); }

    tests::TempFolder temp;
    fs::path data = temp.path() / "nested" / "data";
    fs::path libraries = temp.path() / "lib";
};

TEST_F(DeliverableRegistration, CreatesTheDataFolderAndRegistersWhatIsBesideTheProgram) {
    StartupReport report = start();
    EXPECT_TRUE(fs::is_directory(data));
    EXPECT_EQ(Registry::instance().dataFolder(), data);
    EXPECT_EQ(report.registered, std::vector<fs::path>{libraries / "libLumoraControl2005.so"});
    EXPECT_TRUE(report.problems.empty());
    auto servers = Registry::instance().servers();
    ASSERT_EQ(servers.size(), 1u);
    EXPECT_EQ(servers[0].progId, "LumoraHostTest.Sample");
    EXPECT_EQ(servers[0].library, fs::canonical(libraries / "libLumoraControl2005.so"));
}

TEST_F(DeliverableRegistration, ARegisteredDeliverableIsLeftAsItIs) {
    start();
    auto before = fs::last_write_time(data / "registry.json");
    EXPECT_TRUE(start().registered.empty());
    EXPECT_EQ(fs::last_write_time(data / "registry.json"), before);
}

TEST_F(DeliverableRegistration, ARegistrationWhoseLibraryIsGoneIsRenewed) {
    fs::create_directories(data);
    std::ofstream(data / "registry.json") << R"({"servers": [{"progId": "LumoraHostTest.Sample", "clsid": "{X}",
        "library": "/nowhere/lib/libLumoraControl2005.so"}]})";
    EXPECT_EQ(start().registered.size(), 1u);
    EXPECT_EQ(Registry::instance().servers().at(0).library.parent_path(), fs::canonical(libraries));
}

TEST_F(DeliverableRegistration, AnotherBuildsCopyGivesWayToTheOneBesideTheProgram) {
    fs::path otherBuild = temp.path() / "other-build" / "lib";
    fs::create_directories(otherBuild);
    fs::copy_file(libraries / "libLumoraControl2005.so", otherBuild / "libLumoraControl2005.so");
    ASSERT_EQ(startHost({data, otherBuild}).registered.size(), 1u);

    EXPECT_EQ(start().registered.size(), 1u);
    EXPECT_EQ(Registry::instance().servers().at(0).library, fs::canonical(libraries / "libLumoraControl2005.so"));
}

TEST_F(DeliverableRegistration, ABrokenLibraryIsReportedAndTheOthersStillRegister) {
    std::ofstream(libraries / "libLumoraGenTAPI30.so") << "not a shared library";
    StartupReport report = start();
    EXPECT_EQ(report.registered.size(), 1u);
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_NE(report.problems[0].find("libLumoraGenTAPI30.so"), std::string::npos) << report.problems[0];
}

TEST_F(DeliverableRegistration, ADataFolderThatCannotBeMadeIsPathNotFound) {
    std::ofstream(temp.path() / "nested") << "a file where the folder should be";
    EXPECT_AUTOMATION_ERROR(start(), 76);
}

}  // namespace
}  // namespace lumora::host
