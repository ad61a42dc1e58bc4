// The sample template read back as Word reads it: a zip package whose main part is a template and
// whose text carries the tags the demo page's record fills.

#include "Host/sample_template.hpp"

#include <gtest/gtest.h>
#include <zip.h>

#include <fstream>
#include <memory>
#include <regex>
#include <string>

#include "tests/Automation/temp_folder.hpp"

namespace lumora::tests {
namespace {

struct ZipClose {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

std::string readPart(const std::filesystem::path& package, const char* name) {
    int status = 0;
    std::unique_ptr<zip_t, ZipClose> archive(zip_open(package.c_str(), ZIP_RDONLY, &status));
    if (!archive) return "<no package>";
    zip_stat_t stat;
    if (zip_stat(archive.get(), name, 0, &stat) != 0) return "<no part>";
    zip_file_t* file = zip_fopen(archive.get(), name, 0);
    std::string text(stat.size, '\0');
    zip_int64_t got = zip_fread(file, text.data(), stat.size);
    zip_fclose(file);
    return got == static_cast<zip_int64_t>(stat.size) ? text : "<short read>";
}

TEST(SampleTemplate, IsAWordTemplateWhoseTextCarriesTheDemoRecordsTags) {
    TempFolder temp;
    auto file = host::writeSampleTemplate(temp.path() / "new" / "templates");
    EXPECT_EQ(file, temp.path() / "new" / "templates" / "Welcome letter.dotx");

    EXPECT_NE(readPart(file, "[Content_Types].xml")
                  .find("application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml"),
              std::string::npos);
    EXPECT_NE(readPart(file, "_rels/.rels").find("Target=\"word/document.xml\""), std::string::npos);
    std::string text = readPart(file, "word/document.xml");
    EXPECT_NE(text.find("<w:t xml:space=\"preserve\">&lt;COMPANY&gt;</w:t>"), std::string::npos) << text;
    // The salutation's tag is bold, so the name typed over it is bold too.
    EXPECT_NE(text.find("<w:r><w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">&lt;CONTACT&gt;</w:t></w:r>"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("<w:headerReference w:type=\"default\" r:id=\"rIdHeader1\"/>"), std::string::npos) << text;
    EXPECT_NE(readPart(file, "word/_rels/document.xml.rels").find("Target=\"header1.xml\""), std::string::npos);
    EXPECT_NE(readPart(file, "word/footer1.xml").find("&lt;COMPANY&gt; customer care"), std::string::npos);
}

// The reference box is a VML text box: LibreOffice draws a DrawingML one of a header empty and
// prints its text over the logo. Its text is inside it, and it stands clear of the logo.
TEST(SampleTemplate, HeaderReferenceBoxHoldsItsTextAndStandsRightOfTheLogo) {
    TempFolder temp;
    const std::string header = readPart(host::writeSampleTemplate(temp.path()), "word/header1.xml");
    EXPECT_EQ(header.find("<wps:"), std::string::npos) << header;
    EXPECT_NE(header.find("<v:textbox inset=\"7.2pt,3.6pt,7.2pt,3.6pt\"><w:txbxContent><w:p><w:r><w:t "
                          "xml:space=\"preserve\">Our ref: &lt;ACCOUNTREF&gt;</w:t></w:r></w:p></w:txbxContent>"),
              std::string::npos)
        << header;
    std::smatch box;
    ASSERT_TRUE(std::regex_search(header, box, std::regex(R"(margin-left:([0-9.]+)pt;margin-top:0;width:([0-9.]+)pt)")));
    const double left = std::stod(box[1]), width = std::stod(box[2]);
    constexpr double kLogoWidth = 1371600 / 12700.0;  // EMU per point
    constexpr double kTextWidth = (11906 - 2 * 1440) / 20.0;
    EXPECT_GT(left, kLogoWidth);
    EXPECT_LE(left + width, kTextWidth + 0.05);
}

TEST(SampleTemplate, SeminarInvitationHasAListTableAndEachTemplateItsRecord) {
    TempFolder temp;
    const host::SampleDocuments written = host::writeSampleDocuments(temp.path());
    const std::string seminar = readPart(written.seminarTemplate, "word/document.xml");
    EXPECT_NE(seminar.find("<w:tr><w:trPr><w:tblHeader/></w:trPr><w:tc><w:tcPr><w:tcW w:w=\"3000\" w:type=\"dxa\"/>"
                           "</w:tcPr><w:p><w:r><w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">&lt;people_name&gt;</w:t>"),
              std::string::npos)
        << seminar;
    // Below the bold header, the empty row whose plain look the people's rows copy.
    const std::string emptyCell = "<w:tc><w:tcPr><w:tcW w:w=\"3000\" w:type=\"dxa\"/></w:tcPr><w:p/></w:tc>";
    EXPECT_NE(seminar.find("</w:tr><w:tr>" + emptyCell + emptyCell + emptyCell + "</w:tr></w:tbl>"), std::string::npos)
        << seminar;
    std::ifstream letterRecord(written.letterRecord);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(letterRecord), {}), host::sampleLetterRecord());
    std::ifstream seminarRecord(written.seminarRecord);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(seminarRecord), {}), host::sampleSeminarRecord());
    // Every tag of the templates has its field in the record.
    for (const char* tag : {"CONTACT", "COMPANY", "ADDRESS1", "ADDRESS2", "TOWN", "ACCOUNTREF"})
        EXPECT_NE(host::sampleLetterRecord().find("templatetag=\"" + std::string(tag) + "\""), std::string::npos) << tag;
    for (const char* tag : {"FIRSTNAME", "SEMINAR", "SEMINARDATE", "VENUE"})
        EXPECT_NE(host::sampleSeminarRecord().find("templatetag=\"" + std::string(tag) + "\""), std::string::npos) << tag;
}

