#include "line_call.hpp"

namespace lumora::telephony {

std::unique_ptr<LineCall> openCall(const Line& line, const std::string& number,
                                   const std::filesystem::path& dataFolder) {
    switch (line.kind) {
    case LineKind::Tel: return openTelCall(number);
    case LineKind::Sip: return openSipCall(line, number);
    case LineKind::Loopback: break;
    }
    return openLoopbackCall(line, number, dataFolder);
}

}  // namespace lumora::telephony
