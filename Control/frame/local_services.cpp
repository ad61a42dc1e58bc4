// Local system services: the control's version, the user's date order and currency symbol, a
// message box for page script, whether Outlook and Word are available, starting Excel, and the
// private services other members use (temporary folder, quiet delete, GUID text).

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

#include "Automation/deliverables.hpp"
#include "Automation/shared_texts.hpp"
#include "Automation/registry.hpp"
#include "Automation/vb/strings.hpp"
#include "Platform/Desktop/desktop.hpp"
#include "Control/frame/control_messages.hpp"
#include "failure_forms.hpp"
#include "members.hpp"
#include "outside_apps.hpp"
#include "private_operations.hpp"

namespace lumora::control {

namespace {

// The locale answers come as if from a fixed character buffer of `capacity` characters, the
// terminating code 0 included: an answer that does not fit leaves the buffer as it was.
std::string fillLocaleBuffer(std::string buffer, const std::string& answer, size_t capacity) {
    if (answer.size() + 1 <= capacity) buffer.replace(0, answer.size() + 1, answer + '\0');
    return buffer;
}

// The unique numbers a temporary file name may carry: four hexadecimal digits, never 0.
constexpr uint32_t kTempFileNumbers = 0xFFFF;

std::string tempFileName(const std::string& folder, const std::string& prefix, uint32_t number) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04X", number);
    return folder + prefix + digits + ".TMP";
}

// Creates the file only when no file of that name exists; false when one does.
bool createNewFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == EEXIST) return false;
        raise(RuntimeError::PathFileAccessError, path);
    }
    ::close(fd);
    return true;
}

}  // namespace

Variant GetVersion(LumoraCtrl2005&, Params&) {
    return trapped([] { return Variant(deliverables::versionText(deliverables::kDesktopControl.version)); },
                   [](const Error&) { return Variant(text::UnknownVersion); });
}

Variant dateFormatOrder(LumoraCtrl2005&, Params&) {
    return trapped(
        [] {
            // Room for one order digit and its terminator, as the short-date-order query gets.
            const std::string buffer = fillLocaleBuffer(std::string(3, '\0'), desktop::current().dateOrder(), 2);
            std::string order = StripAtNull(buffer);
            // A query that filled nothing leaves an empty text before the first code 0; the
            // day-month-year order is the answer for that as for a failure.
            if (order.empty()) order = msg::DayMonthYearOrder;
            return Variant(order);
        },
        [](const Error&) { return Variant(msg::DayMonthYearOrder); });
}

Variant currencyFormat(LumoraCtrl2005&, Params&) {
    // No error trap: a failure reaches the calling script.
    std::string symbol = desktop::current().currencySymbol();
    if (auto nul = symbol.find('\0'); nul != std::string::npos) symbol.resize(nul);
    return Variant(symbol);
}

Variant CreateMessage(LumoraCtrl2005&, Params& params) {
    // No error trap: a failure reaches the calling script.
    const int16_t buttons = params.i2(1);
    const std::string& title = params.str(2);
    const int16_t pressed = ask(params.str(0), buttons, title.empty() ? Title::standard() : Title::own(title));
    // An exclamation or information message with its OK button alone reports nothing.
    if (buttons == static_cast<int16_t>(Icon::Exclamation) || buttons == static_cast<int16_t>(Icon::Information))
        return Variant(int16_t{0});
    return Variant(pressed);
}

Variant CheckForOutlook(LumoraCtrl2005& control, Params&) {
    ControlState& state = control.state();
    ResumeNext ignoring;
    ignoring([&] { reachOutlook(state.outlook, OutlookWay::Attach); });
    const char* answer = ignoring.failed() ? "False" : "True";
    state.outlook.OutlookApp.release();
    return Variant(answer);
}

Variant CheckForWord(LumoraCtrl2005&, Params&) {
    ResumeNext ignoring;
    Object word = ignoring.value([] { return createApplication(progid::Word); }, Object());
    const char* answer = ignoring.failed() ? "False" : "True";
    // Only the reference goes: Word is not asked to quit.
    word.release();
    return Variant(answer);
}

Variant CreateExcelApp(LumoraCtrl2005& control, Params&) {
    ControlState& state = control.state();
    return trapped(
        [&] {
            state.excel.ExcelApp = createApplication(progid::Excel);
            return Variant(state.excel.ExcelApp);
        },
        [&](const Error&) {
            state.excel.ExcelApp.release();
            return nothing();
        });
}

std::string GetTempFolderPath() {
    // The folder is returned whole: a fixed-size buffer would cut a long path into one that
    // names some other folder.
    return trapped([] { return desktop::current().tempFolder(); }, [](const Error&) { return std::string(); });
}

std::string GetTempFileName(const std::string& folder, std::string_view prefix) {
    // An empty folder would put the file wherever this process happens to stand.
    if (folder.empty()) raise(RuntimeError::PathNotFound);
    const std::string start = vb::left(prefix, 3);
    if (start.find('/') != std::string::npos || start.find('\0') != std::string::npos)
        raise(RuntimeError::BadFileNameOrNumber, start);
    static thread_local std::mt19937 generator{std::random_device{}()};
    const uint32_t first = generator() % kTempFileNumbers;
    for (uint32_t step = 0; step < kTempFileNumbers; ++step) {
        const std::string path = tempFileName(folder, start, (first + step) % kTempFileNumbers + 1);
        if (createNewFile(path)) return path;
    }
    raise(RuntimeError::PathFileAccessError, folder);
}

void DeleteFileQuietly(std::string_view path) {
    ResumeNext ignoring;
    ignoring([&] {
        Object files = createApplication(progid::FileSystem);
        files.call("DeleteFile", std::string(path), false);
    });
}

void deleteFileForced(std::string_view path) {
    ResumeNext ignoring;
    ignoring([&] {
        const Object files = createApplication(progid::FileSystem);
        files.getObject("GetFile", std::string(path)).call("Delete", true);
    });
}

std::string CreateGuidString() {
    std::string guid = trapped([] { return desktop::current().newGuid(); }, [](const Error&) { return std::string(); });
    if (!guid.empty() && guid.front() == '{') guid = guid.substr(1, 36);
    return guid;
}

std::string StripAtNull(std::string_view text) {
    const auto nul = text.find('\0');
    if (nul == std::string_view::npos) return std::string(msg::DayMonthYearOrder);
    return std::string(text.substr(0, nul));
}

}  // namespace lumora::control
