#pragma once
// The window class of the bridge tests and the browser tests: a modal window with a timer that
// waits for the page's clicks, a shown file, a slow call and a recorded message box, the way the
// controls use them. Built into the bridge tests as a built-in class, and as an in-process
// server library (tests/e2e) that the browser tests register with the lumora command line.

#include <atomic>

#include "Automation/registry.hpp"

namespace lumora::tests {

inline constexpr const char* kWindowsProgId = "LumoraBridgeTest.Windows";
inline constexpr const char* kWindowsClsid = "{B9A4C1E2-7D35-4F60-8E1B-2C9D4A6F3E57}";

// The answer the last AskRecorded call got, for checks after its page has gone.
extern std::atomic<int> lastRecordedAnswer;

Object makeWindows();
void registerWindowsClass();

}  // namespace lumora::tests
