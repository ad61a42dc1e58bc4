// Calls placed by a page through the desktop control and the dialer on loopback lines: which
// line is chosen, what the user is told, and that bad input never places a call.

#include <gtest/gtest.h>

#include "telephony_fixture.hpp"

namespace lumora {
namespace {

using CallsThroughControls = testing::TelephonyTest;

constexpr char kDialer[] = ";object=LumoraGenTAPI30.Dialer";

TEST_F(CallsThroughControls, ACallIsPlacedOnTheFirstMatchingLineAndHungUpOnce) {
    addLoopbackLines({"Front desk", "Desk phone", "Desk 2"});
    makeCall("number=+44 (0)20 7946-0958;tapidevice=DESK" + std::string(kDialer));
    EXPECT_EQ(recorded(), "Front desk\tconnect\t+44 (0)20 7946-0958\n");
    EXPECT_TRUE(control.call("HangupCall").isEmpty());
    EXPECT_TRUE(control.call("HangupCall").isEmpty());
    EXPECT_EQ(recorded(), "Front desk\tconnect\t+44 (0)20 7946-0958\nFront desk\tdisconnect\t+44 (0)20 7946-0958\n");
    EXPECT_TRUE(boxes().empty());
}

TEST_F(CallsThroughControls, HangingUpWithoutACallDoesNothing) {
    addLoopbackLines({"Desk"});
    EXPECT_TRUE(control.call("HangupCall").isEmpty());
    Object dialer = create("LumoraGenTAPI30.Dialer");
    EXPECT_TRUE(dialer.call("HangupCall").isEmpty());
    makeCall("number=0123;tapidevice=nothing here" + std::string(kDialer));  // no call placed
    EXPECT_TRUE(control.call("HangupCall").isEmpty());
    EXPECT_EQ(recorded(), "");
    EXPECT_EQ(boxes().size(), 1u);
}

TEST_F(CallsThroughControls, TheLineListNamesEveryLineOrNone) {
    EXPECT_EQ(control.call("GetTapiDrivers").toString(), "");
    makeCall("number=0123;tapidevice=desk" + std::string(kDialer));
    expectLastBox("Device 'desk' not found/part-matched in device list:\r\n\r\n\r\n"
                  "Please check this TAPI or TSP device is installed.",
                  "Device not found");
    addLoopbackLines({"A", "B", "C"});
    EXPECT_EQ(control.call("GetTapiDrivers").toString(), "A~B~C");
    makeCall("number=0123;tapidevice=desk" + std::string(kDialer));
    expectLastBox("Device 'desk' not found/part-matched in device list:\r\n\r\n - A\r\n - B\r\n - C\r\n\r\n"
                  "Please check this TAPI or TSP device is installed.",
                  "Device not found");
}

TEST_F(CallsThroughControls, NumbersALineCannotDialAreToldAndPlaceNoCall) {
    addLoopbackLines({"Desk"});
    makeCall("number=0800 FLOWERS;tapidevice=desk" + std::string(kDialer));
    expectLastBox("An error occured whilst creating call: '0800 FLOWERS' is not a phone number: only digits, blanks, "
                  "+ - . ( ) * # may be dialled",
                  "Error");
    makeCall("number=" + std::string(10240, '1') + ";tapidevice=desk" + kDialer);
    expectLastBox("An error occured whilst creating call: The phone number is longer than 64 characters", "Error");
    makeCall("tapidevice=desk" + std::string(kDialer));
    expectLastBox("An error occured whilst creating call: '' is not a phone number: only digits, blanks, + - . ( ) * # "
                  "may be dialled",
                  "Error");
    makeCall("number=01\n23;tapidevice=desk" + std::string(kDialer));
    EXPECT_EQ(boxes().size(), 4u);
    EXPECT_EQ(recorded(), "");
}

TEST_F(CallsThroughControls, DeviceNamesWithControlCharactersMatchNoLine) {
    addLoopbackLines({"Desk"});
    makeCall("number=0123;tapidevice=De\x01sk" + std::string(kDialer));
    expectLastBox("Device 'De\x01sk' not found/part-matched in device list:\r\n\r\n - Desk\r\n\r\n"
                  "Please check this TAPI or TSP device is installed.",
                  "Device not found");
    EXPECT_EQ(recorded(), "");
}

TEST_F(CallsThroughControls, AnObjectThatIsNotADialerIsToldAtTheCall) {
    addLoopbackLines({"Desk"});
    makeCall("number=0123;tapidevice=desk;object=TAPI.TAPI");
    expectLastBox("An error occured whilst making call: Object doesn't support this property or method", "Error");
    EXPECT_EQ(control.call("GetDialerVersion", "TAPI.TAPI").toString(),
              "Object doesn't support this property or method");
    EXPECT_EQ(recorded(), "");
}

TEST_F(CallsThroughControls, ATelLineHandsTheNumberToTheDesktop) {
    telephony::addLine(dataFolder(), telephony::Line::tel("Softphone"));
    makeCall("number=+1 (555) 010-9999;tapidevice=soft" + std::string(kDialer));
    EXPECT_EQ(desktop().transcript().links, std::vector<std::string>{"tel:+15550109999"});
    EXPECT_TRUE(boxes().empty());
}

TEST_F(CallsThroughControls, TelephonyObjectMembersNeedInitializeAndAVoiceCall) {
    addLoopbackLines({"Desk"});
    Object tapi = create("TAPI.TAPI");
    EXPECT_THROW(tapi.get("Addresses"), Error);
    tapi.call("Initialize");
    Object addresses = tapi.get("Addresses").toObject();
    EXPECT_EQ(addresses.get("Count").toI4(), 1);
    EXPECT_THROW(addresses.get("Item", 2), Error);
    Object desk = addresses.get("Item", 1).toObject();
    EXPECT_EQ(desk.get("AddressName").toString(), "Desk");
    EXPECT_THROW(desk.call("CreateCall", "0123", 2, 8), Error);
    Object call = desk.call("CreateCall", "0123", 1, 8).toObject();
    call.call("Disconnect", 0);  // not connected yet: nothing to end
    call.call("Connect", true);
    call.call("Disconnect", 0);
    EXPECT_EQ(recorded(), "Desk\tconnect\t0123\nDesk\tdisconnect\t0123\n");
}

}  // namespace
}  // namespace lumora
