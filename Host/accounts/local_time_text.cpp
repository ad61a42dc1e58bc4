#include "local_time_text.hpp"

#include <ctime>

namespace lumora::host {

std::string localTimeText(int64_t milliseconds) {
    const time_t seconds = static_cast<time_t>(milliseconds / 1000);
    tm local{};
    char text[32];
    if (!localtime_r(&seconds, &local) || !strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local)) return "?";
    return text;
}

}  // namespace lumora::host
