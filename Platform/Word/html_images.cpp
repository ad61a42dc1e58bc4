#include "html_images.hpp"

#include <libxml/tree.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "html_escape.hpp"
#include "wordml.hpp"

namespace lumora::word {

namespace {

constexpr const char* kDrawing = "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing";
constexpr const char* kDrawingMain = "http://schemas.openxmlformats.org/drawingml/2006/main";
constexpr const char* kVml = "urn:schemas-microsoft-com:vml";
constexpr const char* kOffice = "urn:schemas-microsoft-com:office:office";
constexpr double kEmuPerPixel = 9525;  // 914400 per inch, 96 pixels per inch
constexpr long kMaxPixels = 20000;

const xmlNode* childIn(const xmlNode* parent, const char* ns, std::string_view local) {
    for (const xmlNode* child = parent ? parent->children : nullptr; child; child = child->next)
        if (ml::isIn(child, ns, local)) return child;
    return nullptr;
}

// The first element of that name under `element`, depth first.
const xmlNode* descendantIn(const xmlNode* element, const char* ns, std::string_view local) {
    for (const xmlNode* child = element ? element->children : nullptr; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE) continue;
        if (ml::isIn(child, ns, local)) return child;
        if (const xmlNode* found = descendantIn(child, ns, local)) return found;
    }
    return nullptr;
}

long pixels(double value) { return std::clamp(std::lround(value), 0L, kMaxPixels); }

long emuPixels(const std::string& text) {
    long long emu = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), emu);
    if (error != std::errc() || emu <= 0) return 0;
    return pixels(static_cast<double>(emu) / kEmuPerPixel);
}

// A length of a VML style ("width:120pt", "1.5in", "80px") in pixels; 0 when unreadable.
long vmlPixels(const std::string& style, std::string_view property) {
    size_t at = 0;
    while ((at = style.find(property, at)) != std::string::npos) {
        const bool starts = at == 0 || style[at - 1] == ';' || style[at - 1] == ' ';
        const size_t colon = at + property.size();
        if (starts && colon < style.size() && style[colon] == ':') {
            double value = 0;
            int used = 0;
            char unit[3] = {};
            if (std::sscanf(style.c_str() + colon + 1, "%lf%n%2[a-z]", &value, &used, unit) >= 1 && value > 0) {
                const std::string_view u(unit);
                const double perUnit = u == "in" ? 96 : u == "cm" ? 96 / 2.54 : u == "mm" ? 96 / 25.4 : u == "px" ? 1 : 96.0 / 72;
                return pixels(value * perUnit);
            }
            return 0;
        }
        at = colon;
    }
    return 0;
}

// The extension of a picture browsers show, known by its first bytes; empty for others.
std::string rasterExtension(std::string_view bytes) {
    if (bytes.substr(0, 8) == std::string_view("\x89PNG\r\n\x1a\n", 8)) return "png";
    if (bytes.substr(0, 3) == "\xFF\xD8\xFF") return "jpg";
    if (bytes.substr(0, 6) == "GIF87a" || bytes.substr(0, 6) == "GIF89a") return "gif";
    return {};
}

}  // namespace

PageImages::PageImages(const Package& package, std::string folder) : m_package(package), m_folder(std::move(folder)) {}

std::string PageImages::pictureHtml(const XmlNode* element, const PartRelationships& relationships) {
    Picture picture;
    if (ml::is(element, "drawing")) {
        const xmlNode* frame = childIn(element, kDrawing, "inline");
        if (!frame) frame = childIn(element, kDrawing, "anchor");
        if (!frame) return {};
        const xmlNode* docPr = childIn(frame, kDrawing, "docPr");
        picture.description = ml::attrIn(docPr, nullptr, "descr");
        const xmlNode* blip = descendantIn(frame, kDrawingMain, "blip");
        if (!blip) return {};  // a shape or a text box: its text is written with the text boxes
        picture.relationshipId = ml::attrIn(blip, ml::kRelationships, "embed");
        const xmlNode* extent = childIn(frame, kDrawing, "extent");
        picture.widthPixels = emuPixels(ml::attrIn(extent, nullptr, "cx"));
        picture.heightPixels = emuPixels(ml::attrIn(extent, nullptr, "cy"));
        const std::string align = ml::isIn(frame, kDrawing, "anchor") ? [&] {
            const xmlNode* position = childIn(frame, kDrawing, "positionH");
            const xmlNode* alignment = childIn(position, kDrawing, "align");
            return alignment ? ml::text(alignment) : std::string();
        }() : std::string();
        if (align == "right" || align == "outside") picture.placement = "float:right";
        else if (align == "left" || align == "inside") picture.placement = "float:left";
        else if (align == "center") picture.placement = "display:block;margin:0 auto";
    } else {
        const xmlNode* shape = descendantIn(element, kVml, "shape");
        const xmlNode* image = descendantIn(shape ? shape : element, kVml, "imagedata");
        if (!image) return {};
        picture.relationshipId = ml::attrIn(image, ml::kRelationships, "id");
        picture.description = ml::attrIn(shape, nullptr, "alt");
        if (picture.description.empty()) picture.description = ml::attrIn(image, kOffice, "title");
        const std::string style = ml::attrIn(shape, nullptr, "style");
        picture.widthPixels = vmlPixels(style, "width");
        picture.heightPixels = vmlPixels(style, "height");
    }
    return imgHtml(picture, relationships);
}

std::string PageImages::imgHtml(const Picture& picture, const PartRelationships& relationships) {
    const std::optional<std::string> part = relationships.partNamed(m_package, picture.relationshipId);
    const std::string* bytes = part ? m_package.find(*part) : nullptr;
    const std::string extension = bytes ? rasterExtension(*bytes) : std::string();
    if (extension.empty()) return escaped(picture.description);

    auto known = m_fileOfPart.find(*part);
    if (known == m_fileOfPart.end()) {
        char name[32];
        std::snprintf(name, sizeof name, "image%03zu.%s", m_files.size() + 1, extension.c_str());
        m_files.push_back(PageFile{name, *bytes});
        known = m_fileOfPart.emplace(*part, name).first;
    }
    std::string html = "<img src=\"" + escaped(percentEncoded(m_folder) + "/" + percentEncoded(known->second)) + "\"";
    if (picture.widthPixels > 0 && picture.heightPixels > 0)
        html += " width=\"" + std::to_string(picture.widthPixels) + "\" height=\"" + std::to_string(picture.heightPixels) + "\"";
    html += " alt=\"" + escaped(picture.description) + "\"";
    if (!picture.placement.empty()) html += " style=\"" + picture.placement + "\"";
    return html + ">";
}

}  // namespace lumora::word
