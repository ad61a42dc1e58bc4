#pragma once
// Desktop: everything a person sees or the operating system answers. Controls and stand-ins
// never talk to the screen or the system directly; they ask the Desktop of their thread.
// Implementations: HeadlessDesktop (scripted answers and a transcript, for tests and the CLI)
// and the bridge's, which round-trips to the page.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Automation/variant.hpp"
#include "call_states.hpp"

namespace lumora::desktop {

// How the user's locale writes numbers: the separators and the currency symbol a person types
// and reads. An empty decimal separator means the locale is not one the system knows.
struct NumberConventions {
    std::string decimalSeparator;
    std::string groupSeparator;
    std::string currencySymbol;

    bool known() const { return !decimalSeparator.empty(); }
    friend bool operator==(const NumberConventions&, const NumberConventions&) = default;
};

// Message-box button sets and icons (added together in one code), and the buttons' return codes.
namespace mb {
inline constexpr int32_t OkOnly = 0, OkCancel = 1, AbortRetryIgnore = 2, YesNoCancel = 3, YesNo = 4, RetryCancel = 5,
                         CancelTryContinue = 6;
inline constexpr int32_t Critical = 16, Question = 32, Exclamation = 48, Information = 64;
inline constexpr int32_t DefaultButton2 = 256, DefaultButton3 = 512;
inline constexpr int16_t IdOk = 1, IdCancel = 2, IdAbort = 3, IdRetry = 4, IdIgnore = 5, IdYes = 6, IdNo = 7,
                         IdTryAgain = 10, IdContinue = 11;
// The buttons a code shows, in order, as return codes. Icons and default-button bits do not
// change the set; an unknown set shows OK alone.
std::vector<int16_t> buttonsOf(int32_t code);
// The button that Enter presses: the first of the set, or the second or third when the code
// asks for it with DefaultButton2 or DefaultButton3 and the set has that many.
int16_t defaultButtonOf(int32_t code);
}  // namespace mb

// ShellExecute-style results of opening a file in its associated program.
namespace shell {
inline constexpr int32_t Ok = 42;  // anything >= 33 means success
inline constexpr int32_t FileNotFound = 2, PathNotFound = 3, AccessDenied = 5, SharingViolation = 26,
                         AssociationIncomplete = 27, NoAssociation = 31;
}  // namespace shell

struct MessageBoxRequest {
    std::string text;
    std::string title;
    int32_t buttons = 0;
};

// A modal window: labels and buttons by name, an optional timer.
struct WindowLabel {
    std::string name;  // "lblStatus"
    std::string caption;
    int32_t heightTwips = 0;  // 0: the implementation's own
    bool bordered = false;    // a single-line border
};
struct WindowButton {
    std::string name;  // "cmdCancel"
    std::string caption;
    bool enabled = true;
    bool visible = true;
};
struct WindowSpec {
    std::string name;     // "frmProgress"
    std::string caption;
    std::vector<WindowLabel> labels;
    std::vector<WindowButton> buttons;
    int32_t timerIntervalMs = 0;  // 0: no timer
    int32_t heightTwips = 0;      // 0: the implementation's own size
};
using WindowId = int32_t;

// A change to an open window: only the fields that are set change.
struct WindowUpdate {
    std::optional<std::string> caption;
    std::vector<WindowLabel> labels;    // captions (and looks) to set, by name
    std::vector<WindowButton> buttons;  // states to set, by name
    std::optional<int32_t> timerIntervalMs;  // 0 stops the timer, more (re)starts it
    std::optional<int32_t> heightTwips;
};

enum class WindowEventKind { Click, Timer, Closed };
struct WindowEvent {
    WindowId window = 0;
    WindowEventKind kind = WindowEventKind::Click;
    std::string control;  // the button's name for a click
};

// Something handed to the user: an item window, a document, a produced file.
struct ShowRequest {
    std::string kind;   // "mail", "appointment", "contact", "task", "document", "workbook", "file"
    std::string title;
    std::filesystem::path file;  // the file shown, when there is one
    std::string detail;          // free text for the transcript (recipients, subject...)
};

// One field of an item window: its name, its value as text and how the window edits it.
struct ItemField {
    std::string name;
    std::string kind;   // "text", "multiline", "date", "flag", "number" or "html" (shown rendered, never edited)
    std::string value;  // dates "yyyy-MM-ddTHH:mm:ss", flags "true" or "false"
    bool readOnly = false;
};

// An item open in a window of its own (an appointment, a contact, a draft mail), which its person
// edits, saves and closes. It lives on the thread that opened it, as the item does.
class ItemWindow {
public:
    virtual ~ItemWindow() = default;
    virtual std::string kind() const = 0;   // as ShowRequest's kind
    virtual std::string title() const = 0;
    virtual std::string entryId() const = 0;  // "" until first saved
    virtual std::vector<ItemField> fields() const = 0;
    // Sets the fields named to the values given and saves the item. A value that does not fit
    // its field raises an Error and changes nothing.
    virtual void save(const std::vector<std::pair<std::string, std::string>>& changes) = 0;
};

class Desktop {
public:
    virtual ~Desktop() = default;

