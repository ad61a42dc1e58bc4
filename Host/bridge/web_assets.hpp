#pragma once
// The web files the bridge serves (the demo CRM page and lumora.js), compiled into the program
// from Host/web so `lumora serve` needs no files beside it.

#include <cstddef>
#include <filesystem>
#include <string_view>

namespace lumora::bridge {

struct WebAsset {
    std::string_view path;  // "/lumora.js"; the demo page is "/index.html", also served at "/"
    std::string_view body;
};

// The asset at a URL path ("/" is the demo page); nullptr when there is none.
const WebAsset* findWebAsset(std::string_view urlPath);

// The Content-Type for a file name by its extension; text types carry charset=utf-8.
std::string_view contentTypeOf(std::string_view fileName);

}  // namespace lumora::bridge
