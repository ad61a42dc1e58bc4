// An attachment's Content-Type follows what its bytes are; its name decides only for bytes that
// carry no mark of their own.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "Platform/Outlook/mail_media_types.hpp"
#include "tests/Automation/temp_folder.hpp"
#include "tests/support/docx_files.hpp"
#include "pim_fixture.hpp"

namespace lumora::pim::tests {
namespace {

std::string typeOf(const std::string& name, const std::string& bytes) {
    const MediaType media = attachmentMediaType(name, bytes);
    return media.type + "/" + media.subtype + (media.charset.empty() ? "" : "; charset=" + media.charset);
}

std::string zipOf(const std::vector<std::pair<std::string, std::string>>& entries) {
    lumora::tests::TempFolder folder;
    lumora::testing::writeZip(folder.path() / "package", entries);
    return readFile(folder.path() / "package");
}

TEST(MailMediaTypes, OfficePackagesAreToldByTheirPartsNotTheirName) {
    const std::string contentTypes = "<Types/>";
    EXPECT_EQ(typeOf("Attachment.Doc", zipOf({{"[Content_Types].xml", contentTypes}, {"word/document.xml", "<w/>"}})),
              "application/vnd.openxmlformats-officedocument.wordprocessingml.document");
    EXPECT_EQ(typeOf("prices.zip", zipOf({{"[Content_Types].xml", contentTypes}, {"xl/workbook.xml", "<x/>"}})),
              "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");
    EXPECT_EQ(typeOf("report.docx", zipOf({{"word/document.xml", "<w/>"}})), "application/zip");  // no content types
    EXPECT_EQ(typeOf("photos.docx", zipOf({{"[Content_Types].xml", contentTypes}, {"img/a.png", "png"}})), "application/zip");
    EXPECT_EQ(typeOf("cut.docx", std::string("PK\x03\x04\x14\x00 cut short", 16)), "application/zip");

    const std::string compound("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0", 10);
    EXPECT_EQ(typeOf("Letter.DOC", compound), "application/msword");
    EXPECT_EQ(typeOf("prices.xls", compound), "application/vnd.ms-excel");
    EXPECT_EQ(typeOf("Attachment.docx", compound), "application/octet-stream");  // not a package after all
}

TEST(MailMediaTypes, MagicNumbersBeatExtensionsAndTextGetsItsCharset) {
    EXPECT_EQ(typeOf("scan.bin", "%PDF-1.7\n"), "application/pdf");
    EXPECT_EQ(typeOf("logo.jpg", std::string("\x89PNG\r\n\x1A\n\0", 9)), "image/png");
    EXPECT_EQ(typeOf("logo", "\xFF\xD8\xFF\xE0"), "image/jpeg");
    EXPECT_EQ(typeOf("logo.png", "GIF87a"), "image/gif");
    EXPECT_EQ(typeOf("contact.txt", "\xEF\xBB\xBF\r\nbegin:vcard\r\n"), "text/vcard; charset=utf-8");
    EXPECT_EQ(typeOf("invite.dat", "BEGIN:VCALENDAR\r\n"), "text/calendar; charset=utf-8");
    EXPECT_EQ(typeOf("notes.txt", "Grüße\r\n"), "text/plain; charset=utf-8");
    EXPECT_EQ(typeOf("notes.txt", "Gr\xFC\xDF" "e\r\n"), "text/plain");  // a legacy code page: not said
    EXPECT_EQ(typeOf("units.txt", std::string("\xFF\xFEG\0", 4)), "text/plain; charset=utf-16");
    EXPECT_EQ(typeOf("table.csv", "a;b\r\n"), "text/csv; charset=utf-8");
    EXPECT_EQ(typeOf("readme", "plain words"), "text/plain; charset=utf-8");
    EXPECT_EQ(typeOf("quote.pdf", "not a PDF at all\n"), "text/plain; charset=utf-8");
    EXPECT_EQ(typeOf("quote.pdf", std::string("%PDF\0\x01", 6)), "application/pdf");  // binary: the name decides
    EXPECT_EQ(typeOf("data.txt", std::string("\x01\x02\0", 3)), "application/octet-stream");
    EXPECT_EQ(typeOf("empty.pdf", ""), "application/pdf");
}

}  // namespace
}  // namespace lumora::pim::tests
