// The local services answer what the user's machine knows: locale formats, message boxes,
// whether Outlook, Word and Excel are there, the temporary folder and new GUIDs.

#include <gtest/gtest.h>

#include <fstream>

#include "Control/frame/control.hpp"
#include "Control/frame/private_operations.hpp"
#include "Platform/Files/register.hpp"
#include "tests/Control/support/deliverable_fixture.hpp"
#include "tests/Control/support/fake_applications.hpp"

namespace lumora {
namespace {

using testing::fake;
using testing::registerFake;

class LocalServices : public testing::DeliverableTest {
protected:
    void SetUp() override {
        DeliverableTest::SetUp();
        control = create("LumoraControl2005.LumoraCtrl2005");
    }
    Object control;
};

TEST_F(LocalServices, CreateMessageReportsTheButtonExceptForPlainExclamationOrInformation) {
    desktop().queueAnswers({7, 6, 1, 1});
    EXPECT_EQ(control.call("CreateMessage", "Delete?", int16_t{4}, "Lumora"), Variant(int16_t{7}));
    EXPECT_EQ(control.call("CreateMessage", "Send?", int16_t{68}, "Lumora"), Variant(int16_t{6}));
    EXPECT_EQ(control.call("CreateMessage", "Done.", int16_t{64}, "Lumora"), Variant(int16_t{0}));
    EXPECT_EQ(control.call("CreateMessage", "Careful.", int16_t{48}, ""), Variant(int16_t{0}));
    EXPECT_EQ(boxes().back().request.title, "LumoraControl2005");
    EXPECT_EQ(boxes().back().request.buttons, 48);
}

TEST_F(LocalServices, DateOrderComesFromTheLocaleAndFallsBackToDayMonthYear) {
    EXPECT_EQ(control.call("dateFormatOrder").toString(), "1");

    desktop::HeadlessDesktop american(desktop::SystemConfig{{}, {}, std::string("en_US")});
    desktop::ScopedDesktop inAmerica(american);
    EXPECT_EQ(control.call("dateFormatOrder").toString(), "0");

    struct UnknownOrder : desktop::HeadlessDesktop {
        std::string dateOrder() override { return ""; }
    } unknown;
    desktop::ScopedDesktop withUnknownOrder(unknown);
    EXPECT_EQ(control.call("dateFormatOrder").toString(), "1");

    struct FailingLocale : desktop::HeadlessDesktop {
        std::string dateOrder() override { throw std::runtime_error("locale service down"); }
    } failing;
    desktop::ScopedDesktop withFailingLocale(failing);
    EXPECT_EQ(control.call("dateFormatOrder").toString(), "1");
}

TEST_F(LocalServices, CurrencySymbolIsReturnedWhole) {
    EXPECT_EQ(control.call("currencyFormat").toString(), "£");
    desktop::HeadlessDesktop swiss(desktop::SystemConfig{{}, {}, std::string("de_CH")});
    desktop::ScopedDesktop inSwitzerland(swiss);
    EXPECT_EQ(control.call("currencyFormat").toString(), "CHF");
}

TEST_F(LocalServices, OutlookCountsOnlyWhenItIsRunning) {
    EXPECT_EQ(control.call("CheckForOutlook").toString(), "False");

    registerFake("Outlook.Application", [] { return Object(fake("Outlook")); }, true);
    install("Outlook.Application");
    RegistryFaults stopped = Registry::instance().faults();
    stopped.notRunning.insert("Outlook.Application");
    Registry::instance().setFaults(stopped);
    EXPECT_EQ(control.call("CheckForOutlook").toString(), "False");

    stopped.notRunning.clear();
    Registry::instance().setFaults(stopped);
    Object inProcess = makeObject<control::LumoraCtrl2005>();
    EXPECT_EQ(inProcess.call("CheckForOutlook").toString(), "True");
    EXPECT_TRUE(inProcess.as<control::LumoraCtrl2005>()->state().outlook.OutlookApp.isNothing());
}

TEST_F(LocalServices, WordAndExcelAreStartedAsNewInstances) {
    EXPECT_EQ(control.call("CheckForWord").toString(), "False");
    auto wordsStarted = std::make_shared<int>(0);
    registerFake("Word.Application", [wordsStarted] {
        ++*wordsStarted;
        return Object(fake("Word"));
    });
    install("Word.Application");
    EXPECT_EQ(control.call("CheckForWord").toString(), "True");
    EXPECT_EQ(control.call("CheckForWord").toString(), "True");
    EXPECT_EQ(*wordsStarted, 2);

    Object inProcess = makeObject<control::LumoraCtrl2005>();
    auto& state = inProcess.as<control::LumoraCtrl2005>()->state();
    registerFake("Excel.Application", [] { return Object(fake("Excel")); });
    install("Excel.Application");
    Object excel = inProcess.call("CreateExcelApp").toObject();
    EXPECT_FALSE(excel.isNothing());
    EXPECT_TRUE(state.excel.ExcelApp.sameAs(excel));

    Registry::instance().setFaults(testing::machineWithoutOutsideApplications());
    EXPECT_TRUE(inProcess.call("CreateExcelApp").toObject().isNothing());
    EXPECT_TRUE(state.excel.ExcelApp.isNothing());
}

TEST_F(LocalServices, PrivateServicesGiveTheirDocumentedForms) {
    const std::string guid = control::CreateGuidString();
    ASSERT_EQ(guid.size(), 36u);
    for (size_t hyphen : {8u, 13u, 18u, 23u}) EXPECT_EQ(guid[hyphen], '-');
    EXPECT_EQ(guid.find_first_of("{}"), std::string::npos);
    EXPECT_NE(guid, control::CreateGuidString());

    EXPECT_EQ(control::GetTempFolderPath(), (dataFolder() / "temp").string() + "/");
    // A folder path longer than the old 255-character buffer comes back whole, not as blanks.
    const std::string deepFolder = (dataFolder() / std::string(120, 'a') / std::string(120, 'b') / "c").string() + "/";
    desktop::HeadlessDesktop deep(desktop::SystemConfig{{}, deepFolder, {}});
    desktop::ScopedDesktop withDeepTemp(deep);
    EXPECT_EQ(control::GetTempFolderPath(), deepFolder);

    EXPECT_EQ(control::StripAtNull(std::string("2\0\0", 3)), "2");
    EXPECT_EQ(control::StripAtNull(std::string("\0\0", 2)), "");
    EXPECT_EQ(control::StripAtNull("no terminator"), "1");

    // Without the file-system object a delete is silently given up.
    EXPECT_NO_THROW(control::DeleteFileQuietly("/nonexistent/file.doc"));
}

TEST_F(LocalServices, QuietDeletesRemoveFilesButNeverForceReadOnlyOnes) {
    files::registerFileClasses(Registry::instance());
    const auto folder = dataFolder() / "temp";
    const auto plain = folder / "Quote.htm", readOnly = folder / "Locked.doc";
    std::ofstream(plain) << "<p>quote</p>";
    std::ofstream(readOnly) << "letter";
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);

