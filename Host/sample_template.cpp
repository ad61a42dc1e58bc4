// The welcome letter: an address block and salutation of tags, a header whose text box carries
// the account reference, and a footer naming the company.

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

std::string letterBody() {
    return paragraphs({"<CONTACT>", "<COMPANY>", "<ADDRESS1>", "<ADDRESS2>", "<TOWN>", ""}) +
           paragraph(run("Dear ") + run("<CONTACT>", RunStyle::Bold) + run(",")) +
           paragraphs({"",
                       "Thank you for choosing us. This letter was made from the Lumora sample template: every tag "
                       "in angle brackets is replaced by the value the CRM record gives for it.",
                       "", "Kind regards,", "The Lumora team"});
}

}  // namespace

std::filesystem::path writeSampleTemplate(const std::filesystem::path& folder) {
    const std::filesystem::path target = folder / kSampleTemplateName;
    const std::string header = paragraph(run("<COMPANY>", RunStyle::Bold) + headerTextBox("Our ref: <ACCOUNTREF>"));
    const std::string footer = paragraph(run("<COMPANY> customer care"));
    writePackage(target, templateParts(letterBody(), header, footer));
    return target;
}

}  // namespace lumora::host
