#include "bridge_desktop.hpp"

#include <algorithm>

#include "Automation/error.hpp"
#include "Host/window_json.hpp"

namespace lumora::bridge {

using nlohmann::json;
namespace mb = desktop::mb;
using host::buttonsJson;
using host::labelsJson;
using host::wellFormedText;

int16_t dismissAnswer(int32_t buttons) {
    std::vector<int16_t> set = mb::buttonsOf(buttons);
    for (int16_t preferred : {mb::IdCancel, mb::IdNo, mb::IdAbort})
        if (std::find(set.begin(), set.end(), preferred) != set.end()) return preferred;
    return set.empty() ? mb::IdOk : set.front();
}

BridgeDesktop::BridgeDesktop(PageLink& page, BridgeDesktopOptions options)
    : m_page(page), m_system(std::move(options.system)), m_launchPrograms(options.launchPrograms) {}

int16_t BridgeDesktop::showMessageBox(const desktop::MessageBoxRequest& request) {
    if (m_page.closed()) return dismissAnswer(request.buttons);
    auto answer = m_page.ask("messageBox", {{"text", request.text}, {"title", request.title},
                                            {"buttons", request.buttons}});
    if (!answer || !answer->is_object()) return dismissAnswer(request.buttons);
    auto button = answer->find("button");
    if (button == answer->end() || !button->is_number_integer()) return dismissAnswer(request.buttons);
    // Only a button the box actually shows is an answer.
    std::vector<int16_t> set = mb::buttonsOf(request.buttons);
    int64_t pressed = button->get<int64_t>();
    auto it = std::find(set.begin(), set.end(), pressed);
    return it == set.end() ? dismissAnswer(request.buttons) : *it;
}

desktop::WindowId BridgeDesktop::showWindow(const desktop::WindowSpec& windowSpec) {
    desktop::WindowId id = m_nextWindow++;
    OpenWindow window;
    window.shown = windowSpec;
    window.timerInterval = std::chrono::milliseconds(std::max(0, windowSpec.timerIntervalMs));
    window.timerDue = std::chrono::steady_clock::now() + window.timerInterval;
    m_windows.emplace(id, window);
    json params{{"window", id},
                {"name", windowSpec.name},
                {"caption", wellFormedText(windowSpec.caption)},
                {"labels", labelsJson(windowSpec.labels)},
                {"buttons", buttonsJson(windowSpec.buttons)},
                {"timer", windowSpec.timerIntervalMs}};
    if (windowSpec.heightTwips > 0) params["heightTwips"] = windowSpec.heightTwips;
    m_page.tell("window.open", std::move(params));
    return id;
}

std::optional<desktop::WindowUpdate> BridgeDesktop::newToPage(desktop::WindowSpec& shown,
                                                               const desktop::WindowUpdate& update) {
    desktop::WindowUpdate news;
    bool changed = false;
    if (update.caption && *update.caption != shown.caption) {
        shown.caption = *update.caption;
        news.caption = update.caption;
        changed = true;
    }
    for (const desktop::WindowLabel& label : update.labels) {
        auto mine = std::find_if(shown.labels.begin(), shown.labels.end(),
                                 [&](const desktop::WindowLabel& known) { return known.name == label.name; });
        const bool same = mine != shown.labels.end() && mine->caption == label.caption &&
                          mine->heightTwips == label.heightTwips && mine->bordered == label.bordered;
        if (same) continue;
        if (mine == shown.labels.end()) shown.labels.push_back(label);
        else *mine = label;
        news.labels.push_back(label);
        changed = true;
    }
    for (const desktop::WindowButton& button : update.buttons) {
        auto mine = std::find_if(shown.buttons.begin(), shown.buttons.end(),
                                 [&](const desktop::WindowButton& known) { return known.name == button.name; });
        const bool same = mine != shown.buttons.end() && mine->caption == button.caption &&
                          mine->enabled == button.enabled && mine->visible == button.visible;
        if (same) continue;
        if (mine == shown.buttons.end()) shown.buttons.push_back(button);
        else *mine = button;
        news.buttons.push_back(button);
        changed = true;
    }
    if (update.heightTwips && *update.heightTwips != shown.heightTwips) {
        shown.heightTwips = *update.heightTwips;
        news.heightTwips = update.heightTwips;
        changed = true;
    }
    // A timer set again restarts it, so it is always news, even at the same interval.
    if (update.timerIntervalMs) {
        shown.timerIntervalMs = *update.timerIntervalMs;
        news.timerIntervalMs = update.timerIntervalMs;
        changed = true;
    }
    if (!changed) return std::nullopt;
    return news;
}

void BridgeDesktop::updateWindow(desktop::WindowId id, const desktop::WindowUpdate& update) {
    auto window = m_windows.find(id);
    if (window == m_windows.end()) return;
    if (update.timerIntervalMs) {
        window->second.timerInterval = std::chrono::milliseconds(std::max(0, *update.timerIntervalMs));
        window->second.timerDue = std::chrono::steady_clock::now() + window->second.timerInterval;
    }
    const std::optional<desktop::WindowUpdate> news = newToPage(window->second.shown, update);
    if (!news) return;
    json params{{"window", id}, {"labels", labelsJson(news->labels)}, {"buttons", buttonsJson(news->buttons)}};
    if (news->caption) params["caption"] = wellFormedText(*news->caption);
    if (news->heightTwips) params["heightTwips"] = *news->heightTwips;
    if (news->timerIntervalMs) params["timer"] = *news->timerIntervalMs;
    m_page.tell("window.update", std::move(params));
}

std::shared_ptr<desktop::CallStateSink> BridgeDesktop::callStates() {
    if (auto sink = m_page.callStates()) return sink;
    return Desktop::callStates();
}

void BridgeDesktop::closeWindow(desktop::WindowId id) {
    if (m_windows.erase(id) == 0) return;
    m_page.tell("window.close", {{"window", id}});
}

std::chrono::milliseconds BridgeDesktop::untilNextTimer(std::chrono::milliseconds longest) const {
    auto wait = longest;
    auto now = std::chrono::steady_clock::now();
    for (const auto& [id, window] : m_windows) {
        if (window.timerInterval.count() == 0 || window.closedReported) continue;
        auto untilDue = std::chrono::duration_cast<std::chrono::milliseconds>(window.timerDue - now);
        wait = std::clamp(untilDue, std::chrono::milliseconds(0), wait);
    }
    return wait;
}

std::vector<desktop::WindowEvent> BridgeDesktop::collectEvents(std::chrono::milliseconds wait) {
    std::vector<desktop::WindowEvent> events;
    for (desktop::WindowEvent& event : m_page.takeEvents(wait)) {
        auto window = m_windows.find(event.window);
        if (window == m_windows.end() || window->second.closedReported) continue;
        if (event.kind == desktop::WindowEventKind::Closed) window->second.closedReported = true;
        events.push_back(std::move(event));
    }
    // The page is gone: every window still open is closed, so a modal loop waiting for a
    // click ends instead of waiting for ever.
    if (m_page.closed()) {
        for (auto& [id, window] : m_windows) {
            if (window.closedReported) continue;
            window.closedReported = true;
            events.push_back({id, desktop::WindowEventKind::Closed, {}});
        }
    }
    auto now = std::chrono::steady_clock::now();
    for (auto& [id, window] : m_windows) {
        if (window.timerInterval.count() == 0 || window.closedReported || now < window.timerDue) continue;
        events.push_back({id, desktop::WindowEventKind::Timer, {}});
        window.timerDue = now + window.timerInterval;
    }
    return events;
}

std::vector<desktop::WindowEvent> BridgeDesktop::pumpEvents() { return collectEvents(std::chrono::milliseconds(0)); }

std::vector<desktop::WindowEvent> BridgeDesktop::waitForEvents(desktop::WindowId id) {
    while (true) {
        // A window that is not open (never opened, or closed and reported) has nothing more
        // to wait for.
        auto window = m_windows.find(id);
        if (window == m_windows.end() || window->second.closedReported)
            return {{id, desktop::WindowEventKind::Closed, {}}};
        // Waits in slices of at most a second so a timer started meanwhile is not missed.
        auto events = collectEvents(untilNextTimer(std::chrono::milliseconds(1000)));
        if (!events.empty()) return events;
    }
}

void BridgeDesktop::tellShown(const std::string& kind, const std::string& title, const std::string& detail,
                              const std::filesystem::path& file) {
    json params{{"kind", kind}, {"title", title}, {"detail", detail}};
    if (!file.empty()) {
        params["file"] = file.filename().string();
        std::error_code error;
        if (std::filesystem::is_regular_file(file, error)) {
            std::string link = m_page.publishFile(file);
            if (!link.empty()) params["link"] = link;
        }
    }
    m_page.tell("show", std::move(params));
}

void BridgeDesktop::showToUser(const desktop::ShowRequest& request) {
    // A produced file (a workbook, a document) opens in the user's own program on this desktop,
    // where launching is allowed; the page is told either way and offers it for download.
    if (m_launchPrograms && !request.file.empty()) m_system.shellOpen(request.file, true);
    tellShown(request.kind, request.title, request.detail, request.file);
}

namespace {

json itemWindowJson(int64_t id, const desktop::ItemWindow& window) {
    json fields = json::array();
    for (const desktop::ItemField& field : window.fields())
        fields.push_back({{"name", field.name}, {"kind", field.kind}, {"value", field.value}, {"readOnly", field.readOnly}});
    return {{"item", id}, {"kind", window.kind()}, {"title", window.title()}, {"entryId", window.entryId()},
            {"fields", std::move(fields)}};
}

}  // namespace

bool BridgeDesktop::showItemWindow(std::shared_ptr<desktop::ItemWindow> window) {
    if (m_page.closed()) return true;  // nobody to show it to; the item stays as it is
    if (m_itemWindows.size() >= kMaxItemWindows) {
        const int64_t oldest = m_itemWindows.begin()->first;
        m_itemWindows.erase(m_itemWindows.begin());
        m_page.tell("item.close", {{"item", oldest}});
    }
    const int64_t id = m_nextItemWindow++;
    m_page.tell("item.open", itemWindowJson(id, *window));
    m_itemWindows.emplace(id, std::move(window));
    return true;
}

json BridgeDesktop::saveItemWindow(int64_t id, const json& fields) {
    auto window = m_itemWindows.find(id);
    if (window == m_itemWindows.end()) raise(RuntimeError::InvalidProcedureCall, "no item window " + std::to_string(id));
    std::vector<std::pair<std::string, std::string>> changes;
    for (const auto& [name, value] : fields.items()) changes.emplace_back(name, value.get<std::string>());
    window->second->save(changes);
    return itemWindowJson(id, *window->second);
}

void BridgeDesktop::closeItemWindow(int64_t id) { m_itemWindows.erase(id); }

int32_t BridgeDesktop::shellOpen(const std::filesystem::path& file) {
    int32_t code = m_system.shellOpen(file, m_launchPrograms);
    // The page is told as well: the user may be looking at the page, not the desktop, and a
    // link lets them open the file from there.
    if (code >= 33) tellShown("file", file.filename().string(), {}, file);
    return code;
}

int32_t BridgeDesktop::openLink(const std::string& uri) {
    const int32_t code = m_system.openLink(uri, m_launchPrograms);
    // The page sees the link too, so a user whose phone program is elsewhere can follow it.
    if (code >= 33) tellShown("link", uri, {}, {});
    return code;
}

void BridgeDesktop::sendKeys(const std::vector<int32_t>&) {
    // Simulated key presses have no effect on this platform; a page cannot type into the
    // user's desktop through the bridge.
}

Date BridgeDesktop::now() { return m_system.now(); }
std::string BridgeDesktop::dateOrder() { return m_system.dateOrder(); }
std::string BridgeDesktop::currencySymbol() { return m_system.currencySymbol(); }
desktop::NumberConventions BridgeDesktop::numberConventions() { return m_system.numberConventions(); }
std::string BridgeDesktop::tempFolder() { return m_system.tempFolder(); }
std::string BridgeDesktop::newGuid() { return m_system.newGuid(); }

}  // namespace lumora::bridge