    control::DeleteFileQuietly(plain.string());
    control::DeleteFileQuietly(readOnly.string());
    control::DeleteFileQuietly((folder / "Missing.doc").string());
    EXPECT_FALSE(std::filesystem::exists(plain));
    EXPECT_TRUE(std::filesystem::exists(readOnly));
    EXPECT_TRUE(boxes().empty());
}

TEST_F(LocalServices, OutlookFailureResultNamesAMissingOutlookOrTheMembersCode) {
    const StepText step("opening an Appointment");
    EXPECT_EQ(control::OutlookErrorResult(step, 9, Error(RuntimeError::CantCreateObject)), "NoOutlook");
    EXPECT_EQ(control::OutlookErrorResult(step, 9, Error(RuntimeError::ObjectNotSet)), "9");
    EXPECT_EQ(control::OutlookErrorResult(step, 7, Error(static_cast<int32_t>(0x8004010Fu), "not found")), "7");
}

TEST_F(LocalServices, CleanUpOutlookReleasesTheOutlookReferencesOnly) {
    Object inProcess = makeObject<control::LumoraCtrl2005>();
    auto& state = inProcess.as<control::LumoraCtrl2005>()->state();
    for (Object* reference : {&state.outlook.OutlookApp, &state.outlook.MapiNamespace, &state.outlook.CurrentItem, &state.outlook.CurrentAppointment,
                              &state.outlook.MailItem, &state.outlook.ContactItem, &state.outlook.DefaultFolder, &state.outlook.SubFolder,
                              &state.contactFolder.TargetFolder, &state.outlook.ItemUserProperty, &state.outlook.LoopItem, &state.outlook.LumoraProperty,
                              &state.outlook.SharedRecipient, &state.excel.ExcelApp})
        *reference = Object(fake("Item"));
    inProcess.call("CleanUpOutlook");
    inProcess.call("CleanUpOutlook");
    for (Object* released : {&state.outlook.OutlookApp, &state.outlook.MapiNamespace, &state.outlook.CurrentItem, &state.outlook.CurrentAppointment,
                             &state.outlook.MailItem, &state.outlook.ContactItem, &state.outlook.DefaultFolder, &state.outlook.SubFolder,
                             &state.contactFolder.TargetFolder, &state.outlook.ItemUserProperty})
        EXPECT_TRUE(released->isNothing());
    for (Object* kept : {&state.outlook.LoopItem, &state.outlook.LumoraProperty, &state.outlook.SharedRecipient, &state.excel.ExcelApp})
        EXPECT_FALSE(kept->isNothing());
}

}  // namespace
}  // namespace lumora
