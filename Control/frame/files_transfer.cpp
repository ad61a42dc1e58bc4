// Files on the user's machine and the CRM's web server: opening a stored document, checking that
// one still exists, uploading a local file and listing the templates of a folder.

#include <algorithm>
#include <cctype>
#include <string>

#include "Automation/vb/strings.hpp"
#include "Platform/Desktop/desktop.hpp"
#include "Control/frame/control_messages.hpp"
#include "failure_forms.hpp"
#include "files_operations.hpp"
#include "members.hpp"
#include "outside_apps.hpp"

namespace lumora::control {

namespace {

// Paths from the page use "\"; local paths as the Desktop gives them use "/". Either separates.
bool isSeparator(std::string_view character) { return character == "\\" || character == "/"; }

// The position of the last separator (1-based), 0 when there is none.
int32_t lastSeparator(std::string_view path) {
    return std::max(vb::inStrRev(path, "\\"), vb::inStrRev(path, "/"));
}

// A document in Word or a workbook in Excel, in a new instance left open for the user. When
// the file cannot be opened the reason is returned and the instance, which has nothing to
// show, is closed again.
Variant openInApplication(std::string_view progId, const char* collection, std::string_view cannotStart,
                          const std::string& filePath) {
    ResumeNext ignoring;
    const Object application = ignoring.value([&] { return createApplication(progId); }, Object());
    if (application.isNothing()) {
        tell(cannotStart, Icon::Exclamation, Title::lumora());
        return emptyText();
    }
    ignoring.clear();
    ignoring([&] { application.getObject(collection).call("open", filePath); });
    if (const auto failure = ignoring.pending()) {
        ignoring([&] { application.call("Quit"); });
        switch (static_cast<RuntimeError>(failure->number())) {
            case RuntimeError::FileNotFound: return Variant(shellOpenReason(desktop::shell::FileNotFound));
            case RuntimeError::PathNotFound: return Variant(shellOpenReason(desktop::shell::PathNotFound));
            case RuntimeError::PermissionDenied: return Variant(shellOpenReason(desktop::shell::AccessDenied));
            default: return Variant(msg::OpenFileUnknownError);
        }
    }
    ignoring([&] { application.put("Visible", true); });
    return emptyText();
}

void tellFileNotFound(const std::string& file, const std::string& folder) {
    tell(std::string(msg::FileNotFoundStart) + file + std::string(msg::FileNotFoundMiddle) + folder +
             std::string(msg::FileNotFoundEnd),
         Icon::Information, Title::own(std::string(msg::FileNotFoundTitleStart) + file + "'"));
}

// The "dot" and "dotx" templates of a local folder, each name followed by "\"; Word's lock
// files ("~$…") are left out.
std::string localTemplateList(const std::string& folderPath) {
    const Object folder = createApplication(progid::FileSystem).call("GetFolder", folderPath).toObject();
    std::string list;
    for (const Variant& item : folder.getObject("Files").elements()) {
        const std::string name = item.toObject().get("Name").toString();
        const std::vector<std::string> parts = vb::split(name, ".");
        // A name without "." has no extension, whatever the name itself reads.
        const std::string extension = parts.size() > 1 ? vb::lCase(parts.back()) : std::string();
        if ((extension == "dotx" || extension == "dot") && vb::left(name, 1) != "~") list += name + "\\";
    }
    return list;
}

bool isAddressListType(const std::string& listType) {
    const std::string type = vb::lCase(listType);
    return type == "business" || type == "home" || type == "shipping" || type == "billing";
}

// A file name as one segment of a web address: everything but the unreserved characters of
// RFC 3986 section 2.3 percent-encoded, so names with blanks, "#" or "%" arrive as written.
std::string addressSegment(std::string_view name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string segment;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '-' || c == '.' || c == '_' || c == '~') {
            segment += c;
        } else {
            segment += '%';
            segment += kHex[byte >> 4];
            segment += kHex[byte & 0x0F];
        }
    }
    return segment;
}

}  // namespace

Variant OpenFile(LumoraCtrl2005&, Params& params) {
    // Runs with errors ignored: every failure becomes the reason returned or the message shown.
    const std::string& filePath = params.str(0);
    if (!params.boolean(1)) return Variant(ShellOpenFile(filePath));
    const std::string extension = FileExtension(filePath);
    if (extension == "doc" || extension == "docx" || extension == "dot" || extension == "rtf")
        return openInApplication(progid::Word, "Documents", msg::CannotStartWord, filePath);
    if (extension == "xls" || extension == "xlt")
        return openInApplication(progid::Excel, "Workbooks", msg::CannotStartExcel, filePath);
    return Variant(ShellOpenFile(filePath));
}

Variant FindFile(LumoraCtrl2005&, Params& params) {
    std::string path = params.str(0);
    if (isSeparator(vb::right(path, 1))) path = vb::left(path, vb::len(path) - 1);
    const int32_t separator = lastSeparator(path);
    const std::string folder = vb::left(path, std::max(separator - 1, 0));
    const std::string file = vb::mid(path, separator + 1);

    Object folderObject;
    if (tryLocal([&] {
            folderObject = createApplication(progid::FileSystem).call("GetFolder", folder).toObject();
        })) {
        tell(std::string(msg::FolderNotFoundStart) + folder + std::string(msg::FolderNotFoundEnd),
             Icon::Information, Title::own(std::string(msg::FolderNotFoundTitleStart) + folder + "'"));
        return falseResult();
    }
    bool found = false;
    const auto listing = tryLocal([&] {
        for (const Variant& item : folderObject.getObject("Files").elements()) {
            // Exactly as written: a file in another letter case is another file.
            if (item.toObject().get("Name").toString() == file) {
                found = true;
                break;
            }
        }
    });
    if (listing || !found) tellFileNotFound(file, folder);
    return Variant(found && !listing);
}

Variant UploadFile(LumoraCtrl2005&, Params& params) {
    const std::string& filePath = params.str(0);
    const std::string& importDirectory = params.str(1);
    return trapped(
        [&] {
            const std::string content = ReadTextFile(filePath);
            if (content.empty()) return falseResult();
            const std::string name = vb::mid(filePath, lastSeparator(filePath) + 1);
            const std::string address =
                importDirectory + (vb::right(importDirectory, 1) == "/" ? "" : "/") + addressSegment(name);
            const Object request = createApplication(progid::HttpRequest);
            request.call("open", "PUT", address, false);
            request.call("send", content);
            // Only an answer of the 2xx class means the server took the file.
            const int32_t status = request.get("status").toI4();
            return Variant(status >= 200 && status <= 299);
        },
        [](const Error&) { return falseResult(); });
}

Variant GetTemplateList(LumoraCtrl2005&, Params& params) {
    std::string folderPath = params.str(0);
    const std::string& listType = params.str(1);
    return trapped(
        [&] {
            const bool webFolder = vb::lCase(vb::left(folderPath, 4)) == "http";
            if (vb::right(folderPath, 1) == "\\") folderPath = vb::left(folderPath, vb::len(folderPath) - 1);
            // Each list type other than the four address types has a subfolder of its own.
            if (!isAddressListType(listType)) folderPath += "\\" + listType;
            const std::string list = webFolder ? WebTemplateList(vb::replace(folderPath, "\\", "/"))
                                               : localTemplateList(folderPath);
            return Variant(list.empty() ? std::string(msg::EmptyTemplateList) : list);
        },
        [&](const Error&) {
            tell(std::string(msg::TemplateListFailedStart) + folderPath + std::string(msg::TemplateListFailedEnd));
            return Variant(msg::EmptyTemplateList);
        });
}

}  // namespace lumora::control
