#include "desktop.hpp"

#include <chrono>
#include <thread>

#include "Automation/top_level_call.hpp"
#include "headless_desktop.hpp"

namespace lumora::desktop {

namespace mb {

std::vector<int16_t> buttonsOf(int32_t code) {
    // The low four bits choose the set; icons (16..64), default-button bits (256, 512) and
    // modality bits lie above them.
    switch (code & 0xF) {
    case OkCancel: return {IdOk, IdCancel};
    case AbortRetryIgnore: return {IdAbort, IdRetry, IdIgnore};
    case YesNoCancel: return {IdYes, IdNo, IdCancel};
    case YesNo: return {IdYes, IdNo};
    case RetryCancel: return {IdRetry, IdCancel};
    case CancelTryContinue: return {IdCancel, IdTryAgain, IdContinue};
    default: return {IdOk};
    }
}

int16_t defaultButtonOf(int32_t code) {
    const std::vector<int16_t> buttons = buttonsOf(code);
    const size_t index = static_cast<size_t>((code >> 8) & 0x3);
    return index < buttons.size() ? buttons[index] : buttons.front();
}

}  // namespace mb

int16_t Desktop::messageBox(const MessageBoxRequest& request) {
    TopLevelCall::beforePersonWaits();
    return showMessageBox(request);
}

WindowId Desktop::openWindow(const WindowSpec& windowSpec) {
    TopLevelCall::beforePersonWaits();
    return showWindow(windowSpec);
}

std::vector<WindowEvent> Desktop::waitEvents(WindowId id) {
    TopLevelCall::beforePersonWaits();
    return waitForEvents(id);
}

void Desktop::show(const ShowRequest& request) {
    TopLevelCall::beforePersonWaits();
    showToUser(request);
}

bool Desktop::openItemWindow(std::shared_ptr<ItemWindow> window) {
    TopLevelCall::beforePersonWaits();
    return showItemWindow(std::move(window));
}

std::vector<WindowEvent> Desktop::waitForEvents(WindowId) {
    // A person takes time to act; polling at a tenth of a second keeps the wait cheap while
    // a click still feels immediate.
    for (;;) {
        std::vector<WindowEvent> events = pumpEvents();
        if (!events.empty()) return events;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

bool Desktop::showItemWindow(std::shared_ptr<ItemWindow>) { return false; }

std::shared_ptr<CallStateSink> Desktop::callStates() {
    class Dropped : public CallStateSink {
    public:
        void report(const CallState&) override {}
    };
    static const std::shared_ptr<CallStateSink> dropped = std::make_shared<Dropped>();
    return dropped;
}

namespace {
thread_local Desktop* t_installed = nullptr;
}  // namespace

HeadlessDesktop& defaultDesktop() {
    static HeadlessDesktop desktop;
    return desktop;
}

Desktop& current() {
    return t_installed ? *t_installed : defaultDesktop();
}

ScopedDesktop::ScopedDesktop(Desktop& desktop) : m_previous(t_installed) {
    t_installed = &desktop;
}

ScopedDesktop::~ScopedDesktop() {
    t_installed = m_previous;
}

}  // namespace lumora::desktop
