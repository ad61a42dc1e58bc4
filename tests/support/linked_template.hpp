#pragma once
// A template that links pictures from outside its package, each in a way a converter has been
// seen to follow: a file:// URL, an absolute path, a "../" climb, an SVG picture whose <image>
// names a file, a page on the loopback server, and a hyperlink's relationship borrowed by a
// picture. Each outside picture is a PNG of its own size, so `pdfimages -list` tells which of
// them a PDF holds; one picture inside the package must still be drawn.

#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "docx_files.hpp"

namespace lumora::testing {

// A plain RGB PNG of one colour.
inline std::string pngImage(int width, int height, unsigned char red, unsigned char green, unsigned char blue) {
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw += '\0';
        for (int x = 0; x < width; ++x) raw += {static_cast<char>(red), static_cast<char>(green), static_cast<char>(blue)};
    }
    uLongf packedSize = compressBound(raw.size());
    std::string packed(packedSize, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()), raw.size());
    packed.resize(packedSize);
    const auto be32 = [](uint32_t value) {
        return std::string{static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
                           static_cast<char>(value)};
    };
    const auto chunk = [&](const std::string& type, const std::string& data) {
        const std::string body = type + data;
        return be32(static_cast<uint32_t>(data.size())) + body +
               be32(static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
    };
    const std::string header = be32(static_cast<uint32_t>(width)) + be32(static_cast<uint32_t>(height)) + std::string("\x08\x02\x00\x00\x00", 5);
    return std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", packed) + chunk("IEND", "");
}

// A picture drawn in its own paragraph; `blip` holds the r:embed or r:link attribute.
inline std::string picture(int id, const std::string& blip) {
    const std::string n = std::to_string(id);
    return "<w:p><w:r><w:drawing><wp:inline><wp:extent cx=\"600000\" cy=\"600000\"/><wp:docPr id=\"" + n + "\" name=\"Picture " + n +
           "\"/><a:graphic><a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\">"
           "<pic:pic xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><pic:nvPicPr><pic:cNvPr id=\"" + n +
           "\" name=\"p" + n + "\"/><pic:cNvPicPr/></pic:nvPicPr><pic:blipFill><a:blip " + blip +
           "/><a:stretch><a:fillRect/></a:stretch></pic:blipFill><pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"600000\" "
           "cy=\"600000\"/></a:xfrm><a:prstGeom prst=\"rect\"/></pic:spPr></pic:pic></a:graphicData></a:graphic></wp:inline>"
           "</w:drawing></w:r></w:p>";
}

struct LinkedTemplate {
    DocxParts parts;
    // The sizes ("37x23") of the pictures from outside, none of which a converted PDF may hold,
    // and of the picture inside the package, which it must.
    std::vector<std::string> outsideSizes;
    std::string insideSize;
};

// Writes the outside pictures into `outside` (the web one into `webRoot`, served at
// webUrl + "/files/web.png") and returns the template linking them.
inline LinkedTemplate templateLinkingOutside(const std::filesystem::path& outside, const std::filesystem::path& webRoot,
                                             const std::string& webUrl) {
    namespace fs = std::filesystem;
    const std::vector<std::pair<std::string, std::pair<int, int>>> files{
        {"url.png", {37, 23}}, {"absolute.png", {41, 29}}, {"climb.png", {43, 31}}, {"in-svg.png", {47, 19}}, {"borrowed.png", {51, 27}}};
    LinkedTemplate linked;
    for (const auto& [name, size] : files) {
        std::ofstream(outside / name, std::ios::binary) << pngImage(size.first, size.second, 200, 30, 30);
        linked.outsideSizes.push_back(std::to_string(size.first) + "x" + std::to_string(size.second));
    }
    fs::create_directories(webRoot);
    std::ofstream(webRoot / "web.png", std::ios::binary) << pngImage(53, 17, 30, 30, 200);
    linked.outsideSizes.push_back("53x17");
    linked.insideSize = "13x11";

    const std::string image = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/image";
    const std::string folder = outside.string();
    std::string climb;  // from wherever the converted copy lies, up to the root and down again
    for (int up = 0; up < 12; ++up) climb += "../";
    climb += folder.substr(1) + "/climb.png";
    const auto relationship = [&](const std::string& id, const std::string& type, const std::string& target, bool external) {
        return "<Relationship Id=\"" + id + "\" Type=\"" + type + "\" Target=\"" + target + "\"" +
               (external ? " TargetMode=\"External\"" : "") + "/>";
    };
    DocxParts& parts = linked.parts;
    parts.isTemplate = true;
    parts.extraRelationships =
        relationship("rIdUrl", image, "file://" + folder + "/url.png", true) +
        relationship("rIdAbsolute", image, folder + "/absolute.png", true) + relationship("rIdClimb", image, climb, true) +
        relationship("rIdSvg", image, "media/drawing.svg", false) + relationship("rIdWeb", image, webUrl + "/files/web.png", true) +
        relationship("rIdLink", "http://schemas.openxmlformats.org/officeDocument/2006/relationships/hyperlink",
                     "file://" + folder + "/borrowed.png", true) +
        relationship("rIdLogo", image, "media/logo.png", false);
    parts.extraContentTypes = "<Default Extension=\"png\" ContentType=\"image/png\"/><Default Extension=\"svg\" ContentType=\"image/svg+xml\"/>";
    parts.body = paragraph("Letter with pictures from outside") + picture(1, "r:link=\"rIdUrl\"") + picture(2, "r:link=\"rIdAbsolute\"") +
                 picture(3, "r:link=\"rIdClimb\"") + picture(4, "r:embed=\"rIdSvg\"") + picture(5, "r:link=\"rIdWeb\"") +
                 picture(6, "r:link=\"rIdLink\"") + picture(7, "r:embed=\"rIdLogo\"") +
                 "<w:p><w:hyperlink r:id=\"rIdLink\"><w:r><w:t>the hyperlink stays</w:t></w:r></w:hyperlink></w:p>";
    parts.extra = {
        {"word/media/logo.png", pngImage(13, 11, 30, 160, 30)},
        {"word/media/drawing.svg",
         "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"90\" height=\"90\">"
         "<rect width=\"90\" height=\"90\" fill=\"#dddddd\"/><image width=\"90\" height=\"90\" href=\"file://" + folder +
             "/in-svg.png\"/><image width=\"90\" height=\"90\" xlink:href=\"file://" + folder + "/in-svg.png\"/></svg>"}};
    return linked;
}

// The sizes ("37x23") of the images a PDF holds, as pdfimages lists them.
inline std::multiset<std::string> pdfImageSizes(const std::filesystem::path& pdf) {
    std::multiset<std::string> sizes;
    const std::string command = "pdfimages -list '" + pdf.string() + "'";
    FILE* list = ::popen(command.c_str(), "r");
    if (!list) return sizes;
    char line[512];
    int row = 0;
    while (std::fgets(line, sizeof line, list)) {
        if (++row <= 2) continue;  // the heading and its rule
        int page = 0, number = 0, width = 0, height = 0;
        char type[32];
        if (std::sscanf(line, "%d %d %31s %d %d", &page, &number, type, &width, &height) == 5)
            sizes.insert(std::to_string(width) + "x" + std::to_string(height));
    }
    ::pclose(list);
    return sizes;
}

}  // namespace lumora::testing
