// The seminar invitation: tags of the seminar in the body, and a table whose header cells name
// the columns of the record's list of people, filled with one row per person from its empty
// second row on.

#include <string>
#include <vector>

#include "sample_package.hpp"
#include "sample_template.hpp"

namespace lumora::host {

namespace {

constexpr int kColumnWidth = 3000;  // twentieths of a point

std::string cell(const std::string& content) {
    return "<w:tc><w:tcPr><w:tcW w:w=\"" + std::to_string(kColumnWidth) + "\" w:type=\"dxa\"/></w:tcPr>" +
           paragraph(content) + "</w:tc>";
}

// A bordered table with a row of bold header cells, repeated on each page, and an empty row in
// plain text below it. The rows added for the people copy the table's last row, as the word
// processor's Rows.Add does, so they take the plain row's look and not the header's bold.
std::string listTable(const std::vector<std::string_view>& headers) {
    std::string grid;
    std::string header;
    std::string empty;
    for (std::string_view tag : headers) {
        grid += "<w:gridCol w:w=\"" + std::to_string(kColumnWidth) + "\"/>";
        header += cell(run(tag, RunStyle::Bold));
        empty += cell({});
    }
    std::string borders;
    for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"})
        borders += std::string("<w:") + side + " w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"/>";
    return R"(<w:tbl><w:tblPr><w:tblW w:w="0" w:type="auto"/><w:tblBorders>)" + borders +
           "</w:tblBorders></w:tblPr><w:tblGrid>" + grid + "</w:tblGrid><w:tr><w:trPr><w:tblHeader/></w:trPr>" + header +
           "</w:tr><w:tr>" + empty + "</w:tr></w:tbl>";
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
