// Telephony requests hand the page's parameter string to the dialer the page names, and list
// the telephony addresses of the workstation.

#include <gtest/gtest.h>

#include "Automation/deliverables.hpp"
#include "Platform/Files/page_reach.hpp"
#include "tests/Control/support/deliverable_fixture.hpp"
#include "tests/Control/support/fake_applications.hpp"

namespace lumora {
namespace {

using testing::fake;
using testing::FakeObject;
using testing::registerFake;

class TelephonyRequests : public testing::DeliverableTest {
protected:
    void SetUp() override {
        DeliverableTest::SetUp();
        control = create("LumoraControl2005.LumoraCtrl2005");
        // A dialer of the page's own that records what it is asked; any object with the dialer's
        // members may take the dialer's place.
        registerFake("Test.RecordingDialer", [created = dialersCreated] {
            auto dialer = fake("RecordingDialer");
            dialer->on("MakeCall").on("HangupCall");
            created->push_back(dialer);
            return Object(dialer);
        });
    }


    Object control;
    std::shared_ptr<std::vector<std::shared_ptr<FakeObject>>> dialersCreated =
        std::make_shared<std::vector<std::shared_ptr<FakeObject>>>();
    std::vector<std::shared_ptr<FakeObject>>& dialers = *dialersCreated;
};

TEST_F(TelephonyRequests, TheDialerReceivesTheWholeParameterString) {
    const std::string parameters = "number=0123 456;tapidevice=modem;object=Test.RecordingDialer";
    EXPECT_TRUE(control.call("MakeCall", parameters).isEmpty());
    ASSERT_EQ(dialers.size(), 1u);
    ASSERT_EQ(dialers[0]->calls.size(), 1u);
    EXPECT_EQ(dialers[0]->calls[0].member, "MakeCall");
    EXPECT_EQ(dialers[0]->calls[0].args.at(0).toString(), parameters);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(TelephonyRequests, ParameterStringsWithoutADialerAreToldAndCreateNothing) {
    control.call("MakeCall", "object=Test.RecordingDialer");
    expectLastBox("An insufficient number of parameters were passed!", "LumoraControl2005");
    control.call("MakeCall", "");
    expectLastBox("An insufficient number of parameters were passed!", "LumoraControl2005");
    control.call("MakeCall", "number=1;object=");
    expectLastBox("Object parameter was missing!", "LumoraControl2005");
    control.call("MakeCall", "number=1;tapidevice=modem");
    expectLastBox("Object parameter was missing!", "LumoraControl2005");
    EXPECT_TRUE(dialers.empty());
}

TEST_F(TelephonyRequests, FailuresNameTheStepInAnErrorBox) {
    control.call("MakeCall", "number=1;object=No.Such.Dialer");
    expectLastBox("An error occured whilst creating dialer object: ActiveX component can't create object", "Error");
    registerFake("Test.MuteDialer", [] { return Object(fake("MuteDialer")); });
    control.call("MakeCall", "number=1;object=Test.MuteDialer");
    expectLastBox("An error occured whilst making call: Object doesn't support this property or method", "Error");
}

TEST_F(TelephonyRequests, StrayPiecesBeforeTheObjectDoNotStopTheCall) {
    control.call("MakeCall", ";number=1;;object=Test.RecordingDialer");
    ASSERT_EQ(dialers.size(), 1u);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(TelephonyRequests, HangUpGoesToTheStoredDialerAndIgnoresEveryFailure) {
    EXPECT_TRUE(control.call("HangupCall").isEmpty());
    control.call("MakeCall", "number=1;object=Test.RecordingDialer");
    control.call("MakeCall", "number=2;object=");  // refused: the stored dialer stays
    control.call("HangupCall");
    ASSERT_EQ(dialers.size(), 1u);
    EXPECT_EQ(dialers[0]->calls.back().member, "HangupCall");

    control.call("MakeCall", "number=1;object=LumoraGenTAPI30.Dialer");  // telephony is absent: no call
    const size_t shown = boxes().size();
    EXPECT_TRUE(control.call("HangupCall").isEmpty());
    EXPECT_EQ(boxes().size(), shown);
}

TEST_F(TelephonyRequests, DialerVersionComesFromAFreshInstanceOrTheErrorText) {
    EXPECT_EQ(control.call("GetDialerVersion", "LumoraGenTAPI30.Dialer").toString(), "1.0.1");
    EXPECT_EQ(control.call("GetDialerVersion", "No.Such.Dialer").toString(), "ActiveX component can't create object");
    EXPECT_TRUE(boxes().empty());
}

// Installed classes that are no dialers, each counting the instances made of it.
class DialerChoice : public TelephonyRequests {
protected:
    void SetUp() override {
        TelephonyRequests::SetUp();
        for (const char* progId : {"Word.Application", "Scripting.FileSystemObject"}) {
            registerFake(progId, [created = othersCreated] {
                ++*created;
                auto application = fake("Application");
                application->on("GetVersion", [](Args&) { return Variant("16.0"); }).on("MakeCall");
                return Object(application);
            });
            install(progId);
        }
        ClassInfo marked;
        marked.progId = "Test.MarkedDialer";
        marked.kind = ClassKind::Dialer;
        marked.factory = [] {
            auto dialer = fake("MarkedDialer");
            dialer->on("GetVersion", [](Args&) { return Variant("2.4.6"); }).on("MakeCall");
            return Object(dialer);
        };
        Registry::instance().registerBuiltin(std::move(marked));
    }

    std::shared_ptr<int> othersCreated = std::make_shared<int>(0);
};

TEST_F(DialerChoice, APageGetsOtherClassesAnsweredAsUnknownOnesAndNothingIsCreated) {
    files::PageReach page({});
    const Variant unknown = control.call("GetDialerVersion", "No.Such.Dialer");
    EXPECT_EQ(unknown.toString(), "ActiveX component can't create object");
    for (const char* other : {"Scripting.FileSystemObject", "Word.Application", "word.application",
                              "{0D43FE01-F093-11CF-8940-00A0C9054228}", "Test.RecordingDialer"})
        EXPECT_EQ(control.call("GetDialerVersion", other), unknown) << other;

    control.call("MakeCall", "number=1;object=No.Such.Dialer");
    ASSERT_EQ(boxes().size(), 1u);
    const desktop::MessageBoxRequest unknownBox = boxes().back().request;
    control.call("MakeCall", "number=1;object=Word.Application");
    ASSERT_EQ(boxes().size(), 2u);
    EXPECT_EQ(boxes().back().request.text, unknownBox.text);
    EXPECT_EQ(boxes().back().request.title, unknownBox.title);
    EXPECT_EQ(boxes().back().request.buttons, unknownBox.buttons);
    EXPECT_EQ(*othersCreated, 0);
    EXPECT_TRUE(dialers.empty());
}

TEST_F(DialerChoice, APageStillReachesTheDialerAndClassesRegisteredAsDialers) {
    files::PageReach page({});
    EXPECT_EQ(control.call("GetDialerVersion", "LumoraGenTAPI30.Dialer").toString(), "1.0.1");
    EXPECT_EQ(control.call("GetDialerVersion", deliverables::kDialer.classId).toString(), "1.0.1");
    EXPECT_EQ(control.call("GetDialerVersion", "test.markeddialer").toString(), "2.4.6");
    control.call("MakeCall", "number=1;object=Test.MarkedDialer");
    EXPECT_TRUE(boxes().empty());
}

TEST_F(DialerChoice, TheLocalUserMayNameAnyClass) {
    EXPECT_EQ(control.call("GetDialerVersion", "Word.Application").toString(), "16.0");
    control.call("MakeCall", "number=1;object=Scripting.FileSystemObject");
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(*othersCreated, 2);
}

TEST_F(TelephonyRequests, TelephonyAddressesAreJoinedByTilde) {
    auto log = std::make_shared<std::vector<std::string>>();
    auto addressNames = std::make_shared<std::vector<std::string>>();
    std::vector<std::string>& names = *addressNames;
    registerFake("TAPI.TAPI", [addressNames, log] { return testing::fakeTelephony(*addressNames, log); });
    install("TAPI.TAPI");
    names = {"A", "B", "C"};
    EXPECT_EQ(control.call("GetTapiDrivers").toString(), "A~B~C");
    names = {};
    EXPECT_EQ(control.call("GetTapiDrivers").toString(), "");
    names = {"", "B", "", "D"};
    EXPECT_EQ(control.call("GetTapiDrivers").toString(), "B~~D");
    EXPECT_EQ(log->front(), "Initialize()");
}

}  // namespace
}  // namespace lumora
