// The seminar invitation: tags of the seminar in the body, and a table whose header cells name
// the columns of the record's list of people, filled with one row per person.

#include <string>
#include <vector>

#include "sample_package.hpp"
#include "sample_template.hpp"

namespace lumora::host {

namespace {

constexpr int kColumnWidth = 3000;  // twentieths of a point

std::string cell(std::string_view text, RunStyle style) {
    return "<w:tc><w:tcPr><w:tcW w:w=\"" + std::to_string(kColumnWidth) + "\" w:type=\"dxa\"/></w:tcPr>" +
           paragraph(run(text, style)) + "</w:tc>";
}

// A bordered table with one row of header cells.
std::string listTable(const std::vector<std::string_view>& headers) {
    std::string grid;
    std::string row;
    for (std::string_view header : headers) {
        grid += "<w:gridCol w:w=\"" + std::to_string(kColumnWidth) + "\"/>";
        row += cell(header, RunStyle::Bold);
    }
    std::string borders;
    for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"})
        borders += std::string("<w:") + side + " w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"/>";
    return R"(<w:tbl><w:tblPr><w:tblW w:w="0" w:type="auto"/><w:tblBorders>)" + borders +
           "</w:tblBorders></w:tblPr><w:tblGrid>" + grid + "</w:tblGrid><w:tr>" + row + "</w:tr></w:tbl>";
}

}  // namespace

std::filesystem::path writeSeminarTemplate(const std::filesystem::path& folder) {
    const std::filesystem::path target = folder / kSeminarTemplateName;
    const std::string body =
        paragraphs({"Dear <FIRSTNAME>,", "", "You are invited to <SEMINAR> on <SEMINARDATE> at <VENUE>.",
                    "These colleagues of yours have registered so far:"}) +
        listTable({"<people_name>", "<people_company>", "<people_email>"}) +
        paragraphs({"", "We look forward to seeing you.", "The Lumora team"});
    writePackage(target, templateParts(body, {}, paragraph(run("<SEMINAR>"))));
    return target;
}

}  // namespace lumora::host
