#include "windows_class.hpp"

#include <chrono>
#include <thread>

#include "Platform/Desktop/desktop.hpp"

namespace lumora::tests {

std::atomic<int> lastRecordedAnswer{0};

namespace {

namespace dt = desktop;

class Windows : public Dispatch {
public:
    const TypeInfo& typeInfo() const override;
};

// Opens frmWait and waits: each timer tick updates lblStatus; cmdCancel is disabled and
// recaptioned like the merge window's; cmdHide ends the wait. Returns how it ended.
Variant modal(Windows&, Args& a) {
    auto& desktop = dt::current();
    dt::WindowId id = desktop.openWindow({"frmWait",
                                          "Waiting",
                                          {{"lblStatus", "Waiting"}},
                                          {{"cmdCancel", "Cancel"}, {"cmdHide", "OK"}},
                                          a.valueOr(0, int32_t{0}).toI4()});
    int ticks = 0;
    while (true) {
        for (const dt::WindowEvent& event : desktop.waitEvents(id)) {
            if (event.window != id) continue;
            if (event.kind == dt::WindowEventKind::Closed) return "closed after " + std::to_string(ticks) + " ticks";
            if (event.kind == dt::WindowEventKind::Timer) {
                desktop.updateWindow(id, {.labels = {{"lblStatus", "Tick " + std::to_string(++ticks)}}});
            } else if (event.control == "cmdCancel") {
                desktop.updateWindow(id, {.buttons = {{"cmdCancel", "Cancelling...", false, true}}});
            } else if (event.control == "cmdHide") {
                desktop.closeWindow(id);
                return ticks > 0 ? std::string("hidden after ticks") : std::string("hidden");
            }
        }
    }
}

// Opens frmBusy and works through `steps` steps without waiting: after each it repaints its
// percentage, as the merge window does after each record, and lets pending clicks in. cmdCancel
// stops it at the next step. Returns how far it got.
Variant busy(Windows&, Args& a) {
    auto& desktop = dt::current();
    const int32_t steps = a[0].toI4();
    dt::WindowId id = desktop.openWindow({"frmBusy", "Working", {{"lblStatus", ""}}, {{"cmdCancel", "Cancel"}}});
    for (int32_t step = 1; step <= steps; ++step) {
        desktop.updateWindow(id, {.labels = {{"lblStatus", "Working (" + std::to_string(step * 100 / steps) + "%)"}}});
        for (const dt::WindowEvent& event : desktop.pumpEvents()) {
            if (event.window == id && event.control == "cmdCancel") {
                desktop.closeWindow(id);
                return "cancelled at step " + std::to_string(step);
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    desktop.closeWindow(id);
    return "done";
}

const TypeInfo& Windows::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("Windows");
        t.method<Windows>("Modal", 0x60030001, {"timerMs"}, 0, modal);
        t.method<Windows>("ShowFile", 0x60030002, {"path", "kind"}, 1, [](Windows&, Args& a) {
            dt::current().show({a.valueOr(1, "document").toString(), "Letter", a[0].toString(), "to Anne"});
            return Variant();
        });
        t.method<Windows>("Sleep", 0x60030003, {"ms"}, 1, [](Windows&, Args& a) {
            std::this_thread::sleep_for(std::chrono::milliseconds(a[0].toI4()));
            return Variant(a[0].toI4());
        });
        t.method<Windows>("AskRecorded", 0x60030004, {"intButtons"}, 1, [](Windows&, Args& a) {
            int16_t answer = dt::current().messageBox({"Carry on?", "Lumora", a[0].toI4()});
            lastRecordedAnswer = answer;
            return Variant(answer);
        });
        t.method<Windows>("OpenFile", 0x60030005, {"path"}, 1,
                          [](Windows&, Args& a) { return Variant(dt::current().shellOpen(a[0].toString())); });
        t.method<Windows>("Busy", 0x60030006, {"steps"}, 1, busy);
        return t;
    }();
    return info;
}

}  // namespace

Object makeWindows() { return makeObject<Windows>(); }

void registerWindowsClass() {
    Registry::instance().registerBuiltin(ClassInfo{kWindowsProgId, kWindowsClsid, {}, makeWindows, false});
}

}  // namespace lumora::tests
