#pragma once
// Web pages printed to PDF by headless Chromium, kept warm: one browser per process, started by
// the first conversion, kept for those that follow (each in a fresh browsing context and tab,
// so nothing of one page is cached for the next), started anew when it has died, and ended with
// everything it started when the process ends. It is spoken to over its debugging pipe.
//
// The page reads only itself and the files beside it (page_folder.hpp): every request the
// browser makes is answered or refused by this process. Where the machine allows, the browser
// runs in the sandbox besides, with no network and no file but its own work folder.

#include <chrono>
#include <filesystem>
#include <string>

namespace lumora::pdf {

// How long starting the browser may take, apart from the conversion that needs it.
inline constexpr std::chrono::seconds kBrowserStartLimit{30};

// Whether Chromium is installed ("chromium" on PATH).
bool browserInstalled();

// The PDF bytes of the page. Errors: ConversionTimedOut when the browser overran timeLimit (it
// is then ended, and the next conversion starts another), ConversionFailed when it could not
// start, ended, or printed nothing; 18 when the waiting call was cancelled.
std::string printWithBrowser(const std::filesystem::path& page, std::chrono::milliseconds timeLimit);

// Ends the warm browser with all it started; the next conversion starts another (with the
// programs PATH then finds).
void endBrowser();

// How many times this process has started the browser.
int browserStarts();

}  // namespace lumora::pdf
