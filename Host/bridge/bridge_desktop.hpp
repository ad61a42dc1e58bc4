#pragma once
// The Desktop of a page's worker thread: message boxes are asked of the page and block only
// this worker until it answers; modal windows become open/update/close notifications whose
// button clicks come back and are handed out by pumpEvents; shown items and produced files
// become "show" notifications with a download link. A window update tells the page only what
// changed, so a control repainting its progress after every record of a long list does not
// flood the page with the same text. What the operating system answers
// (clock, locale, temporary folder, GUIDs, opening files) comes from SystemServices.

#include <chrono>
#include <map>

#include "page_link.hpp"
#include "Platform/Desktop/desktop.hpp"
#include "Platform/Desktop/system_services.hpp"

namespace lumora::bridge {

struct BridgeDesktopOptions {
    desktop::SystemConfig system;
    // When false, shellOpen checks and reports the file but starts no program (tests).
    bool launchPrograms = true;
};

class BridgeDesktop : public desktop::Desktop {
public:
    static constexpr size_t kMaxItemWindows = 32;

    BridgeDesktop(PageLink& page, BridgeDesktopOptions options);

    void updateWindow(desktop::WindowId id, const desktop::WindowUpdate& update) override;
    void closeWindow(desktop::WindowId id) override;
    std::vector<desktop::WindowEvent> pumpEvents() override;
    // The page's Save of an item window: the fields set and the item saved; answers the window
    // as it now stands. Error 5 for a window that is not open.
    nlohmann::json saveItemWindow(int64_t id, const nlohmann::json& fields);
    void closeItemWindow(int64_t id);
    int32_t shellOpen(const std::filesystem::path& file) override;
    int32_t openLink(const std::string& uri) override;
    void sendKeys(const std::vector<int32_t>& virtualKeys) override;
    Date now() override;
    std::string dateOrder() override;
    std::string currencySymbol() override;
    desktop::NumberConventions numberConventions() override;
    std::string tempFolder() override;
    std::string newGuid() override;
    std::shared_ptr<desktop::CallStateSink> callStates() override;

protected:
    int16_t showMessageBox(const desktop::MessageBoxRequest& request) override;
    desktop::WindowId showWindow(const desktop::WindowSpec& windowSpec) override;
    // Blocks only this page's worker until the page clicks, a timer falls due or the page goes.
    std::vector<desktop::WindowEvent> waitForEvents(desktop::WindowId id) override;
    void showToUser(const desktop::ShowRequest& request) override;
    // The item opens in the page as an item.open notification and stays open here, its item
    // alive, until the page closes it; a page holds at most kMaxItemWindows, the oldest closing
    // first.
    bool showItemWindow(std::shared_ptr<desktop::ItemWindow> window) override;

private:
    struct OpenWindow {
        std::chrono::milliseconds timerInterval{0};
        std::chrono::steady_clock::time_point timerDue;
        bool closedReported = false;
        desktop::WindowSpec shown;  // the window as the page was last told it
    };
    // What of the update the page does not show yet; nullopt when it shows all of it already.
    static std::optional<desktop::WindowUpdate> newToPage(desktop::WindowSpec& shown, const desktop::WindowUpdate& update);
    std::vector<desktop::WindowEvent> collectEvents(std::chrono::milliseconds wait);
    std::chrono::milliseconds untilNextTimer(std::chrono::milliseconds longest) const;
    void tellShown(const std::string& kind, const std::string& title, const std::string& detail,
                   const std::filesystem::path& file);

    std::map<int64_t, std::shared_ptr<desktop::ItemWindow>> m_itemWindows;
    int64_t m_nextItemWindow = 1;

    PageLink& m_page;
    desktop::SystemServices m_system;
    bool m_launchPrograms;
    std::map<desktop::WindowId, OpenWindow> m_windows;
    desktop::WindowId m_nextWindow = 1;
};

// The answer a message box takes when nobody can answer it (the page went away or answered
// nonsense): Cancel where the box has one, else No, else Abort, else its only button. Never
// Yes or Retry, which would go ahead with something the user did not agree to.
int16_t dismissAnswer(int32_t buttons);

}  // namespace lumora::bridge
