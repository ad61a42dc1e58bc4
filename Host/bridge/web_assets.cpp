#include "web_assets.hpp"

#include <array>
#include <span>
#include <utility>

#include "Automation/vb/text.hpp"

namespace lumora::bridge {

// Written at build time from Host/web by embed_web_assets.cmake.
extern const WebAsset kWebAssets[];
extern const size_t kWebAssetCount;

const WebAsset* findWebAsset(std::string_view urlPath) {
    if (urlPath == "/") urlPath = "/index.html";
    for (const WebAsset& asset : std::span(kWebAssets, kWebAssetCount))
        if (asset.path == urlPath) return &asset;
    return nullptr;
}

std::string_view contentTypeOf(std::string_view fileName) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 19> kTypes{{
        {".html", "text/html; charset=utf-8"},
        {".htm", "text/html; charset=utf-8"},
        {".js", "text/javascript; charset=utf-8"},
        {".css", "text/css; charset=utf-8"},
        {".svg", "image/svg+xml"},
        {".png", "image/png"},
        {".ico", "image/x-icon"},
        {".json", "application/json"},
        {".xml", "application/xml"},
        {".txt", "text/plain; charset=utf-8"},
        {".csv", "text/csv"},
        {".vcf", "text/vcard"},
        {".pdf", "application/pdf"},
        {".doc", "application/msword"},
        {".docx", "application/vnd.openxmlformats-officedocument.wordprocessingml.document"},
        {".dot", "application/msword"},
        {".dotx", "application/vnd.openxmlformats-officedocument.wordprocessingml.template"},
        {".xls", "application/vnd.ms-excel"},
        {".xlsx", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"},
    }};
    size_t dot = fileName.rfind('.');
    if (dot != std::string_view::npos) {
        std::string extension = vb::asciiLower(fileName.substr(dot));
        for (const auto& [suffix, type] : kTypes)
            if (suffix == extension) return type;
    }
    return "application/octet-stream";
}

}  // namespace lumora::bridge
