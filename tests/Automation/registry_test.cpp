#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <thread>

#include "Automation/registry.hpp"
#include "error_matchers.hpp"
#include "temp_folder.hpp"

using namespace lumora;

namespace {

class Probe : public Dispatch {
public:
    const TypeInfo& typeInfo() const override {
        static const TypeInfo info = [] {
            TypeInfo t("Probe");
            t.getter<Probe>("Serial", 1, [](Probe& p) { return Variant(p.m_serial); });
            return t;
        }();
        return info;
    }
    int32_t m_serial = ++s_created;
    static inline int32_t s_created = 0;
};

RegistryFaults fault(std::set<std::string> RegistryFaults::*kind, std::string progId) {
    RegistryFaults faults;
    (faults.*kind).insert(std::move(progId));
    return faults;
}

constexpr const char* kProbeClsid = "{A1B2C3D4-0001-4E5F-8A9B-0C1D2E3F4A5B}";

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        Registry::instance().registerBuiltin({"LumoraTest.Probe", kProbeClsid, {"LumoraTest.ProbeAlias"},
                                              [] { return makeObject<Probe>(); }, false});
        Registry::instance().registerBuiltin(
            {"LumoraTest.Single", "", {}, [] { return makeObject<Probe>(); }, true});
        Registry::instance().setDataFolder(m_data.path());
    }
    void TearDown() override {
        Registry::instance().setFaults({});
        Registry::instance().forgetRunningInstances();
    }
    static int32_t serialOf(const Object& o) { return o.get("Serial").toI4(); }

    tests::TempFolder m_data;
};

}  // namespace

TEST_F(RegistryTest, CreatesByProgIdAliasOrClassIdInAnyCase) {
    EXPECT_EQ(Registry::instance().createObject("lumoratest.PROBE").typeInfo().className(), "Probe");
    EXPECT_EQ(Registry::instance().createObject("{a1b2c3d4-0001-4e5f-8a9b-0c1d2e3f4a5b}").typeInfo().className(),
              "Probe");
    EXPECT_TRUE(Registry::instance().isInstalled("LUMORATEST.PROBE"));
    EXPECT_AUTOMATION_ERROR(Registry::instance().createObject("LumoraTest.Nowhere"), 429);
}

TEST_F(RegistryTest, AbsentFaultMakesAnInstalledClassFailWith429) {
    Registry::instance().setFaults(fault(&RegistryFaults::absent, "LumoraTest.Probe"));
    EXPECT_AUTOMATION_ERROR(Registry::instance().createObject("lumoratest.probe"), 429);
    EXPECT_FALSE(Registry::instance().isInstalled("LumoraTest.Probe"));
}

TEST_F(RegistryTest, NotRunningFailsAttachButCreateStarts) {
    Registry::instance().setFaults(fault(&RegistryFaults::notRunning, "LumoraTest.Single"));
    EXPECT_AUTOMATION_ERROR(Registry::instance().getObject("LumoraTest.Single"), 429);
    EXPECT_FALSE(Registry::instance().createObject("LumoraTest.Single").isNothing());
}

TEST_F(RegistryTest, FailFirstFailsOnceThenLoopbackActivationSucceeds) {
    Registry::instance().setFaults(fault(&RegistryFaults::failFirst, "LumoraTest.Probe"));
    EXPECT_AUTOMATION_ERROR(Registry::instance().createObject("LumoraTest.Probe"), 429);
    EXPECT_FALSE(Registry::instance().createObject("LumoraTest.Probe", "127.0.0.1").isNothing());
    EXPECT_FALSE(Registry::instance().createObject("LumoraTest.Probe").isNothing());
}

TEST_F(RegistryTest, RemoteMachineIs462) {
    EXPECT_AUTOMATION_ERROR(Registry::instance().createObject("LumoraTest.Probe", "crm-server-07"), 462);
}

TEST_F(RegistryTest, SingleInstanceClassesShareTheRunningObject) {
    Object first = Registry::instance().createObject("LumoraTest.Single");
    Object second = Registry::instance().createObject("lumoratest.single");
    Object attached = Registry::instance().getObject("LumoraTest.Single");
    EXPECT_TRUE(first.sameAs(second));
    EXPECT_TRUE(first.sameAs(attached));
    EXPECT_NE(serialOf(Registry::instance().createObject("LumoraTest.Probe")),
              serialOf(Registry::instance().createObject("LumoraTest.Probe")));
}

