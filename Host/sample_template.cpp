// The welcome letter: the house letterhead (logo, a text box carrying the account reference, a
// footer naming the company), an address block and salutation of tags, a centred heading in the
// house colour, and the team's contact details in a table without borders whose addresses are
// links.

#include "sample_template.hpp"

#include <string>

#include "sample_letterhead.hpp"

namespace lumora::host {

namespace {

std::string linkRun(std::string_view id, std::string_view text) {
    return "<w:hyperlink r:id=\"" + std::string(id) + "\"><w:r><w:rPr><w:rStyle w:val=\"Hyperlink\"/></w:rPr>"
           "<w:t xml:space=\"preserve\">" + xmlEscaped(text) + "</w:t></w:r></w:hyperlink>";
}

std::string contactCell(const std::string& content, std::string_view width) {
    return "<w:tc><w:tcPr><w:tcW w:w=\"" + std::string(width) + "\" w:type=\"dxa\"/></w:tcPr>" + paragraph(content) + "</w:tc>";
}

// The team's contact details, laid out in a table that draws no lines.
std::string contactTable() {
    std::string rows;
    for (const auto& [label, value] : {std::pair{"Telephone", run("0113 496 0000")},
                                       {"E-mail", linkRun("rIdMail", "care@lumora.example")},
                                       {"Web", linkRun("rIdWeb", "www.lumora.example")}})
        rows += "<w:tr>" + contactCell(run(label, RunStyle::Bold), "1700") + contactCell(value, "4000") + "</w:tr>";
    return R"(<w:tbl><w:tblPr><w:tblW w:w="5700" w:type="dxa"/><w:tblBorders><w:top w:val="nil"/><w:left w:val="nil"/>)"
           R"(<w:bottom w:val="nil"/><w:right w:val="nil"/><w:insideH w:val="nil"/><w:insideV w:val="nil"/>)"
           R"(</w:tblBorders><w:tblLook w:val="0000"/></w:tblPr><w:tblGrid><w:gridCol w:w="1700"/>)"
           R"(<w:gridCol w:w="4000"/></w:tblGrid>)" +
           rows + "</w:tbl>";
}

std::string letterBody() {
    return paragraphs({"<CONTACT>", "<COMPANY>", "<ADDRESS1>", "<ADDRESS2>", "<TOWN>", ""}) +
           paragraph(run("Dear ") + run("<CONTACT>", RunStyle::Bold) + run(",")) + paragraphs({""}) +
           headingParagraph("Welcome to Lumora") +
           paragraphs({"Thank you for choosing us. This letter was made from the Lumora sample template: every tag "
                       "in angle brackets is replaced by the value the CRM record gives for it.",
                       "", "Kind regards,", "The Lumora team", ""}) +
           contactTable() + paragraph();
}

// The letterhead's extras, and the team's mail and web addresses as links.
TemplateExtras letterExtras() {
    TemplateExtras extras = letterheadExtras();
    const std::string hyperlink = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/hyperlink";
    extras.documentRelationships =
        R"(<Relationship Id="rIdMail" Type=")" + hyperlink + R"(" Target="mailto:care@lumora.example" TargetMode="External"/>)"
        R"(<Relationship Id="rIdWeb" Type=")" + hyperlink + R"(" Target="https://www.lumora.example/" TargetMode="External"/>)";
    return extras;
}

}  // namespace

std::filesystem::path writeSampleTemplate(const std::filesystem::path& folder) {
    const std::filesystem::path target = folder / kSampleTemplateName;
    writePackage(target,
                 templateParts(letterBody(), letterheadHeader("Our ref: <ACCOUNTREF>"), letterheadFooter(), letterExtras()));
    return target;
}

}  // namespace lumora::host
