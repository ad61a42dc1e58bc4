#pragma once
// One call on one line, as each provider places it. Connect returns once the far end has
// accepted the call (it rings or answers) or raises why it did not; Disconnect ends it.

#include <filesystem>
#include <memory>
#include <string>

#include "line_list.hpp"

namespace lumora::telephony {

class LineCall {
public:
    virtual ~LineCall() = default;
    virtual void connect() = 0;
    // Ends a connected call; nothing happens for a call that is not connected.
    virtual void disconnect() = 0;
};

// The call to a checked number on the line's provider.
std::unique_ptr<LineCall> openCall(const Line& line, const std::string& number,
                                   const std::filesystem::path& dataFolder);

std::unique_ptr<LineCall> openLoopbackCall(const Line& line, const std::string& number,
                                           const std::filesystem::path& dataFolder);
std::unique_ptr<LineCall> openTelCall(const std::string& number);
std::unique_ptr<LineCall> openSipCall(const Line& line, const std::string& number);

// Where loopback lines record their calls, one line of text per event:
// "LINE<TAB>connect<TAB>NUMBER" and "LINE<TAB>disconnect<TAB>NUMBER".
std::filesystem::path loopbackRecord(const std::filesystem::path& dataFolder);

}  // namespace lumora::telephony