TEST_F(RegistryTest, FaultsBelongToTheCallingThread) {
    Registry::instance().setFaults(fault(&RegistryFaults::absent, "LumoraTest.Probe"));
    bool createdElsewhere = false;
    std::thread other([&] { createdElsewhere = !Registry::instance().createObject("LumoraTest.Probe").isNothing(); });
    other.join();
    EXPECT_TRUE(createdElsewhere);
}

TEST_F(RegistryTest, ServerRegistrationsAreWrittenAndReadBack) {
    Registry::instance().registerServer({"LumoraTest.Server", "{00000000-1111-2222-3333-444444444444}", "/opt/x.so"});
    std::ifstream file(m_data.path() / "registry.json");
    auto saved = nlohmann::json::parse(file);
    EXPECT_EQ(saved["servers"][0]["library"], "/opt/x.so");

    tests::TempFolder elsewhere;
    Registry::instance().setDataFolder(elsewhere.path());
    EXPECT_TRUE(Registry::instance().servers().empty());
    Registry::instance().setDataFolder(m_data.path());
    ASSERT_EQ(Registry::instance().servers().size(), 1u);
    EXPECT_EQ(Registry::instance().servers()[0].clsid, "{00000000-1111-2222-3333-444444444444}");

    Registry::instance().unregisterServer("lumoratest.server");
    Registry::instance().setDataFolder(m_data.path());
    EXPECT_TRUE(Registry::instance().servers().empty());
}

TEST_F(RegistryTest, DamagedRegistryFileReadsAsEmptyAndCanBeRewritten) {
    std::ofstream(m_data.path() / "registry.json") << "{\"servers\": [ {\"progId\": ";
    Registry::instance().setDataFolder(m_data.path());
    EXPECT_TRUE(Registry::instance().servers().empty());
    Registry::instance().registerServer({"LumoraTest.Server", "{1}", "/opt/x.so"});
    Registry::instance().setDataFolder(m_data.path());
    EXPECT_EQ(Registry::instance().servers().size(), 1u);
}

TEST_F(RegistryTest, ServerWhoseLibraryIsMissingIs429) {
    Registry::instance().registerServer({"LumoraTest.Gone", "{2}", m_data.path() / "libgone.so"});
    EXPECT_AUTOMATION_ERROR(Registry::instance().createObject("LumoraTest.Gone"), 429);
}

TEST_F(RegistryTest, AClassKeepsTheKindItRegisteredWithInTheRegistryFile) {
    EXPECT_EQ(Registry::instance().kindOf("lumoratest.probealias"), ClassKind::Ordinary);
    EXPECT_EQ(Registry::instance().kindOf("LumoraTest.Nobody"), std::nullopt);

    Registry::instance().registerServer({"LumoraTest.Dialer", "{3}", "/opt/d.so", ClassKind::Dialer});
    Registry::instance().registerServer({"LumoraTest.Plain", "{4}", "/opt/p.so"});
    std::ifstream file(m_data.path() / "registry.json");
    auto saved = nlohmann::json::parse(file);
    EXPECT_EQ(saved["servers"][0]["kind"], "dialer");
    EXPECT_FALSE(saved["servers"][1].contains("kind"));

    Registry::instance().setDataFolder(m_data.path());
    EXPECT_EQ(Registry::instance().kindOf("{3}"), ClassKind::Dialer);
    EXPECT_EQ(Registry::instance().kindOf("lumoratest.dialer"), ClassKind::Dialer);
    EXPECT_EQ(Registry::instance().kindOf("LumoraTest.Plain"), ClassKind::Ordinary);
}

TEST_F(RegistryTest, ARegistryFileFromBeforeKindsStillKnowsTheDialer) {
    std::ofstream(m_data.path() / "registry.json") << R"({"servers": [
        {"progId": "LumoraGenTAPI30.Dialer", "clsid": "{e6c8edff-0628-45d4-ab5f-958785f72a6c}", "library": "/opt/d.so"},
        {"progId": "LumoraTest.Plain", "clsid": "{4}", "library": "/opt/p.so"},
        {"progId": "LumoraTest.Later", "clsid": "{5}", "library": "/opt/l.so", "kind": "switchboard"}]})";
    Registry::instance().setDataFolder(m_data.path());
    EXPECT_EQ(Registry::instance().kindOf("LumoraGenTAPI30.Dialer"), ClassKind::Dialer);
    EXPECT_EQ(Registry::instance().kindOf("LumoraTest.Plain"), ClassKind::Ordinary);
    // A kind this version does not know grants nothing.
    EXPECT_EQ(Registry::instance().kindOf("LumoraTest.Later"), ClassKind::Ordinary);
}
