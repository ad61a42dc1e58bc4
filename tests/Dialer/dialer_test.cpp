// The dialer finds the telephony address whose name contains the requested device and places a
// voice call on it; every problem is told in a box and the call still returns normally.

#include <gtest/gtest.h>

#include "Automation/parameter_string.hpp"
#include "tests/Control/support/deliverable_fixture.hpp"
#include "tests/Control/support/fake_applications.hpp"

namespace lumora {
namespace {

using lumora::GetParameter;
using lumora::splitParameters;

TEST(ParameterString, KeysIgnoreCaseValuesAreKeptExactlyAndTheFirstPieceWins) {
    const auto parts = splitParameters("Number=0123=4;TapiDevice=USB Modem;number=999; object=x");
    EXPECT_EQ(GetParameter(parts, "number"), "0123=4");
    EXPECT_EQ(GetParameter(parts, "TAPIDEVICE"), "USB Modem");
    EXPECT_EQ(GetParameter(parts, "object"), "");  // a blank before the key hides it
    EXPECT_TRUE(splitParameters("").empty());
}

// A piece without "=" is a typo in the page's string; it is passed over, never a failure.
TEST(ParameterString, PiecesWithoutEqualsNeverMatch) {
    EXPECT_EQ(GetParameter(splitParameters("number=1;;tapidevice=modem"), "tapidevice"), "modem");
    EXPECT_EQ(GetParameter(splitParameters("number;number=2"), "number"), "2");
    EXPECT_EQ(GetParameter(splitParameters("number;tapidevice=modem"), "number"), "");
    EXPECT_EQ(GetParameter(splitParameters(";;"), "number"), "");
}

class Dialer : public testing::DeliverableTest {
protected:
    void SetUp() override {
        DeliverableTest::SetUp();
        dialer = create("LumoraGenTAPI30.Dialer");
        testing::registerFake("TAPI.TAPI", [names = addressNames, log = log] {
            return testing::fakeTelephony(*names, log);
        });
    }

    void dial(const std::string& parameters) { EXPECT_TRUE(dialer.call("MakeCall", parameters).isEmpty()); }


    Object dialer;
    std::shared_ptr<std::vector<std::string>> addressNames = std::make_shared<std::vector<std::string>>();
    std::shared_ptr<std::vector<std::string>> log = std::make_shared<std::vector<std::string>>();
};

TEST_F(Dialer, WithoutTelephonyTheCreationStepIsReported) {
    dial("number=0123;tapidevice=modem");
    expectLastBox("An error occured whilst creating TAPI object: ActiveX component can't create object", "Error");
}

TEST_F(Dialer, CallsTheFirstAddressWhoseNameContainsTheDeviceInAnyCase) {
    install("TAPI.TAPI");
    *addressNames = {"Line 1", "USB modem 56k", "Second modem"};
    dial("number=0123 456;tapidevice=MODEM;object=LumoraGenTAPI30.Dialer");
    EXPECT_EQ(*log, (std::vector<std::string>{"Initialize()", "CreateCall(USB modem 56k,0123 456,1,8)", "Connect(True)"}));
    EXPECT_TRUE(boxes().empty());
}

TEST_F(Dialer, AMissingDeviceIsToldAfterTelephonyIsUp) {
    install("TAPI.TAPI");
    *addressNames = {"Line 1"};
    dial("number=0123;tapidevice=");
    expectLastBox("The parameter 'tapidevice' was empty!", "Parameter empty");
    dial("number=0123;object=LumoraGenTAPI30.Dialer");
    expectLastBox("The parameter 'tapidevice' was empty!", "Parameter empty");
    EXPECT_EQ(log->front(), "Initialize()");
}

TEST_F(Dialer, AnUnknownDeviceListsEveryAddress) {
    install("TAPI.TAPI");
    *addressNames = {"Line 1", "Line 2"};
    dial("number=0123;tapidevice=isdn");
    expectLastBox("Device 'isdn' not found/part-matched in device list:\r\n\r\n - Line 1\r\n - Line 2\r\n\r\n"
              "Please check this TAPI or TSP device is installed.",
              "Device not found");
    addressNames->clear();
    dial("number=0123;tapidevice=isdn");
    expectLastBox("Device 'isdn' not found/part-matched in device list:\r\n\r\n\r\n"
              "Please check this TAPI or TSP device is installed.",
              "Device not found");
}

TEST_F(Dialer, StrayPiecesInTheParameterStringDoNotStopTheCall) {
    install("TAPI.TAPI");
    *addressNames = {"Line 1"};
    dial("number=1;;tapidevice=line;");
    EXPECT_EQ(log->back(), "Connect(True)");
    EXPECT_TRUE(boxes().empty());
}

}  // namespace
}  // namespace lumora
