// A call that asks the person something holds nothing of the store while the box waits: another
// process (lumora) writes the store at once, and what the call wrote before and after the box is
// kept, as one journal entry of the call. Without a box, the other process's write waits for
// the call's transaction and follows its commit, rather than failing as busy.

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <nlohmann/json.hpp>

#include "Automation/registry.hpp"
#include "Automation/top_level_call.hpp"
#include "Platform/Desktop/headless_desktop.hpp"
#include "Platform/Outlook/register.hpp"
#include "lumora_process.hpp"
#include "store_file.hpp"
#include "tests/Automation/temp_folder.hpp"

namespace lumora::tests {
namespace {

using nlohmann::json;
using std::chrono::milliseconds;

// The person reads the box for as long as `whileShown` runs.
class PersonAtTheBox : public desktop::HeadlessDesktop {
public:
    std::function<void()> whileShown;

protected:
    int16_t showMessageBox(const desktop::MessageBoxRequest& request) override {
        if (whileShown) whileShown();
        return HeadlessDesktop::showMessageBox(request);
    }
};

class PersonWaitsTest : public ::testing::Test {
protected:
    PersonWaitsTest() : m_scope(m_desktop) {
        static std::once_flag registered;
        std::call_once(registered, [] { pim::registerPimClasses(Registry::instance()); });
        Registry::instance().setDataFolder(data());
        Registry::instance().setFaults({});
        Registry::instance().forgetRunningInstances();
    }
    ~PersonWaitsTest() override { Registry::instance().forgetRunningInstances(); }

    std::filesystem::path data() const { return m_temp.path() / "data"; }

    void saveContact(const std::string& lastName) {
        Object contact = Registry::instance()
                             .createObject("Outlook.Application")
                             .getObject("CreateItem", 2);
        contact.put("LastName", lastName);
        contact.call("Save");
    }

    // Another process saving a contact of that name.
    std::unique_ptr<RunningLumora> otherProcessSaves(const std::string& lastName) {
        const json steps = {{{"create", "Outlook.Application"}, {"as", "ol"}},
                            {{"call", "ol"}, {"member", "CreateItem"}, {"args", {2}}, {"as", "contact"}},
                            {{"put", "contact"}, {"member", "LastName"}, {"value", lastName}},
                            {{"call", "contact"}, {"member", "Save"}}};
        return std::make_unique<RunningLumora>(
            std::vector<std::string>{"--data", data().string(), "--no-launch", "run", "--stream", "-"}, m_temp.path(),
            json{{"steps", steps}}.dump());
    }

    // The other process's save, once it has ended: its line, without an error.
    static void expectSaved(RunningLumora& other) {
        json save;
        while (auto line = other.nextLine()) save = json::parse(*line);
        EXPECT_EQ(save["step"], 3);
        EXPECT_TRUE(save["error"].is_null()) << save.dump() << other.err();
    }

    int64_t createdIn(const std::string& lastName) {
        StoreFile file(data());
        const std::vector<int64_t> items = file.itemsNamed(lastName);
        EXPECT_EQ(items.size(), 1u) << lastName;
        return items.empty() ? -1 : file.createdIn(items.front());
    }

    TempFolder m_temp;
    PersonAtTheBox m_desktop;
    desktop::ScopedDesktop m_scope;
};

TEST_F(PersonWaitsTest, AnotherProcessWritesWhileTheBoxWaitsAndTheCallKeepsBothOfItsParts) {
    saveContact("Earlier");  // the store and its mailbox exist before the call
    std::optional<int> otherExit;
    milliseconds otherTook{};
    m_desktop.whileShown = [&] {
        const auto began = std::chrono::steady_clock::now();
        auto other = otherProcessSaves("Other");
        // Well within the store's busy timeout of five seconds.
        otherExit = other->exitWithin(milliseconds(2500));
        otherTook = std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - began);
        if (otherExit) expectSaved(*other);
    };
    {
        const TopLevelCall call("save, ask, save");
        saveContact("Before");
        desktop::current().messageBox({"Save the next one too?", "CRM", 4});
        saveContact("After");
    }
    ASSERT_EQ(otherExit, 0) << "the other process was still waiting after " << otherTook.count() << " ms";
    const int64_t callEntry = createdIn("Before");
    EXPECT_EQ(createdIn("After"), callEntry);
    EXPECT_NE(createdIn("Other"), callEntry);
    EXPECT_EQ(StoreFile(data()).text("SELECT what FROM journal WHERE id = " + std::to_string(callEntry)),
              "save, ask, save");
}

TEST_F(PersonWaitsTest, WithoutABoxAnotherProcessWaitsForTheCallAndWritesAfterIt) {
    saveContact("Earlier");
    std::unique_ptr<RunningLumora> other;
    {
        const TopLevelCall call("save");
        saveContact("Held");
        other = otherProcessSaves("Waiting");
        // Its steps up to the save only read, and do not wait; the save waits.
        for (int step = 0; step < 3; ++step) ASSERT_TRUE(other->nextLine()) << other->err();
        EXPECT_EQ(other->exitWithin(milliseconds(300)), std::nullopt) << "it did not wait for the open call";
    }
    ASSERT_EQ(other->exitWithin(milliseconds(4000)), 0);
    expectSaved(*other);
    EXPECT_GT(createdIn("Waiting"), createdIn("Held"));
}

}  // namespace
}  // namespace lumora::tests
