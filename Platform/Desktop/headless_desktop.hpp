#pragma once
// A Desktop without a screen: message boxes and window clicks are answered from a script,
// and everything shown is written to a transcript. Serves the tests and the lumora CLI.

#include <deque>
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
    WindowSpec spec;                    // as opened
    std::vector<WindowUpdate> updates;  // in order
    std::vector<WindowEvent> events;    // delivered by pumpEvents, in order
    bool closed = false;
};

struct Transcript {
    std::vector<MessageBoxRecord> messageBoxes;
    std::vector<WindowRecord> windows;
    std::vector<ShowRequest> shown;
    std::vector<std::filesystem::path> opened;  // files handed to their associated program
    std::vector<std::vector<int32_t>> keys;
};

// A click the script makes on a window's button, after the window has been pumped
// `afterPumps` times (0: at the first pump).
struct ScriptedClick {
    std::string window;  // the window's name ("frmProgress")
    std::string button;  // the button's name ("cmdCancel")
    int32_t afterPumps = 0;
};

class HeadlessDesktop : public Desktop {
public:
    explicit HeadlessDesktop(SystemConfig config = {});

    // Answers for the next message boxes, in order. A box without a scripted answer takes
    // OK, or the first button of its set.
    void queueAnswers(const std::vector<int16_t>& answers);
    void queueClick(ScriptedClick click);
    // When false, shellOpen checks the file and records it but starts no program (tests).
    void setLaunchPrograms(bool launch) { m_launchPrograms = launch; }

    const Transcript& transcript() const { return m_transcript; }
    Transcript takeTranscript();
    SystemServices& system() { return m_system; }

    int16_t messageBox(const MessageBoxRequest& request) override;
    WindowId openWindow(const WindowSpec& spec) override;
    void updateWindow(WindowId id, const WindowUpdate& update) override;
    void closeWindow(WindowId id) override;
    std::vector<WindowEvent> pumpEvents() override;
    void show(const ShowRequest& request) override;
    int32_t shellOpen(const std::filesystem::path& file) override;
    void sendKeys(const std::vector<int32_t>& virtualKeys) override;
    Date now() override;
    std::string dateOrder() override;
    std::string currencySymbol() override;
    std::string tempFolder() override;
    std::string newGuid() override;

private:
    SystemServices m_system;
    std::deque<int16_t> m_answers;
    std::vector<ScriptedClick> m_clicks;
    Transcript m_transcript;
    WindowId m_nextWindow = 1;
    bool m_launchPrograms = false;
};

}  // namespace lumora::desktop
