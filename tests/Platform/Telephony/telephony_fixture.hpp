#pragma once
// The controls on the real telephony stand-in, its lines configured in the test's data folder.

#include <fstream>
#include <sstream>

#include "Platform/Telephony/line_call.hpp"
#include "Platform/Telephony/line_list.hpp"
#include "Platform/Telephony/register.hpp"
#include "tests/Control/support/deliverable_fixture.hpp"

namespace lumora::testing {

class TelephonyTest : public DeliverableTest {
protected:
    void SetUp() override {
        DeliverableTest::SetUp();
        telephony::registerTelephonyClasses(Registry::instance());
        install("TAPI.TAPI");
        control = create("LumoraControl2005.LumoraCtrl2005");
    }

    void addLoopbackLines(const std::vector<std::string>& names) {
        for (const auto& name : names) telephony::addLine(dataFolder(), telephony::Line::loopback(name));
    }

    // What the loopback lines recorded, one event per line of text.
    std::string recorded() const {
        std::ifstream in(telephony::loopbackRecord(dataFolder()));
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    void makeCall(const std::string& parameters) { EXPECT_TRUE(control.call("MakeCall", parameters).isEmpty()); }

    Object control;
};

}  // namespace lumora::testing
