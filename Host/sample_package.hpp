#pragma once
// Writing the sample Word packages: the parts of a package and the WordprocessingML pieces the
// sample templates are built from (ECMA-376-1 §17).

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace lumora::host {

struct PackagePart {
    std::string name;
    std::string content;
};

// Writes the parts as a zip package at target: beside its final name first and then renamed, so
// an interrupted run leaves no half-written file. Creates the folder when missing. Throws
// std::runtime_error when the folder or the file cannot be written.
void writePackage(const std::filesystem::path& target, const std::vector<PackagePart>& parts);

// Writes text as the file at target, in the same whole-or-nothing way.
void writeTextFile(const std::filesystem::path& target, std::string_view text);

// The text with the three characters XML reserves in text escaped.
std::string xmlEscaped(std::string_view text);

// A run of text; bold when asked (a tag's formatting is what its value takes over).
enum class RunStyle { Plain, Bold };
std::string run(std::string_view text, RunStyle style = RunStyle::Plain);
// A paragraph of the given runs (an empty paragraph when there are none).
std::string paragraph(const std::string& runs = {});
// A paragraph of one plain run per line of text ("" gives an empty paragraph).
std::string paragraphs(const std::vector<std::string_view>& lines);

// Whether the package's main part is a template (.dotx) or a document (.docx).
enum class MainPart { Template, Document };

// What a template may hold beyond its text: its own styles, relationships of the main part and
// of the header (hyperlinks, pictures), and the picture parts they name.
struct TemplateExtras {
    MainPart mainPart = MainPart::Template;
    std::string styles;                   // the content of w:styles; no styles part when empty
    std::string documentRelationships;    // <Relationship> elements of the main part
    std::string headerRelationships;      // <Relationship> elements of the header
    std::vector<PackagePart> media;       // named "word/media/…", each extension declared as image/…
};

// The parts of a Word template whose main part holds `body` (block elements), with a primary
// header and footer (their block elements) when given, on an A4 page.
std::vector<PackagePart> templateParts(const std::string& body, const std::string& header = {},
                                       const std::string& footer = {}, const TemplateExtras& extras = {});

// The sample letterhead's logo, a PNG image.
std::string_view sampleLogoPng();

}  // namespace lumora::host
