#include "shown_document.hpp"

#include "Automation/error.hpp"
#include "Platform/Desktop/desktop.hpp"
#include "Platform/Desktop/new_document.hpp"

namespace lumora::word {

namespace fs = std::filesystem;

void showDocument(OpenDocument& document) noexcept {
    try {
        const auto show = [&](const std::string& title, const fs::path& file, const std::string& reason) {
            desktop::current().show(desktop::ShowRequest{"document", title, file, reason});
        };
        if (document.savedAsIs()) {
            show(document.name, document.file, {});
            return;
        }
        try {
            const fs::path file = desktop::keepInDocuments("Document", ".docx",
                                                           [&](const fs::path& scratch) { document.save(scratch); });
            show(file.filename().string(), file, {});
        } catch (const Error& e) {
            show(document.name, {}, e.description());
        } catch (const std::exception& e) {
            show(document.name, {}, Error::fromException(e).description());
        }
    } catch (...) {
        // The Desktop itself failed (a page gone away): there is no one left to show it to.
    }
}

}  // namespace lumora::word
