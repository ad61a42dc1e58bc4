#include "headless_desktop.hpp"

#include <algorithm>
#include <strings.h>

namespace lumora::desktop {

namespace {

// Window and control names are compared as the forms' own language compares identifiers:
// without regard to letter case.
bool sameName(const std::string& a, const std::string& b) {
    return ::strcasecmp(a.c_str(), b.c_str()) == 0;
}

template <typename Control>
void setByName(std::vector<Control>& controls, const Control& change) {
    auto found = std::find_if(controls.begin(), controls.end(), [&](const Control& c) { return sameName(c.name, change.name); });
    if (found != controls.end())
        *found = change;
    else
        controls.push_back(change);
}

void apply(WindowSpec& state, const WindowUpdate& update) {
    if (update.caption) state.caption = *update.caption;
    for (const WindowLabel& label : update.labels) setByName(state.labels, label);
    for (const WindowButton& button : update.buttons) setByName(state.buttons, button);
    if (update.timerIntervalMs) state.timerIntervalMs = *update.timerIntervalMs;
    if (update.heightTwips) state.heightTwips = *update.heightTwips;
}

const WindowButton* findButton(const WindowSpec& state, const std::string& name) {
    auto found = std::find_if(state.buttons.begin(), state.buttons.end(), [&](const WindowButton& b) { return sameName(b.name, name); });
    return found == state.buttons.end() ? nullptr : &*found;
}

bool canPress(const WindowButton& button) {
    return button.enabled && button.visible;
}

}  // namespace

HeadlessDesktop::HeadlessDesktop(SystemConfig config) : m_system(std::move(config)) {}

void HeadlessDesktop::queueAnswers(const std::vector<int16_t>& answers) {
    std::lock_guard lock(m_mutex);
    m_answers.insert(m_answers.end(), answers.begin(), answers.end());
}

void HeadlessDesktop::queueClick(ScriptedClick click) {
    std::lock_guard lock(m_mutex);
    WindowId window = 0;
    for (const auto& [id, open] : m_open) {
        if (sameName(open.state.name, click.window)) {
            window = id;
            break;
        }
    }
    m_clicks.push_back({std::move(click), window});
}

Transcript HeadlessDesktop::takeTranscript() {
    std::lock_guard lock(m_mutex);
    Transcript taken = std::move(m_transcript);
    m_transcript = {};
    return taken;
}

int16_t HeadlessDesktop::showMessageBox(const MessageBoxRequest& request) {
    std::lock_guard lock(m_mutex);
    const std::vector<int16_t> buttons = mb::buttonsOf(request.buttons);
    int16_t answer = mb::defaultButtonOf(request.buttons);
    if (!m_answers.empty()) {
        const int16_t scripted = m_answers.front();
        m_answers.pop_front();
        if (std::find(buttons.begin(), buttons.end(), scripted) != buttons.end()) answer = scripted;
    }
    m_transcript.messageBoxes.push_back({request, answer});
    return answer;
}

WindowId HeadlessDesktop::showWindow(const WindowSpec& windowSpec) {
    std::lock_guard lock(m_mutex);
    const WindowId id = m_nextWindow++;
    m_open[id] = OpenWindow{windowSpec, 0};
    m_transcript.windows.push_back(WindowRecord{id, windowSpec, windowSpec, {}, {}, false});
    bindClicks(id, windowSpec.name);
    return id;
}

void HeadlessDesktop::updateWindow(WindowId id, const WindowUpdate& update) {
    std::lock_guard lock(m_mutex);
    auto open = m_open.find(id);
    if (open == m_open.end()) return;  // a window already closed: nothing left to change
    apply(open->second.state, update);
    WindowRecord& record = recordOf(id, open->second);
    record.updates.push_back(update);
    record.state = open->second.state;
}

void HeadlessDesktop::closeWindow(WindowId id) {
    std::lock_guard lock(m_mutex);
    auto open = m_open.find(id);
    if (open == m_open.end()) return;
    recordOf(id, open->second).closed = true;
    forgetWindow(id);
}

std::vector<WindowEvent> HeadlessDesktop::pumpEvents() {
    std::lock_guard lock(m_mutex);
    return pumpLocked();
}

std::vector<WindowEvent> HeadlessDesktop::waitForEvents(WindowId id) {
    std::lock_guard lock(m_mutex);
    for (;;) {
        auto open = m_open.find(id);
        if (open == m_open.end()) return {WindowEvent{id, WindowEventKind::Closed, {}}};
        std::vector<WindowEvent> events = pumpLocked();
        if (!events.empty()) return events;
        if (!canStillArrive(id, open->second)) {
            const WindowEvent closed{id, WindowEventKind::Closed, {}};
            WindowRecord& record = recordOf(id, open->second);
            record.events.push_back(closed);
            record.closed = true;
            forgetWindow(id);
            return {closed};
        }
    }
}

void HeadlessDesktop::showToUser(const ShowRequest& request) {
    std::lock_guard lock(m_mutex);
    m_transcript.shown.push_back(request);
}

bool HeadlessDesktop::launchesPrograms() {
    std::lock_guard lock(m_mutex);
    return m_launchPrograms;
}

// The checks and the desktop's MIME helpers take a moment, so they run outside the lock; what
// the system opened is recorded afterwards.
template <class Open, class Item>
int32_t HeadlessDesktop::openAndRecord(Open open, const Item& item, std::vector<Item>& record) {
    const int32_t code = open(item, launchesPrograms());
    if (code >= 33) {
        std::lock_guard lock(m_mutex);
        record.push_back(item);
    }
    return code;
}

int32_t HeadlessDesktop::shellOpen(const std::filesystem::path& file) {
    return openAndRecord([this](const auto& f, bool launch) { return m_system.shellOpen(f, launch); }, file,
                         m_transcript.opened);
}

int32_t HeadlessDesktop::openLink(const std::string& uri) {
    return openAndRecord([this](const auto& u, bool launch) { return m_system.openLink(u, launch); }, uri,
                         m_transcript.links);
}

void HeadlessDesktop::sendKeys(const std::vector<int32_t>& virtualKeys) {
    std::lock_guard lock(m_mutex);
    m_transcript.keys.push_back(virtualKeys);
}

Date HeadlessDesktop::now() { return m_system.now(); }
std::string HeadlessDesktop::dateOrder() { return m_system.dateOrder(); }
std::string HeadlessDesktop::currencySymbol() { return m_system.currencySymbol(); }
NumberConventions HeadlessDesktop::numberConventions() { return m_system.numberConventions(); }
std::string HeadlessDesktop::tempFolder() { return m_system.tempFolder(); }
std::string HeadlessDesktop::newGuid() { return m_system.newGuid(); }

// The transcript may have been taken while the window stayed open; its story then goes on
// in a new record that starts from the window as it looks now.
WindowRecord& HeadlessDesktop::recordOf(WindowId id, const OpenWindow& window) {
    auto& records = m_transcript.windows;
    auto found = std::find_if(records.rbegin(), records.rend(), [&](const WindowRecord& r) { return r.id == id; });
    if (found != records.rend()) return *found;
    records.push_back(WindowRecord{id, window.state, window.state, {}, {}, false});
    return records.back();
}

void HeadlessDesktop::bindClicks(WindowId id, const std::string& windowName) {
    for (PendingClick& pending : m_clicks) {
        if (pending.window == 0 && sameName(pending.click.window, windowName)) pending.window = id;
    }
}

std::optional<WindowEvent> HeadlessDesktop::takeDueClick(WindowId id, const OpenWindow& window) {
    for (auto it = m_clicks.begin(); it != m_clicks.end();) {
        if (it->window != id || it->click.afterPumps > window.pumps) {
            ++it;
            continue;
        }
        const WindowButton* button = findButton(window.state, it->click.button);
        if (!button) {
            it = m_clicks.erase(it);  // no such button on this window: nobody can click it
            continue;
        }
        if (!canPress(*button)) {
            ++it;  // held until the button can be pressed
            continue;
        }
        WindowEvent click{id, WindowEventKind::Click, button->name};
        m_clicks.erase(it);
        return click;
    }
    return std::nullopt;
}

bool HeadlessDesktop::canStillArrive(WindowId id, const OpenWindow& window) const {
    if (window.state.timerIntervalMs > 0) return true;
    return std::any_of(m_clicks.begin(), m_clicks.end(), [&](const PendingClick& pending) {
        if (pending.window != id) return false;
        if (pending.click.afterPumps > window.pumps) return true;
        const WindowButton* button = findButton(window.state, pending.click.button);
        return button && canPress(*button);
    });
}

void HeadlessDesktop::forgetWindow(WindowId id) {
    m_open.erase(id);
    std::erase_if(m_clicks, [id](const PendingClick& pending) { return pending.window == id; });
}

std::vector<WindowEvent> HeadlessDesktop::pumpLocked() {
    std::vector<WindowEvent> all;
    for (auto& [id, window] : m_open) {
        std::vector<WindowEvent> events;
        // Input comes before the timer, as on a desktop where a due timer is the lowest-priority message.
        if (std::optional<WindowEvent> click = takeDueClick(id, window)) events.push_back(std::move(*click));
        if (window.state.timerIntervalMs > 0) events.push_back(WindowEvent{id, WindowEventKind::Timer, {}});
        ++window.pumps;
        if (events.empty()) continue;
        std::vector<WindowEvent>& recorded = recordOf(id, window).events;
        recorded.insert(recorded.end(), events.begin(), events.end());
        all.insert(all.end(), events.begin(), events.end());
    }
    return all;
}

}  // namespace lumora::desktop
