// The line list in the data folder: what it refuses, and that a damaged list is never
// overwritten or read as empty.

#include <gtest/gtest.h>

#include <fstream>

#include "Automation/error.hpp"
#include "Platform/Telephony/line_list.hpp"
#include "tests/Control/support/deliverable_fixture.hpp"

namespace lumora {
namespace {

using telephony::addLine;
using telephony::Line;
using telephony::LineKind;
using telephony::readLines;
using telephony::removeLine;

std::string refusal(const std::filesystem::path& folder, const Line& line) {
    try {
        addLine(folder, line);
    } catch (const Error& e) {
        return e.description();
    }
    return "";
}

TEST(LineList, LinesKeepTheirOrderAndNamesAreUniqueInAnyCase) {
    testing::TempFolder data;
    addLine(data.path(), Line::loopback("Desk"));
    addLine(data.path(), Line::sip("Office SIP", "sip:alice@pbx.example.com:5070", "secret"));
    EXPECT_EQ(refusal(data.path(), Line::tel("DESK")), "There is already a line named 'DESK'");
    const auto lines = readLines(data.path());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].account, "sip:alice@pbx.example.com:5070");
    EXPECT_EQ(lines[1].password, "secret");
    EXPECT_EQ(std::filesystem::status(data.path() / "lines.json").permissions() & std::filesystem::perms::group_read,
              std::filesystem::perms::none);
    removeLine(data.path(), "desk");
    ASSERT_EQ(readLines(data.path()).size(), 1u);
    EXPECT_THROW(removeLine(data.path(), "desk"), Error);
}

TEST(LineList, BadNamesAndAccountsAreRefused) {
    testing::TempFolder data;
    const std::string badName = "A line name must be 1 to 100 characters without control characters or '~'";
    EXPECT_EQ(refusal(data.path(), Line::loopback("")), badName);
    EXPECT_EQ(refusal(data.path(), Line::loopback("Desk\x07")), badName);
    EXPECT_EQ(refusal(data.path(), Line::loopback("Desk\n2")), badName);
    EXPECT_EQ(refusal(data.path(), Line::loopback("A~B")), badName);
    EXPECT_EQ(refusal(data.path(), Line::loopback(std::string(101, 'x'))), badName);
    for (const char* account : {"alice@pbx", "sip:@pbx", "sip:alice@", "sip:alice@pbx:0", "sip:alice@pbx:99999",
                                "sip:alice@pbx:50a", "sip:al ice@pbx", "sip:alice@pbx;transport=tcp"})
        EXPECT_NE(refusal(data.path(), Line::sip("SIP", account)), "") << account;
    EXPECT_TRUE(readLines(data.path()).empty());
}

TEST(LineList, ADamagedListIsReportedAndKept) {
    testing::TempFolder data;
    {
        std::ofstream out(data.path() / "lines.json");
        out << "{\"lines\": [{\"name\": \"Desk\", \"kind\": \"fax\"}]}";
    }
    EXPECT_THROW(readLines(data.path()), Error);
    EXPECT_THROW(addLine(data.path(), Line::loopback("Desk 2")), Error);
    std::ifstream in(data.path() / "lines.json");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "{\"lines\": [{\"name\": \"Desk\", \"kind\": \"fax\"}]}");
}

}  // namespace
}  // namespace lumora
