#include "word_templates.hpp"

#include "tests/support/docx_files.hpp"

namespace lumora::bench {

namespace {

constexpr int kParagraphsPerPage = 40;
const std::string kFiller = "We are pleased to confirm the arrangements discussed at our recent meeting, and ";

std::string openMark(TagStyle style) { return style == TagStyle::Angle ? "&lt;" : "{"; }
std::string closeMark(TagStyle style) { return style == TagStyle::Angle ? "&gt;" : "}"; }

std::string run(const std::string& escapedText, const std::string& properties = {}) {
    return "<w:r>" + (properties.empty() ? "" : "<w:rPr>" + properties + "</w:rPr>") + "<w:t xml:space=\"preserve\">" +
           escapedText + "</w:t></w:r>";
}

std::string tagRuns(int number, TagStyle style) {
    const std::string name = tagName(number);
    if (number % 3 == 0)
        return run(openMark(style) + name.substr(0, 2)) + "<w:proofErr w:type=\"spellStart\"/>" + run(name.substr(2)) +
               "<w:proofErr w:type=\"spellEnd\"/>" + run(closeMark(style));
    return run(openMark(style) + name + closeMark(style), number % 5 == 0 ? "<w:b/>" : "");
}

}  // namespace

std::string tagName(int number) { return "Tag" + std::to_string(number); }
std::string tagValue(int number) { return "Value " + std::to_string(number * 7919 % 10007); }

void writeLetterTemplate(const std::filesystem::path& file, int pages, int tags, TagStyle style) {
    const int paragraphs = pages * kParagraphsPerPage;
    std::string body;
    body.reserve(static_cast<size_t>(paragraphs) * 200);
    int placed = 0;
    for (int p = 0; p < paragraphs; ++p) {
        body += "<w:p><w:pPr><w:spacing w:after=\"120\"/></w:pPr>" + run(kFiller);
        // Tags go to evenly spaced paragraphs; with more tags than paragraphs, several share one.
        const int due = static_cast<int>((static_cast<long long>(p + 1) * tags) / paragraphs);
        while (placed < due) body += tagRuns(++placed, style) + run(" ");
        body += run("thank you for your custom.") + "</w:p>";
    }
    testing::DocxParts parts = testing::withBody(body);
    parts.isTemplate = true;
    parts.headers = {{"default", "<w:p>" + run("Reference ") + tagRuns(1, style) + "</w:p>"}};
    testing::writeDocx(file, parts);
}

}  // namespace lumora::bench
