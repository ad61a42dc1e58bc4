// GUIDs, the temporary folder and the clock.

#include <gtest/gtest.h>

#include <set>

#include "Automation/vb/convert.hpp"
#include "Platform/Desktop/headless_desktop.hpp"
#include "environment_guard.hpp"

using namespace lumora::desktop;

TEST(Guid, RegistryFormWithVersionFourBits) {
    const std::string guid = SystemServices().newGuid();
    ASSERT_EQ(guid.size(), 38u);
    EXPECT_EQ(guid.front(), '{');
    EXPECT_EQ(guid.back(), '}');
    // Without the braces, the hyphens stand at positions 9, 14, 19 and 24 (counting from 1).
    const std::string inner = guid.substr(1, 36);
    for (size_t i = 0; i < inner.size(); ++i) {
        if (i == 8 || i == 13 || i == 18 || i == 23)
            EXPECT_EQ(inner[i], '-') << guid;
        else
            EXPECT_TRUE(std::isdigit(inner[i]) || (inner[i] >= 'A' && inner[i] <= 'F')) << guid;
    }
    EXPECT_EQ(inner[14], '4') << guid;
    EXPECT_NE(std::string("89AB").find(inner[19]), std::string::npos) << guid;
}

TEST(Guid, EveryGuidIsNew) {
    HeadlessDesktop desktop;
    std::set<std::string> seen;
    for (int i = 0; i < 2000; ++i) seen.insert(desktop.newGuid());
    EXPECT_EQ(seen.size(), 2000u);
}

TEST(TempFolder, EndsWithSlashWhereverItComesFrom) {
    EnvironmentGuard env;
    env.set("TMPDIR", "/var/tmp/lumora");
    EXPECT_EQ(SystemServices().tempFolder(), "/var/tmp/lumora/");
    env.set("TMPDIR", "/var/tmp/");
    EXPECT_EQ(SystemServices().tempFolder(), "/var/tmp/");
    env.set("TMPDIR", std::nullopt);
    EXPECT_EQ(SystemServices().tempFolder(), "/tmp/");

    SystemConfig config;
    config.tempFolder = "/srv/scratch";
    EXPECT_EQ(SystemServices(config).tempFolder(), "/srv/scratch/");
}

TEST(Clock, PinnedNowIsKeptUntilUnpinned) {
    HeadlessDesktop desktop;
    const lumora::Date pinned = lumora::vb::toDate({2024, 2, 29, 13, 45, 0});
    desktop.system().pinNow(pinned);
    EXPECT_EQ(desktop.now(), pinned);
    desktop.system().pinNow(std::nullopt);
    EXPECT_GT(desktop.now().days, lumora::vb::toDate({2025, 1, 1}).days);
}
