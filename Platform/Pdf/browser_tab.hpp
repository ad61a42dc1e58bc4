#pragma once
// One tab of the warm browser, in a browsing context of its own (its own cache, cookies and
// storage), which prints one page and is closed with its context. A tab can be opened ahead
// of the page it will print: opening costs more than loading and printing a quote.

#include <filesystem>
#include <string>

#include "devtools_client.hpp"

namespace lumora::pdf {

class BrowserTab {
public:
    // A tab on about:blank whose every request will be answered here. Errors as DevToolsClient.
    static BrowserTab open(DevToolsClient& browser, Deadline deadline);

    // Loads the page from its folder (page_folder.hpp) and prints it on A4, or the page size
    // the page asks for. Errors: ConversionTimedOut, ConversionFailed.
    std::string print(DevToolsClient& browser, const std::filesystem::path& page, Deadline deadline);

    // Closes the tab with its context; a browser that does not answer is left to its owner.
    void close(DevToolsClient& browser, Deadline deadline) noexcept;

private:
    std::string m_context;
    std::string m_session;
};

}  // namespace lumora::pdf
