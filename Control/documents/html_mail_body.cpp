#include "html_mail_body.hpp"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <vector>

#include "Automation/class_ids.hpp"
#include "Automation/traps.hpp"
#include "Automation/vb/text.hpp"
#include "Platform/Desktop/desktop.hpp"
#include "Platform/Html/markup_attributes.hpp"
#include "Control/frame/outside_apps.hpp"
#include "Platform/Outlook/item_kinds.hpp"

namespace lumora::control {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kPictureFolderSuffix = "_files";

std::string wholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) raise(RuntimeError::FileNotFound);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The attributes that show a picture: an image's source, and a background (Word's pages give
// both, and VML's imagedata for shapes).
const html::WrittenAttribute* pictureLink(const html::WrittenElement& element) {
    if (element.name == "img" || element.name == "v:imagedata")
        if (const html::WrittenAttribute* source = element.attribute("src")) return source;
    return element.attribute("background");
}

// The file a link names inside the picture folder: "<name>_files/<file>", each segment
// percent-encoded; nullopt for a link that leads anywhere else. Symbolic links count as
// leading out, wherever they point.
std::optional<fs::path> pictureInFolder(std::string_view link, const fs::path& folder) {
    link = vb::asciiTrimmed(link);
    if (link.empty() || link.find_first_of(":\\?#") != std::string_view::npos || link.front() == '/') return std::nullopt;
    fs::path file = folder.parent_path();
    size_t segments = 0;
    for (size_t start = 0; start <= link.size(); ++segments) {
        size_t end = link.find('/', start);
        if (end == std::string_view::npos) end = link.size();
        const std::optional<std::string> segment = vb::percentDecoded(link.substr(start, end - start));
        if (!segment || segment->empty() || *segment == "." || *segment == ".." ||
            segment->find_first_of(std::string_view("/\\\0", 3)) != std::string::npos)
            return std::nullopt;
        if (segments == 0 && *segment != folder.filename().string()) return std::nullopt;
        file /= *segment;
        start = end + 1;
    }
    if (segments < 2) return std::nullopt;
    std::error_code error;
    for (fs::path step = file; step != folder.parent_path(); step = step.parent_path())
        if (fs::is_symlink(fs::symlink_status(step, error)) || error) return std::nullopt;
    if (!fs::is_regular_file(fs::symlink_status(file, error)) || error) return std::nullopt;
    return file;
}

// A content id no other message shares: the picture's name in the characters an id may hold,
// and a fresh GUID, as mail programs make them ("image001.png@01DA5F...").
std::string freshContentId(const fs::path& picture) {
    std::string name;
    for (char c : picture.filename().string())
        name += std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' ? c : '_';
    std::string guid;
    for (char c : desktop::current().newGuid())
        if (std::isxdigit(static_cast<unsigned char>(c))) guid += c;
    return name.substr(0, 64) + "@" + (guid.empty() ? std::string("lumora") : guid);
}

}  // namespace

std::string pictureFolderOf(const std::string& htmPath) {
    return fs::path(htmPath).replace_extension().string() + std::string(kPictureFolderSuffix);
}

void deletePictureFolder(const std::string& htmPath) {
    ResumeNext ignoring;
    ignoring([&] { createApplication(progid::FileSystem).call("DeleteFolder", pictureFolderOf(htmPath), true); });
}

void setHtmlMailBody(const Object& mailItem, const std::string& htmPath) {
    const std::string page = wholeFile(htmPath);
    std::vector<html::WrittenElement> elements;
    // A page past the markup limits goes into the body as it is, its pictures not attached.
    if (tryLocal([&] { elements = html::elementsWithAttributes(page); })) elements.clear();

    const fs::path folder = pictureFolderOf(htmPath);
    const Object attachments = mailItem.getObject("Attachments");
    std::map<fs::path, std::string> contentIds;
    std::vector<html::AttributeEdit> edits;
    for (const html::WrittenElement& element : elements) {
        const html::WrittenAttribute* link = pictureLink(element);
        if (!link || link->valueLength == 0) continue;
        const std::optional<fs::path> picture = pictureInFolder(link->value, folder);
        if (!picture) continue;
        auto known = contentIds.find(*picture);
        if (known == contentIds.end()) {
            const std::string contentId = freshContentId(*picture);
            // A picture that cannot be attached (too large, gone meanwhile) keeps its link.
            if (tryLocal([&] {
                    attachments.getObject("Add", picture->string())
                        .getObject("PropertyAccessor")
                        .call("SetProperty", std::string(pim::kAttachContentIdTag), contentId);
                }))
                continue;
            known = contentIds.emplace(*picture, contentId).first;
        }
        edits.push_back({link->valueOffset, link->valueLength, "cid:" + known->second});
    }
    mailItem.put("HTMLBody", html::withAttributeValues(page, std::move(edits)));
}

}  // namespace lumora::control