    // The ways a person is waited for: each first lets the running top-level call settle what it
    // has written (top_level_call.hpp), so nothing is held open while someone reads a dialog.
    // Modal: returns the pressed button's code.
    int16_t messageBox(const MessageBoxRequest& request);
    WindowId openWindow(const WindowSpec& windowSpec);
    // The message loop of a modal window: waits until something arrives (a click, a due timer,
    // the window closed by the user) and returns the events of every window, as pumpEvents does.
    std::vector<WindowEvent> waitEvents(WindowId id);
    void show(const ShowRequest& request);
    // Shows an item in a window its person edits, where this desktop has such windows: true when
    // it took the item. False on desktops without them, which are shown the item as a file
    // instead (show()).
    bool openItemWindow(std::shared_ptr<ItemWindow> window);

    virtual void updateWindow(WindowId id, const WindowUpdate& update) = 0;
    virtual void closeWindow(WindowId id) = 0;
    // DoEvents: lets pending window messages through and returns the events that arrived
    // (clicks, a due timer, a window closed by the user).
    virtual std::vector<WindowEvent> pumpEvents() = 0;

    // Opens a file in its associated program; ShellExecute codes (>= 33 success).
    virtual int32_t shellOpen(const std::filesystem::path& file) = 0;
    // Hands a link ("tel:0123") to the program the desktop has for its scheme; ShellExecute
    // codes: NoAssociation when no program takes the scheme.
    virtual int32_t openLink(const std::string& uri) = 0;
    // Simulated key presses (virtual-key codes); recorded, no effect on this platform.
    virtual void sendKeys(const std::vector<int32_t>& virtualKeys) = 0;

    // What the operating system answers.
    virtual Date now() = 0;
    // Short-date order: "0" month-day-year, "1" day-month-year, "2" year-month-day; "" unknown.
    virtual std::string dateOrder() = 0;
    virtual std::string currencySymbol() = 0;
    // The separators and currency symbol of the same locale as currencySymbol.
    virtual NumberConventions numberConventions() = 0;
    // The temporary folder, ending in "/".
    virtual std::string tempFolder() = 0;
    // A new GUID in registry form: "{" 8-4-4-4-12 upper-case hex "}"; "" when none could be made.
    virtual std::string newGuid() = 0;
    // Where the calls placed on this desktop report how they go; the default drops the reports.
    virtual std::shared_ptr<CallStateSink> callStates();

protected:
    // What each desktop does for the ways a person is waited for, above.
    virtual int16_t showMessageBox(const MessageBoxRequest& request) = 0;
    virtual WindowId showWindow(const WindowSpec& windowSpec) = 0;
    // This default polls pumpEvents; a desktop that can block on its source overrides it.
    virtual std::vector<WindowEvent> waitForEvents(WindowId id);
    virtual void showToUser(const ShowRequest& request) = 0;
    // False here: the item is shown as a file.
    virtual bool showItemWindow(std::shared_ptr<ItemWindow> window);
};

// The Desktop of the calling thread: the one installed by a ScopedDesktop, else the process's
// headless default.
Desktop& current();

// Installs a Desktop for the calling thread for the scope's lifetime.
class ScopedDesktop {
public:
    explicit ScopedDesktop(Desktop& desktop);
    ~ScopedDesktop();
    ScopedDesktop(const ScopedDesktop&) = delete;
    ScopedDesktop& operator=(const ScopedDesktop&) = delete;

private:
    Desktop* m_previous;
};

}  // namespace lumora::desktop
