// The welcome letter: a letterhead with the logo, an address block and salutation of tags, a
// centred heading in the house colour, and the team's contact details in a table without
// borders whose addresses are links; a header whose text box carries the account reference, and
// a footer naming the company. Its styles give the text its font and the heading its look.

#include "sample_template.hpp"

#include <string>

#include "sample_package.hpp"

namespace lumora::host {

namespace {

// A text box anchored in the header's first paragraph, at the right of the page (DrawingML
// word-processing shape, ECMA-376-1 section 20.4 and the 2010 wps extension).
std::string headerTextBox(std::string_view text) {
    return R"(<w:r><w:drawing><wp:anchor distT="0" distB="0" distL="114300" distR="114300" simplePos="0")"
           R"( relativeHeight="251659264" behindDoc="0" locked="0" layoutInCell="1" allowOverlap="1">)"
           R"(<wp:simplePos x="0" y="0"/>)"
           R"(<wp:positionH relativeFrom="column"><wp:posOffset>3600000</wp:posOffset></wp:positionH>)"
           R"(<wp:positionV relativeFrom="paragraph"><wp:posOffset>0</wp:posOffset></wp:positionV>)"
           R"(<wp:extent cx="2160000" cy="432000"/><wp:effectExtent l="0" t="0" r="0" b="0"/><wp:wrapNone/>)"
           R"(<wp:docPr id="1" name="Reference box"/><wp:cNvGraphicFramePr/>)"
           R"(<a:graphic><a:graphicData uri="http://schemas.microsoft.com/office/word/2010/wordprocessingShape">)"
           R"(<wps:wsp><wps:cNvSpPr txBox="1"/><wps:spPr><a:xfrm><a:off x="0" y="0"/><a:ext cx="2160000" cy="432000"/>)"
           R"(</a:xfrm><a:prstGeom prst="rect"><a:avLst/></a:prstGeom>)"
           R"(<a:ln w="6350"><a:solidFill><a:srgbClr val="000000"/></a:solidFill></a:ln></wps:spPr>)"
           R"(<wps:txbx><w:txbxContent>)" +
           paragraph(run(text)) +
           R"(</w:txbxContent></wps:txbx><wps:bodyPr rot="0" vert="horz" wrap="square" lIns="91440" tIns="45720")"
           R"( rIns="91440" bIns="45720" anchor="t" anchorCtr="0"><a:noAutofit/></wps:bodyPr></wps:wsp>)"
           R"(</a:graphicData></a:graphic></wp:anchor></w:drawing></w:r>)";
}

// The logo as a picture in the text's line (DrawingML, ECMA-376-1 section 20.4), 144 x 48 pixels.
std::string logoPicture() {
    return R"(<w:r><w:drawing><wp:inline distT="0" distB="0" distL="0" distR="0">)"
           R"(<wp:extent cx="1371600" cy="457200"/><wp:effectExtent l="0" t="0" r="0" b="0"/>)"
           R"(<wp:docPr id="2" name="Logo" descr="Lumora logo"/><wp:cNvGraphicFramePr/>)"
           R"(<a:graphic><a:graphicData uri="http://schemas.openxmlformats.org/drawingml/2006/picture">)"
           R"(<pic:pic><pic:nvPicPr><pic:cNvPr id="2" name="logo.png"/><pic:cNvPicPr/></pic:nvPicPr>)"
           R"(<pic:blipFill><a:blip r:embed="rIdLogo"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill>)"
           R"(<pic:spPr><a:xfrm><a:off x="0" y="0"/><a:ext cx="1371600" cy="457200"/></a:xfrm>)"
           R"(<a:prstGeom prst="rect"><a:avLst/></a:prstGeom></pic:spPr></pic:pic>)"
           R"(</a:graphicData></a:graphic></wp:inline></w:drawing></w:r>)";
}

// The letter's font and size for all its text, a heading style based on the ordinary
// paragraph's, and the look of links.
constexpr std::string_view kLetterStyles =
    R"(<w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii="Arial" w:hAnsi="Arial" w:cs="Arial"/>)"
    R"(<w:sz w:val="22"/></w:rPr></w:rPrDefault><w:pPrDefault><w:pPr><w:spacing w:after="0" w:line="264")"
    R"( w:lineRule="auto"/></w:pPr></w:pPrDefault></w:docDefaults>)"
    R"(<w:style w:type="paragraph" w:default="1" w:styleId="Normal"><w:name w:val="Normal"/></w:style>)"
    R"(<w:style w:type="paragraph" w:styleId="LetterHeading"><w:name w:val="Letter heading"/>)"
    R"(<w:basedOn w:val="Normal"/><w:next w:val="Normal"/><w:pPr><w:jc w:val="center"/>)"
    R"(<w:spacing w:before="120" w:after="120"/></w:pPr><w:rPr><w:b/><w:color w:val="1F6F8B"/><w:sz w:val="32"/>)"
    R"(</w:rPr></w:style>)"
    R"(<w:style w:type="character" w:styleId="Hyperlink"><w:name w:val="Hyperlink"/>)"
    R"(<w:rPr><w:color w:val="0563C1"/><w:u w:val="single"/></w:rPr></w:style>)"
    R"(<w:style w:type="table" w:default="1" w:styleId="TableNormal"><w:name w:val="Normal Table"/>)"
    R"(<w:tblPr><w:tblCellMar><w:left w:w="108" w:type="dxa"/><w:right w:w="108" w:type="dxa"/></w:tblCellMar>)"
    R"(</w:tblPr></w:style>)";

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
           R"(<w:p><w:pPr><w:pStyle w:val="LetterHeading"/></w:pPr>)" + run("Welcome to Lumora") + "</w:p>" +
           paragraphs({"Thank you for choosing us. This letter was made from the Lumora sample template: every tag "
                       "in angle brackets is replaced by the value the CRM record gives for it.",
                       "", "Kind regards,", "The Lumora team", ""}) +
           contactTable() + paragraph();
}

TemplateExtras letterExtras() {
    TemplateExtras extras;
    extras.styles = std::string(kLetterStyles);
    const std::string hyperlink = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/hyperlink";
    extras.documentRelationships =
        R"(<Relationship Id="rIdMail" Type=")" + hyperlink + R"(" Target="mailto:care@lumora.example" TargetMode="External"/>)"
        R"(<Relationship Id="rIdWeb" Type=")" + hyperlink + R"(" Target="https://www.lumora.example/" TargetMode="External"/>)";
    extras.headerRelationships =
        R"(<Relationship Id="rIdLogo" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/image")"
        R"( Target="media/logo.png"/>)";
    extras.media.push_back({"word/media/logo.png", std::string(sampleLogoPng())});
    return extras;
}

}  // namespace

std::filesystem::path writeSampleTemplate(const std::filesystem::path& folder) {
    const std::filesystem::path target = folder / kSampleTemplateName;
    const std::string header =
        paragraph(logoPicture() + "<w:r><w:br/></w:r>" + run("<COMPANY>", RunStyle::Bold) + headerTextBox("Our ref: <ACCOUNTREF>"));
    const std::string footer = paragraph(run("<COMPANY> customer care"));
    writePackage(target, templateParts(letterBody(), header, footer, letterExtras()));
    return target;
}

}  // namespace lumora::host
