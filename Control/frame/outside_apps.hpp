#pragma once
// How the control reaches the applications it drives: always by ProgID through the class
// registry and late-bound calls, so a stand-in or a recording fake can take any one's place.

#include <string_view>

#include "Automation/class_ids.hpp"
#include "Automation/object.hpp"
#include "Platform/Files/text_stream_modes.hpp"
#include "Platform/Outlook/item_kinds.hpp"
#include "outlook_references.hpp"

namespace lumora::control {

// The item type CreateItem makes a new mail of, as the PIM declares it.
inline constexpr int32_t kMailItem = static_cast<int32_t>(pim::ItemType::Mail);

// The file system object's text stream modes and formats, as the file system object declares
// them (OpenTextFile's IOMode and Format, OpenAsTextStream's).
inline constexpr int32_t kForReading = static_cast<int32_t>(files::IoMode::Reading);
inline constexpr int32_t kForWriting = static_cast<int32_t>(files::IoMode::Writing);
inline constexpr int32_t kForAppending = static_cast<int32_t>(files::IoMode::Appending);
inline constexpr int32_t kAsciiFormat = static_cast<int32_t>(files::Tristate::False);
inline constexpr int32_t kDefaultFormat = static_cast<int32_t>(files::Tristate::UseDefault);

// The machine a second attempt at Outlook is made on: this machine by its IPv4 loopback
// address, which activates Outlook through the network path rather than the local one.
inline constexpr std::string_view kLoopbackMachine = "127.0.0.1";

// The three ways an Outlook member reaches Outlook.
enum class OutlookWay {
    Create,              // CreateObject: attaches to the running Outlook or starts it
    CreateWithFallback,  // as Create; when that fails, once more on the loopback address
    Attach,              // GetObject: only a running Outlook answers
};

// A new instance of an application (Word and Excel are never shared between calls).
Object createApplication(std::string_view progId);

// A new instance of the dialer a caller names. For a page only classes registered as dialers
// are created: any other class, whether it exists or not, is refused with the same 429 an
// unknown one gives, so a page neither reaches other classes this way nor learns which exist.
// The local user may name any class.
Object createDialer(std::string_view progIdOrClsid);

// Reaches Outlook the given way and keeps it in OutlookApp. Errors: 429 when Outlook cannot
// be reached.
void reachOutlook(OutlookReferences& outlook, OutlookWay way);
// MapiNamespace = OutlookApp.GetNamespace("MAPI").
void openMapiNamespace(OutlookReferences& outlook);
// Reaches Outlook the given way, opens the namespace and keeps the default folder of the type in
// DefaultFolder.
void openDefaultFolder(OutlookReferences& outlook, OutlookWay way, pim::FolderType type);

}  // namespace lumora::control
