#pragma once
// A web page written with the folder of files it names ("Letter.htm" and "Letter_files/"),
// whole or not at all: the folder is filled under a scratch name beside it and the page
// written under another, and only then are both put in place, an earlier folder of that name
// set aside until the page has replaced its file. A failure at any step leaves the page and
// its folder as they were.

#include <filesystem>
#include <string_view>
#include <vector>

#include "html_images.hpp"

namespace lumora::word {

// The folder's name for a page file: "Letter.htm" -> "Letter_files".
std::string pageFolderName(const std::filesystem::path& page);

// Errors: 75 when the page or its folder cannot be written, or the folder's name is taken by
// something other than a folder.
void writeWebPage(const std::filesystem::path& page, std::string_view html, const std::vector<PageFile>& files);

}  // namespace lumora::word
