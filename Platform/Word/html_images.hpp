#pragma once
// The pictures of a document on its web page. As a word processor's web-page save does, each
// picture part the text shows is written beside the page in a folder "<page name>_files", as
// image001.png, image002.jpg …, and the <img> names it by that relative path, each segment
// percent-encoded. Later steps rely on exactly this: a page that becomes a mail body has its
// pictures taken from that folder into the mail, so src is never absolute and never a file:
// URL, and every file lies inside the folder.
//
// Only pictures held inside the package are shown (a linked picture is never fetched), and
// only the raster types every browser and mail client shows: PNG, JPEG and GIF, known by their
// content rather than their name. Any other picture is written as its description.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "package.hpp"
#include "part_relationships.hpp"
#include "xml_part.hpp"

namespace lumora::word {

struct PageFile {
    std::string name;         // inside the folder: "image001.png"
    std::string_view bytes;   // the picture part's bytes, in the package
};

class PageImages {
public:
    // folder: the folder's name beside the page, "Letter_files".
    PageImages(const Package& package, std::string folder);

    // The markup for what a w:drawing or w:pict element shows: an <img>, the picture's
    // description when it cannot be shown, or nothing (a text box, a shape).
    std::string pictureHtml(const XmlNode* element, const PartRelationships& relationships);

    const std::string& folder() const { return m_folder; }
    const std::vector<PageFile>& files() const { return m_files; }

private:
    struct Picture {
        std::string relationshipId;
        std::string description;
        long widthPixels = 0, heightPixels = 0;
        std::string placement;  // CSS for a floating picture
    };
    std::string imgHtml(const Picture& picture, const PartRelationships& relationships);

    const Package& m_package;
    std::string m_folder;
    std::vector<PageFile> m_files;
    std::map<std::string, std::string, std::less<>> m_fileOfPart;
};

}  // namespace lumora::word
