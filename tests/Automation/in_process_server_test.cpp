#include <gtest/gtest.h>

#include "Automation/registry.hpp"
#include "Automation/server.hpp"
#include "Automation/shared_library.hpp"
#include "error_matchers.hpp"
#include "temp_folder.hpp"

using namespace lumora;

// The module built beside this suite, registered through its own DllRegisterServer and then
// created by ProgID, as the host does with the deliverables.
TEST(InProcessServer, RegistersItselfAndIsCreatedByProgId) {
    tests::TempFolder data;
    Registry::instance().setDataFolder(data.path());
    SharedLibrary module(LUMORA_TEST_SERVER_MODULE);
    auto registerServer = reinterpret_cast<DllRegisterServerFn>(module.symbol("DllRegisterServer"));
    auto unregisterServer = reinterpret_cast<DllRegisterServerFn>(module.symbol("DllUnregisterServer"));
    auto canUnloadNow = reinterpret_cast<int32_t (*)()>(module.symbol("DllCanUnloadNow"));
    ASSERT_TRUE(registerServer && unregisterServer && canUnloadNow);

    ASSERT_EQ(registerServer(), kOk);
    auto servers = Registry::instance().servers();
    ASSERT_EQ(servers.size(), 1u);
    EXPECT_EQ(servers[0].progId, "LumoraTest.Greeter");
    EXPECT_EQ(servers[0].library, std::filesystem::canonical(LUMORA_TEST_SERVER_MODULE));
    EXPECT_TRUE(std::filesystem::exists(data.path() / "registry.json"));

    EXPECT_EQ(canUnloadNow(), kOk);
    Object greeter = Registry::instance().createObject("lumoratest.greeter");
    EXPECT_EQ(greeter.call("hello", "Ann").toString(), "Hello Ann");
    EXPECT_EQ(canUnloadNow(), kFalse);
    greeter.release();
    EXPECT_EQ(canUnloadNow(), kOk);

    ClassFactory factory;
    auto getClassObject = reinterpret_cast<DllGetClassObjectFn>(module.symbol("DllGetClassObject"));
    EXPECT_EQ(getClassObject("{00000000-0000-0000-0000-000000000000}", &factory), kClassNotAvailable);

    ASSERT_EQ(unregisterServer(), kOk);
    EXPECT_AUTOMATION_ERROR(Registry::instance().createObject("LumoraTest.Greeter"), 429);
}
