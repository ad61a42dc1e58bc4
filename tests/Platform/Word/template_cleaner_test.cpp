// The copy of a package a converter reads: relationships that leave the package (other than
// hyperlinks) or escape it are gone, a hyperlink's id borrowed by a picture is taken from the
// picture, and SVG images, plain or compressed, reference nothing outside themselves.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <regex>

#include "Platform/Word/package.hpp"
#include "Platform/Word/template_cleaner.hpp"

namespace lumora::word {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

const std::string kRelationships = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

std::string relationships(const std::string& content) {
    return "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" + content + "</Relationships>";
}
std::string relationship(const std::string& id, const std::string& type, const std::string& target, const char* mode = nullptr) {
    return "<Relationship Id=\"" + id + "\" Type=\"" + kRelationships + type + "\" Target=\"" + target + "\"" +
           (mode ? std::string(" TargetMode=\"") + mode + "\"" : "") + "/>";
}

// The ids of a relationships part, in order.
std::vector<std::string> ids(const std::string* part) {
    std::vector<std::string> out;
    if (!part) return out;
    static const std::regex id("Id=\"([^\"]*)\"");
    for (auto it = std::sregex_iterator(part->begin(), part->end(), id); it != std::sregex_iterator(); ++it) out.push_back((*it)[1]);
    return out;
}

std::string gzipped(const std::string& text) {
    z_stream stream{};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, text.size()) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

Package cleaned(std::vector<std::pair<std::string, std::string>> entries) {
    Package package;
    for (auto& [name, bytes] : entries) package.put(name, std::move(bytes));
    removeOutsideReferences(package);
    return package;
}

TEST(TemplateCleaner, KeepsHyperlinksAndPartsInsideAndDropsEveryOtherWayOut) {
    const Package package = cleaned({
        {"word/document.xml", "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"/>"},
        {"word/media/a.png", "png"},
        {"word/header1.xml", "<w:hdr xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"/>"},
        {"word/chunk.htm", "<html><img src=\"file:///home/u/secret.png\"></html>"},
        {"word/_rels/document.xml.rels",
         relationships(relationship("link", "hyperlink", "https://example.org/?a=1#top", "External") +
                       relationship("inside", "image", "media/a.png") + relationship("rooted", "image", "/word/media/a.png") +
                       relationship("encoded", "header", "head%65r1.xml") +
                       relationship("picture", "image", "file:///home/u/secret.pdf", "External") +
                       relationship("ole", "oleObject", "\\\\server\\share\\book.xlsx", "External") +
                       relationship("frame", "frame", "http://intranet/", "External") +
                       relationship("sub", "subDocument", "part.docx", "External") +
                       relationship("modeInOtherCase", "image", "http://127.0.0.1/x.png", "external") +
                       relationship("climb", "image", "../../secret.png") + relationship("absolute", "image", "/home/u/secret.png") +
                       relationship("url", "image", "file:///home/u/secret.png") + relationship("missing", "image", "media/b.png") +
                       relationship("backslash", "image", "media\\a.png") + relationship("chunk", "aFChunk", "chunk.htm"))},
        {"word/_rels/settings.xml.rels",
         relationships(relationship("template", "attachedTemplate", "file:///C:/Templates/Letter.dotm", "External"))},
        {"_rels/.rels", relationships(relationship("main", "officeDocument", "word/document.xml"))},
        {"word/_rels/header1.xml.rels", "<Relationships><unclosed></Relationships>"},
    });
    EXPECT_EQ(ids(package.find("word/_rels/document.xml.rels")),
              (std::vector<std::string>{"link", "inside", "rooted", "encoded"}));
    EXPECT_EQ(ids(package.find("word/_rels/settings.xml.rels")), std::vector<std::string>{});
    EXPECT_EQ(ids(package.find("_rels/.rels")), std::vector<std::string>{"main"});
    // A relationships part that cannot be read is no way out either.
    EXPECT_FALSE(package.has("word/_rels/header1.xml.rels"));
}

TEST(TemplateCleaner, AHyperlinksIdBorrowedByAPictureIsTakenFromThePicture) {
    const std::string document =
        "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
        "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" xmlns:v=\"urn:schemas-microsoft-com:vml\" "
        "xmlns:o=\"urn:schemas-microsoft-com:office:office\"><w:body>"
        "<w:hyperlink r:id=\"web\"/><a:hlinkClick r:id=\"web\"/><a:blip r:link=\"web\" r:embed=\"img\"/>"
        "<v:imagedata o:relid=\"web\" r:id=\" web \"/></w:body></w:document>";
    const Package package = cleaned({{"word/document.xml", document},
                                     {"word/media/i.png", "png"},
                                     {"word/_rels/document.xml.rels",
                                      relationships(relationship("web", "hyperlink", "file:///home/u/secret.png", "External") +
                                                    relationship("img", "image", "media/i.png"))}});
    const std::string part = *package.find("word/document.xml");
    EXPECT_THAT(part, HasSubstr("<w:hyperlink r:id=\"web\"/><a:hlinkClick r:id=\"web\"/><a:blip r:embed=\"img\"/><v:imagedata/>"));
    EXPECT_EQ(ids(package.find("word/_rels/document.xml.rels")), (std::vector<std::string>{"web", "img"}));

    // When the part naming it cannot be read, the hyperlink goes too.
    const Package unreadable = cleaned(
        {{"word/document.xml", "<w:document"},
         {"word/_rels/document.xml.rels", relationships(relationship("web", "hyperlink", "https://example.org/", "External"))}});
    EXPECT_EQ(ids(unreadable.find("word/_rels/document.xml.rels")), std::vector<std::string>{});
}

TEST(TemplateCleaner, SvgImagesReferenceOnlyThemselvesAndInlinePictures) {
    const std::string svg =
        "<?xml version=\"1.0\"?><!DOCTYPE svg [<!ENTITY secret SYSTEM \"file:///etc/passwd\"><!ENTITY where \"file:///home/u/e.png\">]>"
        "<?xml-stylesheet href=\"http://127.0.0.1/s.css\"?>"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\">"
        "<style>@import url(http://127.0.0.1/a.css); rect { fill: red }</style>"
        "<style>rect { fill: url(#g); stroke: url( 'file:///home/u/p.svg#x' ) }</style>"
        "<image href=\"file:///home/u/a.png\"/><image xlink:href=\"  HTTP://127.0.0.1/b.png\"/><image href=\"&where;\"/>"
        "<image href=\"data:image/png;base64,AAAA\"/><image href=\"data:image/svg+xml;base64,AAAA\"/><image href=\"../c.png\"/>"
        "<use href=\"#shape\"/><use xlink:href=\"other.svg#shape\"/><feImage href=\"smb://server/d.png\"/>"
        "<rect style=\"fill:url(#g);filter:url(http://127.0.0.1/f.svg#blur)\" mask=\"url(file:///m.svg#m)\" "
        "clip-path=\"url(#c)\" xml:base=\"file:///home/u/\"/>"
        "<text>&secret;</text><foreignObject><img xmlns=\"http://www.w3.org/1999/xhtml\" src=\"file:///home/u/f.png\"/>"
        "</foreignObject><script>fetch('http://127.0.0.1/')</script></svg>";
    const std::string unreadable = "<svg xmlns=\"http://www.w3.org/2000/svg\"><image href=\"file:///home/u/a.png\">";
    const std::string customXml = std::string("\xFF\xFE<\0r\0/\0>\0", 10);
    const Package package = cleaned({{"word/media/image1.svg", svg},
                                     {"word/media/image2.png", gzipped(svg)},
                                     {"word/media/image3.svg", unreadable},
                                     {"word/media/image4.png", "\x89PNG <svg> bytes"},
                                     {"customXml/item1.xml", customXml}});
    const std::string expected =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\">"
        "<style/><style>rect { fill: url(#g); stroke: none }</style>"
        "<image/><image/><image/><image href=\"data:image/png;base64,AAAA\"/><image/><image/>"
        "<use href=\"#shape\"/><use/><feImage/>"
        "<rect style=\"fill:url(#g);filter:none\" mask=\"none\" clip-path=\"url(#c)\"/><text/></svg>\n";
    EXPECT_EQ(*package.find("word/media/image1.svg"), expected);
    EXPECT_EQ(*package.find("word/media/image2.png"), expected);  // unpacked: converters sniff content, not names
    EXPECT_EQ(*package.find("word/media/image3.svg"), "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"1\" height=\"1\"/>");
    EXPECT_EQ(*package.find("word/media/image4.png"), "\x89PNG <svg> bytes");
    EXPECT_EQ(*package.find("customXml/item1.xml"), customXml);
}

}  // namespace
}  // namespace lumora::word
