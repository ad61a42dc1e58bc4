// Items a page's call displays open in the page as item windows: the page edits the fields and
// its Save and Close act on the real item in the store. The page reaches the PIM through
// Lumora.PimAdmin, which lets it look, select and open, and nothing more.

#include <mutex>

#include "Automation/vb/convert.hpp"
#include "Host/stand_ins.hpp"
#include "bridge_fixture.hpp"

namespace lumora::tests {
namespace {

using nlohmann::json;

class ItemWindow : public BridgeTest {
protected:
    void SetUp() override {
        BridgeTest::SetUp();
        static std::once_flag standIns;
        std::call_once(standIns, host::registerStandIns);
        Registry::instance().forgetRunningInstances();  // a running Outlook of another test has its store
        Object appointment = outlook().getObject("CreateItem", 1);
        appointment.put("Subject", "Site visit");
        appointment.put("Start", Date{46364.4166666667});  // 2026-12-08 10:00
        appointment.call("Save");
        m_entryId = appointment.get("EntryID").toString();
    }
    void TearDown() override {
        BridgeTest::TearDown();
        Registry::instance().forgetRunningInstances();
    }
    Object outlook() { return Registry::instance().createObject("Outlook.Application"); }
    Object stored() { return outlook().getObject("GetNamespace", "MAPI").getObject("GetItemFromID", m_entryId); }

    std::string m_entryId;
};

json fieldNamed(const json& window, const std::string& name) {
    for (const json& field : window["fields"])
        if (field["name"] == name) return field;
    return json();
}

TEST_F(ItemWindow, ThePageListsFoldersAndItemsAndOpensAnItemItSavesAndCloses) {
    serve();
    BridgeClient page(port());
    int64_t admin = page.create("Lumora.PimAdmin");
    json calendar;
    const json folders = page.call(admin, "Folders")["result"];
    for (const json& folder : folders)
        if (folder[1] == "Calendar") calendar = folder;
    ASSERT_FALSE(calendar.is_null());
    EXPECT_EQ(calendar[3], 1);  // one item
    json items = page.call(admin, "Items", json::array({calendar[0]}))["result"];
    EXPECT_EQ(items, json::array({json::array({m_entryId, 26, "Site visit", "2026-12-08 10:00"})}));

    page.call(admin, "Display", json::array({m_entryId}));
    json window = page.awaitNotification("item.open")["params"];
    EXPECT_EQ(window["kind"], "appointment");
    EXPECT_EQ(window["title"], "Site visit");
    EXPECT_EQ(window["entryId"], m_entryId);
    EXPECT_EQ(fieldNamed(window, "Start"), json({{"name", "Start"}, {"kind", "date"}, {"value", "2026-12-08T10:00:00"},
                                                 {"readOnly", false}}));

    json saved = page.request("item.save", {{"item", window["item"]},
                                            {"fields", {{"Subject", "Site visit – moved"}, {"Start", "2026-12-09T09:30:00"}}}});
    EXPECT_EQ(saved["result"]["title"], "Site visit – moved");
    EXPECT_EQ(stored().get("Subject"), Variant("Site visit – moved"));
    EXPECT_EQ(vb::formatDate(stored().get("Start").toDate(), "yyyy-MM-dd HH:mm"), "2026-12-09 09:30");

    // A value that does not fit its field changes nothing, the other fields included.
    json refused = page.request("item.save", {{"item", window["item"]},
                                              {"fields", {{"Subject", "Not this"}, {"AllDayEvent", "perhaps"}}}});
    EXPECT_EQ(refused["error"]["data"]["number"], 13);
    EXPECT_EQ(stored().get("Subject"), Variant("Site visit – moved"));

    json notText = page.request("item.save", {{"item", window["item"]}, {"fields", {{"PercentComplete", 5}}}});
    EXPECT_EQ(notText["error"]["code"], -32602);  // field values are the window's texts

    page.request("item.close", {{"item", window["item"]}});
    json closed = page.request("item.save", {{"item", window["item"]}, {"fields", {{"Subject", "Late"}}}});
    EXPECT_EQ(closed["error"]["data"]["number"], 5);
}

TEST_F(ItemWindow, APageSelectsButCannotShareMailboxesInjectFaultsOrReachFiles) {
    serve();
    BridgeClient page(port());
    int64_t admin = page.create("Lumora.PimAdmin");
    page.call(admin, "Select", json::array({m_entryId}));
    EXPECT_EQ(outlook().getObject("ActiveExplorer").getObject("Selection").get("Count"), Variant(int32_t{1}));
    for (const auto& [member, args] : {std::pair{"AddMailbox", json::array({"Pat Lee"})},
                                       std::pair{"Share", json::array({"Pat Lee", 9, true})},
                                       std::pair{"FailNext", json::array({"GetItemFromID", 5})},
                                       std::pair{"Import", json::array({"C:\\contacts.vcf"})},
                                       std::pair{"Export", json::array({"contacts", "C:\\contacts.vcf"})}}) {
        json answer = page.request("call", {{"object", admin}, {"member", member}, {"args", args}});
        EXPECT_EQ(answer["error"]["data"]["number"], 70) << member;
    }
}

TEST_F(ItemWindow, AWindowOnASharedCalendarSavesNothingOnceTheShareIsWithdrawn) {
    Object admin = Registry::instance().createObject("Lumora.PimAdmin");  // the local user's
    admin.call("AddMailbox", "Pat Lee");
    admin.call("Share", "Pat Lee", 9, true);
    Object mapi = outlook().getObject("GetNamespace", "MAPI");
    Object patsCalendar = mapi.getObject("GetSharedDefaultFolder", mapi.getObject("CreateRecipient", "Pat Lee"), 9);
    Object meeting = patsCalendar.getObject("Items").getObject("Add");
    meeting.put("Subject", "Board meeting");
    meeting.call("Save");
    const std::string entryId = meeting.get("EntryID").toString();
    auto storedSubject = [&] { return mapi.getObject("GetItemFromID", entryId).get("Subject"); };

    serve();
    BridgeClient page(port());
    int64_t pageAdmin = page.create("Lumora.PimAdmin");
    page.call(pageAdmin, "Display", json::array({entryId}));
    json window = page.awaitNotification("item.open")["params"];
    page.request("item.save", {{"item", window["item"]}, {"fields", {{"Subject", "Board meeting, moved"}}}});
    EXPECT_EQ(storedSubject(), Variant("Board meeting, moved"));

    admin.call("Share", "Pat Lee", 9, false);
    constexpr int32_t kNotShared = static_cast<int32_t>(0x8004011D);
    json refused = page.request("item.save", {{"item", window["item"]}, {"fields", {{"Subject", "Cancelled"}}}});
    EXPECT_EQ(refused["error"]["data"]["number"], kNotShared);
    EXPECT_EQ(storedSubject(), Variant("Board meeting, moved"));
    for (const auto& [member, args] : {std::pair{"Display", json::array({entryId})},
                                       std::pair{"Items", json::array({patsCalendar.get("EntryID").toString()})}}) {
        json answer = page.request("call", {{"object", pageAdmin}, {"member", member}, {"args", args}});
        EXPECT_EQ(answer["error"]["data"]["number"], kNotShared) << member;
    }
}

}  // namespace
}  // namespace lumora::tests
