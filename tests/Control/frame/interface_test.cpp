// The control's interface as page script meets it: every member is there, in dispatch-id order,
// and every one answers from a fresh control on a machine without Outlook, Word, Excel, Acrobat
// or telephony with its own failure result and message, never with a script error (except the
// members that have no error trap).

#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "Platform/Files/register.hpp"
#include "tests/Control/support/deliverable_fixture.hpp"

namespace lumora {
namespace {

using testing::DeliverableTest;

constexpr const char* kControl = "LumoraControl2005.LumoraCtrl2005";
constexpr const char* kDefaultTitle = "LumoraControl2005";
constexpr const char* kNoActiveX = "ActiveX component can't create object";

struct ExpectedBox {
    std::string text;
    std::string title = kDefaultTitle;
    int32_t buttons = 0;
};

struct MemberCase {
    const char* member;
    std::vector<Variant> args;
    Variant result;
    std::optional<ExpectedBox> box;
    std::optional<int32_t> escapingError;  // set for the trap-less members
};

std::vector<Variant> six(const char* last = "body") { return {"a@example.com", "me", "today", "you", "Re", last}; }

std::vector<MemberCase> freshControlCases() {
    const ExpectedBox outlookMissing{"Outlook does not appear to be installed"};
    const ExpectedBox noActiveX{kNoActiveX};
    const ExpectedBox cannotAddEmail{
        "Unable to add the e-mail as Microsoft Outlook does not appear to be installed. Please check that Microsoft "
        "Outlook is installed on this machine and configured for your use.",
        "Unable to add email", 64};
    const std::string quoteFailed = "An unknown error has occurred please contact your System Administrator";
    const ExpectedBox quoteBox{"An error has occurred creating a Quote in Microsoft Word. " + quoteFailed,
                               "Quote generation failed", 48};
    return {
        {"NewAppointment", {"ac_id=17", "crm.example.com", "lumora"}, "NoOutlook", {}, {}},
        {"AddAppointment", {"17"}, std::string("An error occured whilst getting Outlook Application: ") + kNoActiveX, {}, {}},
        {"OpenTask", {"00000000AB"}, "NoOutlook", {}, {}},
        {"OpenAppointment", {"00000000AB"}, "NoOutlook", {}, {}},
        {"GenerateEmail", {"<p>quote</p>", "null", "Q-7", "Quote", "Email"}, Variant(),
         ExpectedBox{"Unable to send this quote. Ensure Microsoft Outlook is available and configured for your use.",
                     "Unable to send quote", 64},
         {}},
        {"GetOutlookSelection", {}, "No Outlook", cannotAddEmail, {}},
        {"GetOutlookSelectionString", {}, "No Outlook", cannotAddEmail, {}},
        {"CreateSeminarLetterXML", {Variant(), "seminar.dotx"}, Variant(),
         ExpectedBox{std::string("Error starting word - ") + kNoActiveX}, {}},
        // The record document is read before Word is started: no document, no letter.
        {"CreateLetterXML", {Variant(), "letter.dotx"}, Variant(),
         ExpectedBox{"An error occurred in CreateLetterXML:-Type mismatch at step 1: Reading tag information"}, {}},
        {"CreateContactLetter", {Variant(), "letter.dotx"}, Variant(), ExpectedBox{"This interface has been removed"}, {}},
        {"GetTemplateList", {"C:\\templates", "business"}, "Empty",
         ExpectedBox{"Unable to retrieve a list of templates from 'C:\\templates'. Please check with your system "
                     "administrator that you have access to this location."},
         {}},
        {"FindFile", {"C:\\docs\\offer.doc"}, false,
         ExpectedBox{"Unable to find the folder 'C:\\docs'. This folder may reside at a location which you do not "
                     "have access to. This may be a network drive or another users local drive. Please contact the "
                     "user who added this document or your system administrator",
                     "Unable to find folder 'C:\\docs'", 64},
         {}},
        {"CreateHTMforPDF", {"<html/>", "Q-7", "null", "Q-7", "Quote", "Email"}, Variant(),
         ExpectedBox{"Adobe Acrobat was not detected on your system and therefore Lumora was unable to generate a "
                     "pdf file attachment. Please contact your system administrator",
                     "Install Adobe Acrobat", 64},
         {}},
        {"GetVersion", {}, "5.8.7", {}, {}},
        {"SetContactFolder", {"Contacts"}, Variant(), outlookMissing, {}},
        {"AddContact", {"17", "Smith", "Permanent", "Acme"}, Variant(),
         ExpectedBox{"SetContactFolder() has not been run. Run this before calling AddContact()"}, 91},
        {"AddContactAll", {Variant()}, false,
         ExpectedBox{"SetContactFolder() has not been run. Run this before calling AddContactAll()"}, {}},
        {"AddUpdateContactXML", {"<record id=\"17\"/>", true, false}, false,
         ExpectedBox{"SetContactFolder() has not been run. Run this before calling AddUpdateContactXml()"}, {}},
        {"CleanUpOutlook", {}, Variant(), {}, {}},
        {"CreateExcelApp", {}, Variant(Object()), {}, {}},
        {"OpenFile", {"C:\\docs\\offer.doc"},
         "Unable to open the file because it cannot be found. Ensure this file path currently exists", {}, {}},
        {"GetContactFolderList", {}, "", outlookMissing, {}},
        {"GetTaskFolderList", {}, "", outlookMissing, {}},
        {"GetFolderContactItems", {""}, "", outlookMissing, {}},
        {"GetFolderTaskItems", {""}, "", outlookMissing, {}},
        {"ImportContact", {"", "00000000AB"}, "", outlookMissing, {}},
        {"ImportTask", {"", "00000000AB"}, "", outlookMissing, {}},
        {"dateFormatOrder", {}, "1", {}, {}},
        {"currencyFormat", {}, "£", {}, {}},
        {"UploadFile", {"C:\\docs\\offer.doc", "http://crm.example.com/import"}, false, {}, {}},
        {"CheckForFolder", {"Lumora"}, false, {}, {}},
        {"SendEmail", {"a@example.com"}, false, {}, {}},
        {"SendEmailWithOriginal", six(), false, {}, {}},
        {"SendEmailFull", six(), false, {}, {}},
        {"ForwardEmailWithOriginal", six(), false, {}, {}},
        {"WordQuote", {Variant(), "quote.dotx", "", "0", ""}, quoteFailed, quoteBox, {}},
        {"WordQuoteHtml", {Variant(), "null", "Q-7", "Quote", "Email", "quote.dotx", "attach", "", "", "0", ""},
         quoteFailed, quoteBox, {}},
        {"CreateMessage", {"Saved.", int16_t{64}, "Offers"}, int16_t{0}, ExpectedBox{"Saved.", "Offers", 64}, {}},
        {"RemoveContact", {"17", false},
         "Lumora failed to unsynchronize the Outlook contact. Please contact your system administrator", {}, {}},
        {"SetImportID", {"17", "00000000AB", "contact"},
         "An error occurred setting the item id for the Outlook item. Please contact your system administrator", {},
         {}},
        {"CheckIfSynchronised", {"17", "contact"}, "unknown", {}, {}},
        {"ExcelQuote", {Variant(), "Product#~Price#~"}, false, {}, {}},
        {"CreateContactAsvCard", {Variant()}, false, {}, {}},
        {"CheckForOutlook", {}, "False", {}, {}},
        {"CheckForWord", {}, "False", {}, {}},
        {"MakeCall", {"number=0123;tapidevice=modem;object=LumoraGenTAPI30.Dialer"}, Variant(),
         ExpectedBox{std::string("An error occured whilst creating TAPI object: ") + kNoActiveX, "Error"}, {}},
        {"HangupCall", {}, Variant(), {}, {}},
        {"GetDialerVersion", {"LumoraGenTAPI30.Dialer"}, "1.0.1", {}, {}},
        {"GetTapiDrivers", {}, "", {}, {}},
        {"GetUnsyncedAppts", {}, "", noActiveX, {}},
        {"GetUnsyncedTasks", {}, "", noActiveX, {}},
        {"GetUnsyncedContacts", {""}, "", noActiveX, {}},
        {"SetItemAsLumora", {"appointment", "store", "entry", "17", "{1}"}, false, noActiveX, {}},
    };
}

// A workstation without office software still has its file-system object, as every system does.
class FreshControl : public DeliverableTest {
protected:
    void SetUp() override {
        DeliverableTest::SetUp();
        files::registerFileClasses(Registry::instance());
    }
};

TEST_F(FreshControl, EveryMemberAnswersWithItsFailureResultWhenNoOutsideApplicationIsThere) {
    const auto cases = freshControlCases();
    Object probe = create(kControl);
    std::set<std::string> covered{"ServerName"};
    for (const auto& c : cases) covered.insert(c.member);
    for (const auto& def : probe.typeInfo().members()) EXPECT_TRUE(covered.count(def.name)) << def.name;
    EXPECT_EQ(covered.size(), 54u);

    for (const auto& c : cases) {
        SCOPED_TRACE(c.member);
        Object control = create(kControl);
        const size_t boxesBefore = boxes().size();
        std::vector<Variant> args = c.args;
        Variant result;
        std::optional<Error> escaped;
        try {
            result = control.invoke(c.member, MemberKind::Method, args);
        } catch (const Error& e) {
            escaped = e;
        }
        if (c.escapingError) {
            ASSERT_TRUE(escaped.has_value());
            EXPECT_EQ(escaped->number(), *c.escapingError);
        } else {
            ASSERT_FALSE(escaped.has_value()) << escaped->number() << " " << escaped->description();
            EXPECT_EQ(result.type(), c.result.type());
            EXPECT_TRUE(result == c.result) << (result.isObject() ? "object" : result.toString());
        }
        const auto& shown = boxes();
        if (c.box) {
            ASSERT_EQ(shown.size(), boxesBefore + 1);
            EXPECT_EQ(shown.back().request.text, c.box->text);
            EXPECT_EQ(shown.back().request.title, c.box->title);
            EXPECT_EQ(shown.back().request.buttons, c.box->buttons);
        } else {
            EXPECT_EQ(shown.size(), boxesBefore);
        }
    }
}

TEST_F(FreshControl, MembersAreDeclaredInDispatchIdOrderWithTheInterfaceIds) {
    const std::vector<std::pair<const char*, DispId>> expected{
        {"ServerName", 0x68030000},           {"NewAppointment", 0x60030001},
        {"AddAppointment", 0x60030002},       {"OpenTask", 0x60030003},
        {"OpenAppointment", 0x60030004},      {"GenerateEmail", 0x60030006},
        {"GetOutlookSelection", 0x60030007},  {"GetOutlookSelectionString", 0x60030008},
        {"CreateSeminarLetterXML", 0x60030009}, {"CreateLetterXML", 0x6003000a},
        {"CreateContactLetter", 0x6003000d},  {"GetTemplateList", 0x6003000e},
        {"FindFile", 0x6003000f},             {"CreateHTMforPDF", 0x60030010},
        {"GetVersion", 0x60030016},           {"SetContactFolder", 0x60030017},
        {"AddContact", 0x60030018},           {"AddContactAll", 0x60030019},
        {"AddUpdateContactXML", 0x6003001a},  {"CleanUpOutlook", 0x6003001d},
        {"CreateExcelApp", 0x6003001e},       {"OpenFile", 0x6003001f},
        {"GetContactFolderList", 0x60030020}, {"GetTaskFolderList", 0x60030021},
        {"GetFolderContactItems", 0x60030022}, {"GetFolderTaskItems", 0x60030023},
        {"ImportContact", 0x60030024},        {"ImportTask", 0x60030025},
        {"dateFormatOrder", 0x60030026},      {"currencyFormat", 0x60030027},
        {"UploadFile", 0x60030029},           {"CheckForFolder", 0x6003002b},
        {"SendEmail", 0x6003002c},            {"SendEmailWithOriginal", 0x6003002d},
        {"SendEmailFull", 0x6003002e},        {"ForwardEmailWithOriginal", 0x6003002f},
        {"WordQuote", 0x60030030},            {"WordQuoteHtml", 0x60030031},
        {"CreateMessage", 0x60030035},        {"RemoveContact", 0x60030036},
        {"SetImportID", 0x60030037},          {"CheckIfSynchronised", 0x60030038},
        {"ExcelQuote", 0x6003003b},           {"CreateContactAsvCard", 0x6003003c},
        {"CheckForOutlook", 0x6003003d},      {"CheckForWord", 0x6003003e},
        {"MakeCall", 0x60030045},             {"HangupCall", 0x60030046},
        {"GetDialerVersion", 0x60030047},     {"GetTapiDrivers", 0x60030052},
        {"GetUnsyncedAppts", 0x6003005a},     {"GetUnsyncedTasks", 0x6003005b},
        {"GetUnsyncedContacts", 0x6003005c},  {"SetItemAsLumora", 0x6003005e},
    };
    const auto& members = create(kControl).typeInfo().members();
    ASSERT_EQ(members.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(members[i].name, expected[i].first);
        EXPECT_EQ(members[i].id, expected[i].second) << expected[i].first;
    }
}

TEST_F(FreshControl, ServerNameCanBeSetButNotRead) {
    Object control = create(kControl);
    EXPECT_EQ(control.typeInfo().findAny("ServerName")->kind, MemberKind::PropertyPut);
    control.put("ServerName", "http://crm.example.com/lumora");
    try {
        control.get("ServerName");
        FAIL() << "reading ServerName must fail";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 438);
    }
}

TEST_F(FreshControl, NamedArgumentsFindTheirPlaceAndRequiredOnesMustBeGiven) {
    Object control = create(kControl);
    EXPECT_EQ(control.idOf("createmessage"), 0x60030035);
    // Named arguments in any order, any letter case.
    Variant pressed = control.call("CreateMessage", Named{"strTitle", "Offers"}, Named{"intbuttons", int16_t{4}},
                                   Named{"strMessage", "Send it?"});
    EXPECT_EQ(pressed.toI2(), 6);
    EXPECT_EQ(boxes().back().request.title, "Offers");
    // Only the first four of AddContact's seventeen parameters must be given.
    EXPECT_THROW(control.call("AddContact", "17", "Smith", "Permanent"), Error);
}

TEST_F(FreshControl, ArgumentsThatCannotTakeTheDeclaredTypeFailBeforeTheMemberRuns) {
    Object control = create(kControl);
    try {
        control.call("CreateMessage", "text", "not a number", "title");
        FAIL() << "a text for a 16-bit button code must fail";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 13);
    }
    try {
        control.call("CreateMessage", "text", 70000, "title");
        FAIL() << "a button code beyond 16 bits must fail";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 6);
    }
    EXPECT_TRUE(boxes().empty());
}

TEST_F(FreshControl, AllThreeDeliverablesReportTheirOwnVersions) {
    EXPECT_EQ(create(kControl).call("GetVersion").toString(), "5.8.7");
    EXPECT_EQ(create("LumoraGenTAPI30.Dialer").call("GetVersion").toString(), "1.0.1");
    EXPECT_EQ(create("LumoraMailContl.LumoraMailCtrl").call("GetVersion").toString(), "5.1.9");
}

}  // namespace
}  // namespace lumora
