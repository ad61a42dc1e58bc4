// ServerName keeps the host part of the CRM's address; anything it cannot read leaves the host
// as it was and tells the user.

#include <gtest/gtest.h>

#include "Control/frame/control.hpp"
#include "tests/Control/support/deliverable_fixture.hpp"

namespace lumora {
namespace {

const std::string kServerNameMessage =
    "An error occurred in the Lumora Control setting property 'server name' (-2147221504). Please contact your "
    "system administrator";

class ServerName : public testing::DeliverableTest {
protected:
    // The in-process control, so the test can read the host it kept.
    Object control = makeObject<control::LumoraCtrl2005>();
    std::string host() { return control.as<control::LumoraCtrl2005>()->state().server.ServerHost; }
};

TEST_F(ServerName, KeepsTheHostWithItsPortAndDropsThePath) {
    control.put("ServerName", "http://crm.example.com/lumora/default.aspx");
    EXPECT_EQ(host(), "crm.example.com");
    control.put("ServerName", "http://crm.example.com:8080/");
    EXPECT_EQ(host(), "crm.example.com:8080");
    control.put("ServerName", "http://crm.bücher.example/x");
    EXPECT_EQ(host(), "crm.bücher.example");
    EXPECT_TRUE(boxes().empty());
}

TEST_F(ServerName, ASecureAddressKeepsAnEmptyHost) {
    control.put("ServerName", "http://crm.example.com/");
    control.put("ServerName", "https://crm.example.com/lumora");
    EXPECT_EQ(host(), "");
    EXPECT_TRUE(boxes().empty());
}

TEST_F(ServerName, AnUnreadableAddressIsToldAndTheHostStaysAsItWas) {
    control.put("ServerName", "http://crm.example.com/");
    const std::string tooLong = "http://" + std::string(32767, 'h') + "/";
    for (const std::string& value : {std::string("http://crm.example.com"), std::string("http:/"), std::string(""),
                                     std::string("http://"), tooLong}) {
        const size_t before = boxes().size();
        control.put("ServerName", value);
        EXPECT_EQ(host(), "crm.example.com") << value.size();
        ASSERT_EQ(boxes().size(), before + 1);
        expectLastBox(kServerNameMessage, "LumoraControl2005");
    }
}

TEST_F(ServerName, TheLongestAddressASixteenBitLengthAllowsIsRead) {
    const std::string longest = "http://" + std::string(32766, 'h') + "/";  // 32,774 characters
    control.put("ServerName", longest);
    EXPECT_EQ(host(), std::string(32766, 'h'));
    EXPECT_TRUE(boxes().empty());
}

}  // namespace
}  // namespace lumora
