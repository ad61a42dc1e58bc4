// The sample template read back as Word reads it: a zip package whose main part is a template and
// whose text carries the tags the demo page's record fills.

#include "Host/sample_template.hpp"

#include <gtest/gtest.h>
#include <zip.h>

#include <fstream>
#include <memory>
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
    const std::string header = readPart(file, "word/header1.xml");
    EXPECT_NE(header.find("<wps:txbx><w:txbxContent><w:p><w:r><w:t xml:space=\"preserve\">Our ref: &lt;ACCOUNTREF&gt;"),
              std::string::npos)
        << header;
    EXPECT_NE(readPart(file, "word/footer1.xml").find("&lt;COMPANY&gt; customer care"), std::string::npos);
}

TEST(SampleTemplate, SeminarInvitationHasAListTableAndEachTemplateItsRecord) {
    TempFolder temp;
    const host::SampleDocuments written = host::writeSampleDocuments(temp.path());
    const std::string seminar = readPart(written.seminarTemplate, "word/document.xml");
    EXPECT_NE(seminar.find("<w:tr><w:tc><w:tcPr><w:tcW w:w=\"3000\" w:type=\"dxa\"/></w:tcPr><w:p><w:r><w:rPr><w:b/>"
                           "</w:rPr><w:t xml:space=\"preserve\">&lt;people_name&gt;</w:t>"),
              std::string::npos)
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
