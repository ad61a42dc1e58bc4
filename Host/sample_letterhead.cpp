#include "sample_letterhead.hpp"

#include <string>

namespace lumora::host {

namespace {

// The reference box sits at the right edge of the text area, clear of the logo and the company's
// name at the left: the text width of the A4 page (11906 - 2 x 1440 twips) less the box's width.
constexpr std::string_view kBoxLeft = "281.2pt";
constexpr std::string_view kBoxWidth = "170.1pt";
constexpr std::string_view kBoxHeight = "34pt";

// A text box in VML (ECMA-376-4 section 19.1), anchored in the header's paragraph. Word reads it
// as it reads its own, and LibreOffice lays it out with its text inside the frame: the DrawingML
// shape of a header (the 2010 wps extension) it draws empty, with the text printed over the
// logo, whether or not the shape comes with a fallback.
std::string headerTextBox(std::string_view text) {
    return std::string(
               R"(<w:r><w:pict><v:shapetype id="_x0000_t202" coordsize="21600,21600" o:spt="202")"
               R"( path="m,l,21600r21600,l21600,xe"><v:stroke joinstyle="miter"/>)"
               R"(<v:path gradientshapeok="t" o:connecttype="rect"/></v:shapetype>)"
               R"(<v:shape id="ReferenceBox" o:spid="_x0000_s1025" type="#_x0000_t202" style="position:absolute;)") +
           "margin-left:" + std::string(kBoxLeft) + ";margin-top:0;width:" + std::string(kBoxWidth) +
           ";height:" + std::string(kBoxHeight) +
           R"(;z-index:251659264;mso-position-horizontal-relative:margin;mso-position-vertical-relative:paragraph")"
           R"( strokecolor="black" strokeweight=".5pt"><v:textbox inset="7.2pt,3.6pt,7.2pt,3.6pt"><w:txbxContent>)" +
           paragraph(run(text)) + R"(</w:txbxContent></v:textbox><w10:wrap anchorx="margin"/></v:shape></w:pict></w:r>)";
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
// paragraph's, a bold style for table headings, and the look of links.
constexpr std::string_view kLetterStyles =
    R"(<w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii="Arial" w:hAnsi="Arial" w:cs="Arial"/>)"
    R"(<w:sz w:val="22"/></w:rPr></w:rPrDefault><w:pPrDefault><w:pPr><w:spacing w:after="0" w:line="264")"
    R"( w:lineRule="auto"/></w:pPr></w:pPrDefault></w:docDefaults>)"
    R"(<w:style w:type="paragraph" w:default="1" w:styleId="Normal"><w:name w:val="Normal"/></w:style>)"
    R"(<w:style w:type="paragraph" w:styleId="LetterHeading"><w:name w:val="Letter heading"/>)"
    R"(<w:basedOn w:val="Normal"/><w:next w:val="Normal"/><w:pPr><w:jc w:val="center"/>)"
    R"(<w:spacing w:before="120" w:after="120"/></w:pPr><w:rPr><w:b/><w:color w:val="1F6F8B"/><w:sz w:val="32"/>)"
    R"(</w:rPr></w:style>)"
    R"(<w:style w:type="paragraph" w:styleId="TableHeading"><w:name w:val="Table heading"/>)"
    R"(<w:basedOn w:val="Normal"/><w:rPr><w:b/></w:rPr></w:style>)"
    R"(<w:style w:type="character" w:styleId="Hyperlink"><w:name w:val="Hyperlink"/>)"
    R"(<w:rPr><w:color w:val="0563C1"/><w:u w:val="single"/></w:rPr></w:style>)"
    R"(<w:style w:type="table" w:default="1" w:styleId="TableNormal"><w:name w:val="Normal Table"/>)"
    R"(<w:tblPr><w:tblCellMar><w:left w:w="108" w:type="dxa"/><w:right w:w="108" w:type="dxa"/></w:tblCellMar>)"
    R"(</w:tblPr></w:style>)";

}  // namespace

std::string letterheadHeader(std::string_view referenceText, std::string_view companyText) {
    return paragraph(logoPicture() + "<w:r><w:br/></w:r>" + run(companyText, RunStyle::Bold) +
                     headerTextBox(referenceText));
}

std::string letterheadFooter() { return paragraph(run("<COMPANY> customer care")); }

TemplateExtras letterheadExtras() {
    TemplateExtras extras;
    extras.styles = std::string(kLetterStyles);
    extras.headerRelationships =
        R"(<Relationship Id="rIdLogo" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/image")"
        R"( Target="media/logo.png"/>)";
    extras.media.push_back({"word/media/logo.png", std::string(sampleLogoPng())});
    return extras;
}

std::string headingParagraph(std::string_view text) {
    return R"(<w:p><w:pPr><w:pStyle w:val="LetterHeading"/></w:pPr>)" + run(text) + "</w:p>";
}

}  // namespace lumora::host
