// Modal windows on the headless desktop: scripted clicks and the timer arrive through the
// message pump the way a progress window reads them, and the transcript tells the story.

#include <gtest/gtest.h>

#include "Platform/Desktop/headless_desktop.hpp"

using namespace lumora::desktop;

namespace {

WindowSpec progressWindow(int32_t timerMs = 0) {
    WindowSpec windowSpec;
    windowSpec.name = "frmMergeProgress";
    windowSpec.caption = "Merge Progress";
    windowSpec.labels = {{"lblProgress1", "Mailmerge Progress"}, {"lblProgress2", ""}};
    windowSpec.buttons = {{"cmdCancel", "Cancel"}, {"cmdHide", "OK", true, false}};
    windowSpec.timerIntervalMs = timerMs;
    return windowSpec;
}

std::vector<std::string> describe(const std::vector<WindowEvent>& events) {
    std::vector<std::string> out;
    for (const WindowEvent& e : events)
        out.push_back(e.kind == WindowEventKind::Click ? "click " + e.control : e.kind == WindowEventKind::Timer ? "timer" : "closed");
    return out;
}

}  // namespace

TEST(WindowEvents, TimerFiresAtEachPumpUntilStoppedAndClickArrivesAfterItsPumps) {
    HeadlessDesktop desktop;
    desktop.queueClick({"frmMergeProgress", "cmdCancel", 2});
    const WindowId id = desktop.openWindow(progressWindow(1000));

    EXPECT_EQ(describe(desktop.pumpEvents()), std::vector<std::string>{"timer"});
    WindowUpdate stopTimer;
    stopTimer.timerIntervalMs = 0;
    desktop.updateWindow(id, stopTimer);
    EXPECT_TRUE(desktop.pumpEvents().empty());
    const std::vector<WindowEvent> third = desktop.pumpEvents();
    EXPECT_EQ(describe(third), std::vector<std::string>{"click cmdCancel"});
    EXPECT_EQ(third.at(0).window, id);
    EXPECT_TRUE(desktop.pumpEvents().empty());
}

TEST(WindowEvents, ClickOnHiddenOrDisabledButtonWaitsUntilItCanBePressed) {
    HeadlessDesktop desktop;
    const WindowId id = desktop.openWindow(progressWindow());
    desktop.queueClick({"FRMMERGEPROGRESS", "cmdHide", 0});
    EXPECT_TRUE(desktop.pumpEvents().empty());

    WindowUpdate showOk;
    showOk.buttons = {{"cmdHide", "OK", true, true}};
    desktop.updateWindow(id, showOk);
    EXPECT_EQ(describe(desktop.pumpEvents()), std::vector<std::string>{"click cmdHide"});
}

TEST(WindowEvents, WaitingRunsThePumpsToTheNextClickThenThePersonClosesTheWindow) {
    HeadlessDesktop desktop;
    const WindowId id = desktop.openWindow(progressWindow());
    desktop.queueClick({"frmMergeProgress", "cmdCancel", 5});
    desktop.queueClick({"frmMergeProgress", "cmdNoSuchButton", 0});
    EXPECT_EQ(describe(desktop.waitEvents(id)), std::vector<std::string>{"click cmdCancel"});
    const std::vector<WindowEvent> events = desktop.waitEvents(id);
    EXPECT_EQ(describe(events), std::vector<std::string>{"closed"});
    ASSERT_EQ(desktop.transcript().windows.size(), 1u);
    EXPECT_TRUE(desktop.transcript().windows[0].closed);
    EXPECT_EQ(describe(desktop.waitEvents(id)), std::vector<std::string>{"closed"});
}

TEST(WindowEvents, ClickBelongsToOneWindowAndIsDroppedWhenItCloses) {
    HeadlessDesktop desktop;
    desktop.queueClick({"frmMergeProgress", "cmdCancel", 3});
    const WindowId first = desktop.openWindow(progressWindow());
    desktop.closeWindow(first);
    const WindowId second = desktop.openWindow(progressWindow());
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(desktop.pumpEvents().empty());
    EXPECT_NE(first, second);
}

TEST(WindowTranscript, RecordsSpecUpdatesStateEventsAndClosing) {
    HeadlessDesktop desktop;
    desktop.queueClick({"frmMergeProgress", "cmdCancel", 0});
    const WindowId id = desktop.openWindow(progressWindow());
    WindowUpdate step;
    step.labels = {{"lblProgress2", "Loading XML Data"}, {"lblMergeError", "Error running campaign - x"}};
    step.buttons = {{"cmdCancel", "Cancelling...", false, true}};
    step.heightTwips = 3700;
    desktop.pumpEvents();
    desktop.updateWindow(id, step);
    desktop.closeWindow(id);
    desktop.updateWindow(id, step);  // after closing: no effect, no failure

    const WindowRecord& record = desktop.transcript().windows.at(0);
    EXPECT_EQ(record.windowSpec.labels.at(1).caption, "");
    EXPECT_EQ(record.updates.size(), 1u);
    EXPECT_EQ(record.state.labels.at(1).caption, "Loading XML Data");
    EXPECT_EQ(record.state.labels.at(2).name, "lblMergeError");
    EXPECT_EQ(record.state.buttons.at(0).caption, "Cancelling...");
    EXPECT_FALSE(record.state.buttons.at(0).enabled);
    EXPECT_EQ(record.state.heightTwips, 3700);
    EXPECT_EQ(describe(record.events), std::vector<std::string>{"click cmdCancel"});
    EXPECT_TRUE(record.closed);
}
