// Files on the user's machine and the CRM's web server: opening a stored document, checking that
// one still exists, uploading a local file and listing the templates of a folder.

#include "Automation/vb/strings.hpp"
#include "control_messages.hpp"
#include "failure_forms.hpp"
#include "members.hpp"
#include "unbuilt_work.hpp"

namespace lumora::control {

Variant OpenFile(LumoraCtrl2005&, Params&) {
    // Runs with errors ignored and returns the reason the file could not be opened.
    return Variant(msg::OpenFileUnknownError);
}

Variant FindFile(LumoraCtrl2005&, Params& params) {
    std::string path = params.str(0);
    if (vb::right(path, 1) == "\\") path = vb::left(path, vb::len(path) - 1);
    const int32_t lastSeparator = vb::inStrRev(path, "\\");
    const std::string folder = vb::left(path, lastSeparator > 0 ? lastSeparator - 1 : 0);
    return trapped(
        [&]() -> Variant {
            Object files = createApplication(progid::FileSystem);
            workNotAvailable("FindFile");
        },
        [&](const Error&) {
            tell(std::string(msg::FolderNotFoundStart) + folder + std::string(msg::FolderNotFoundEnd),
                 Icon::Information, Title::own(std::string(msg::FolderNotFoundTitleStart) + folder + "'"));
            return falseResult();
        });
}

Variant UploadFile(LumoraCtrl2005&, Params&) {
    return trapped([]() -> Variant { workNotAvailable("UploadFile"); }, [](const Error&) { return falseResult(); });
}

Variant GetTemplateList(LumoraCtrl2005&, Params& params) {
    const std::string& folderPath = params.str(0);
    return trapped([]() -> Variant { workNotAvailable("GetTemplateList"); },
                   [&](const Error&) {
                       tell(std::string(msg::TemplateListFailedStart) + folderPath +
                            std::string(msg::TemplateListFailedEnd));
                       return Variant(msg::EmptyTemplateList);
                   });
}

}  // namespace lumora::control