// The campaign letter is a document (a merge adds to it, it is not made from it as a template)
// whose tags are all in the body: every one of them names a field-list entry of the sample
// recipients, and the letterhead the letters share carries none.
TEST(SampleTemplate, CampaignLetterTagsAreInItsBodyAndEachNamesAFieldOfTheRecipientList) {
    TempFolder temp;
    const host::SampleDocuments written = host::writeSampleDocuments(temp.path());
    EXPECT_EQ(written.campaignLetter, temp.path() / "Campaign letter.docx");
    EXPECT_NE(readPart(written.campaignLetter, "[Content_Types].xml")
                  .find("application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"),
              std::string::npos);
    const std::string body = readPart(written.campaignLetter, "word/document.xml");
    const std::string recipients(host::sampleCampaignRecipients());
    const std::regex tag("&lt;([A-Z]+)&gt;");
    size_t tags = 0;
    for (std::sregex_iterator found(body.begin(), body.end(), tag), end; found != end; ++found, ++tags)
        EXPECT_NE(recipients.find("templatetag=\"" + (*found)[1].str() + "\""), std::string::npos) << (*found)[1];
    EXPECT_GE(tags, 6u);
    for (const char* part : {"word/header1.xml", "word/footer1.xml"})
        EXPECT_FALSE(std::regex_search(readPart(written.campaignLetter, part), tag)) << part;

    // A dozen records after the model record's place at the top, the awkward values among them.
    const std::regex record("<recipient>");
    EXPECT_EQ(std::distance(std::sregex_iterator(recipients.begin(), recipients.end(), record), std::sregex_iterator()), 12);
    EXPECT_EQ(recipients.find("<MAIL_CAMPAIGN>\n  <recipient>"), 0u);
    for (const char* awkward : {"Smith, Jones &amp; Partners", "The \"Blue Door\" Café", "Дмитрий"})
        EXPECT_NE(recipients.find(awkward), std::string::npos) << awkward;
    std::ifstream file(written.campaignRecipients);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), recipients);
}

TEST(SampleTemplate, WritingAgainReplacesTheFileAndLeavesNothingBeside) {
    TempFolder temp;
    auto file = host::writeSampleTemplate(temp.path());
    std::filesystem::resize_file(file, 3);  // a damaged copy from earlier
    host::writeSampleTemplate(temp.path());
    EXPECT_NE(readPart(file, "word/document.xml").find("&lt;CONTACT&gt;"), std::string::npos);
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(temp.path())) ++entries;
    EXPECT_EQ(entries, 1u);
}

TEST(SampleTemplate, AFolderThatCannotBeMadeIsAnErrorNotAHalfWrittenFile) {
    TempFolder temp;
    std::ofstream(temp.path() / "blocker") << "a file where the folder should be";
    EXPECT_THROW(host::writeSampleTemplate(temp.path() / "blocker" / "templates"), std::exception);
}

}  // namespace
}  // namespace lumora::tests
