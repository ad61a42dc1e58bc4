#pragma once
// A Desktop without a screen: message boxes and window clicks are answered from a script,
// and everything shown is written to a transcript. Serves the tests and the lumora CLI.

#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "desktop.hpp"
#include "system_services.hpp"

namespace lumora::desktop {

struct MessageBoxRecord {
    MessageBoxRequest request;
    int16_t answer = 0;
};

struct WindowRecord {
    WindowId id = 0;
    WindowSpec windowSpec;                    // as opened
    WindowSpec state;                   // as it looks now, every update applied
    std::vector<WindowUpdate> updates;  // in order
    std::vector<WindowEvent> events;    // delivered by pumpEvents, in order
    bool closed = false;
};

struct Transcript {
    std::vector<MessageBoxRecord> messageBoxes;
    std::vector<WindowRecord> windows;
    std::vector<ShowRequest> shown;
    std::vector<std::filesystem::path> opened;  // files handed to their associated program
    std::vector<std::string> links;             // links handed to their scheme's program
    std::vector<std::vector<int32_t>> keys;
};

// A click the script makes on a window's button, after the window has been pumped
// `afterPumps` times (0: at the first pump). A click belongs to the first window of that name
// open or opened after it was queued, and is dropped when that window closes. Like a person,
// the script cannot click a button that is hidden or disabled: the click waits until the
// button can be pressed. A click on a button the window does not have is dropped.
struct ScriptedClick {
    std::string window;  // the window's name ("frmProgress")
    std::string button;  // the button's name ("cmdCancel")
    int32_t afterPumps = 0;
};

class HeadlessDesktop : public Desktop {
public:
    explicit HeadlessDesktop(SystemConfig config = {});

    // Answers for the next message boxes, in order. A box without a scripted answer takes its
    // default button (OK, or the first of its set unless the code names another); a scripted
    // answer that is not one of the box's buttons is used up and the default taken instead.
    void queueAnswers(const std::vector<int16_t>& answers);
    void queueClick(ScriptedClick click);
    // When false, shellOpen checks the file and records it but starts no program (tests).
    void setLaunchPrograms(bool launch) { m_launchPrograms = launch; }
    // Where the calls placed on this desktop report; by default nowhere.
    void setCallStates(std::shared_ptr<CallStateSink> sink) { m_callStates = std::move(sink); }
    std::shared_ptr<CallStateSink> callStates() override { return m_callStates ? m_callStates : Desktop::callStates(); }

    const Transcript& transcript() const { return m_transcript; }
    Transcript takeTranscript();
    SystemServices& system() { return m_system; }

    void updateWindow(WindowId id, const WindowUpdate& update) override;
    void closeWindow(WindowId id) override;
    std::vector<WindowEvent> pumpEvents() override;
    int32_t shellOpen(const std::filesystem::path& file) override;
    int32_t openLink(const std::string& uri) override;
    void sendKeys(const std::vector<int32_t>& virtualKeys) override;
    Date now() override;
    std::string dateOrder() override;
    std::string currencySymbol() override;
    NumberConventions numberConventions() override;
    std::string tempFolder() override;
    std::string newGuid() override;

protected:
    int16_t showMessageBox(const MessageBoxRequest& request) override;
    WindowId showWindow(const WindowSpec& windowSpec) override;
    // No person sits at a headless desktop: when nothing scripted can arrive any more for the
    // window (no timer, no click that could still be delivered), the person closes it and the
    // loop gets a Closed event instead of waiting forever.
    std::vector<WindowEvent> waitForEvents(WindowId id) override;
    void showToUser(const ShowRequest& request) override;

private:
    bool launchesPrograms();
    template <class Open, class Item>
    int32_t openAndRecord(Open open, const Item& item, std::vector<Item>& record);
    struct PendingClick {
        ScriptedClick click;
        WindowId window = 0;  // 0 until a window of that name opens
    };
    struct OpenWindow {
        WindowSpec state;
        int32_t pumps = 0;  // pumps seen since the window opened
    };

    WindowRecord& recordOf(WindowId id, const OpenWindow& window);
    void bindClicks(WindowId id, const std::string& windowName);
    std::optional<WindowEvent> takeDueClick(WindowId id, const OpenWindow& window);
    bool canStillArrive(WindowId id, const OpenWindow& window) const;
    void forgetWindow(WindowId id);
    std::vector<WindowEvent> pumpLocked();

    mutable std::mutex m_mutex;  // the process-wide default desktop is shared by threads
    SystemServices m_system;
    std::deque<int16_t> m_answers;
    std::vector<PendingClick> m_clicks;
    std::map<WindowId, OpenWindow> m_open;
    Transcript m_transcript;
    std::shared_ptr<CallStateSink> m_callStates;
    WindowId m_nextWindow = 1;
    bool m_launchPrograms = false;
};

// The headless desktop every thread uses until a ScopedDesktop installs another; the CLI
// configures it (clock, answers) before running a script.
HeadlessDesktop& defaultDesktop();

}  // namespace lumora::desktop
