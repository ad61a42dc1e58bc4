#include "files_fixture.hpp"

using namespace lumora;
using namespace lumora::files;
using namespace lumora::files::tests;

namespace {
constexpr int ForReading = 1, ForWriting = 2, ForAppending = 8;
constexpr int TristateUseDefault = -2, TristateTrue = -1, TristateFalse = 0;
}  // namespace

using TextModes = FilesTest;

TEST_F(TextModes, WritingReplacesAppendingAddsReadingReturnsIt) {
    Object out = fso.call("OpenTextFile", "C:\\Lumora.xsl", ForAppending, true, TristateFalse).toObject();
    out.call("WriteLine", "<xsl:stylesheet/>");
    out.call("Close");
    out = fso.call("OpenTextFile", "C:\\Lumora.xsl", ForAppending).toObject();
    out.call("Write", "tail");
    out.call("Close");
    EXPECT_EQ(readBytes("Lumora.xsl"), "<xsl:stylesheet/>\r\ntail");

    out = fso.call("OpenTextFile", "C:\\Lumora.xsl", ForWriting).toObject();
    out.call("Write", "fresh");
    out.call("WriteBlankLines", 2);
    out.call("Close");
    EXPECT_EQ(readBytes("Lumora.xsl"), "fresh\r\n\r\n");

    Object in = fso.call("OpenTextFile", "C:\\Lumora.xsl").toObject();
    EXPECT_EQ(in.call("ReadAll").toString(), "fresh\r\n\r\n");
}

TEST_F(TextModes, AMissingFileIsCreatedOnlyWhenAsked) {
    EXPECT_AUTOMATION_ERROR(fso.call("OpenTextFile", "C:\\data.csv", ForAppending, false), 53);
    EXPECT_AUTOMATION_ERROR(fso.call("OpenTextFile", "C:\\data.csv", ForReading), 53);
    EXPECT_AUTOMATION_ERROR(fso.call("OpenTextFile", "C:\\no\\data.csv", ForWriting, true), 76);
    EXPECT_AUTOMATION_ERROR(fso.call("OpenTextFile", "C:\\data.csv", 3, true), 5);
    EXPECT_FALSE(present("data.csv"));
    fso.call("OpenTextFile", "C:\\data.csv", ForWriting, true).toObject().call("Close");
    EXPECT_TRUE(present("data.csv"));
}

TEST_F(TextModes, CreateTextFileRefusesAnExistingFileWithoutOverwrite) {
    writeBytes("CRMWordMergeData.csv", "old");
    EXPECT_AUTOMATION_ERROR(fso.call("CreateTextFile", "C:\\CRMWordMergeData.csv", false), 58);
    EXPECT_EQ(readBytes("CRMWordMergeData.csv"), "old");
    Object out = fso.call("CreateTextFile", "C:\\CRMWordMergeData.csv", true).toObject();
    out.call("WriteLine", "\"Name\",\"City\"");
    out.call("Close");
    EXPECT_EQ(readBytes("CRMWordMergeData.csv"), "\"Name\",\"City\"\r\n");
}

TEST_F(TextModes, ARewriteLeavesTheOriginalWholeUntilClosed) {
    writeBytes("quote.htm", "original");
    Object out = fso.call("OpenTextFile", "C:\\quote.htm", ForWriting).toObject();
    out.call("Write", "half of the new");
    EXPECT_EQ(readBytes("quote.htm"), "original");
    out.call("Close");
    EXPECT_EQ(readBytes("quote.htm"), "half of the new");
    // A stream released without Close keeps what it wrote, as script's streams do.
    fso.call("CreateTextFile", "C:\\quote.htm").toObject().call("Write", "released");
    EXPECT_EQ(readBytes("quote.htm"), "released");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root()), {}), 1);
}

TEST_F(TextModes, ARewriteThroughALinkChangesTheFileItLeadsTo) {
    writeBytes("shared/template.htm", "old");
    std::filesystem::create_symlink(root() / "shared/template.htm", root() / "link.htm");
    Object out = fso.call("CreateTextFile", "C:\\link.htm", true).toObject();
    out.call("Write", "new");
    out.call("Close");
    EXPECT_TRUE(std::filesystem::is_symlink(root() / "link.htm"));
    EXPECT_EQ(readBytes("shared/template.htm"), "new");
}

TEST_F(TextModes, AReadOnlyFileIsNotWritten) {
    writeBytes("locked.txt", "keep");
    std::filesystem::permissions(root() / "locked.txt", std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_AUTOMATION_ERROR(fso.call("OpenTextFile", "C:\\locked.txt", ForWriting), 70);
    EXPECT_AUTOMATION_ERROR(fso.call("OpenTextFile", "C:\\locked.txt", ForAppending), 70);
    EXPECT_AUTOMATION_ERROR(fso.call("CreateTextFile", "C:\\locked.txt", true), 70);
    EXPECT_EQ(readBytes("locked.txt"), "keep");
}

using TextFormats = FilesTest;

TEST_F(TextFormats, UnicodeIsUtf16LittleEndianWithAByteOrderMark) {
    Object out = fso.call("CreateTextFile", "C:\\u.txt", true, true).toObject();
    out.call("Write", "A£😀");
    out.call("Close");
    EXPECT_EQ(readBytes("u.txt"), std::string("\xFF\xFE" "A\0\xA3\0\x3D\xD8\x00\xDE", 10));
    out = fso.call("OpenTextFile", "C:\\u.txt", ForAppending, false, TristateTrue).toObject();
    out.call("Write", "B");
    out.call("Close");
    Object in = fso.call("OpenTextFile", "C:\\u.txt", ForReading, false, TristateTrue).toObject();
    EXPECT_EQ(in.call("ReadAll").toString(), "A£😀B");
    // The system default recognises the mark.
    in = fso.call("OpenTextFile", "C:\\u.txt", ForReading, false, TristateUseDefault).toObject();
    EXPECT_EQ(in.call("Read", 3).toString(), "A£😀");
}

TEST_F(TextFormats, AnsiPassesEveryByteThrough) {
    std::string bytes = "Price \xA3" "5 \xE2\x82\xAC\r\n";  // a legacy pound sign beside UTF-8
    writeBytes("legacy.htm", bytes);
    Object in = fso.call("OpenTextFile", "C:\\legacy.htm", ForReading, false, TristateFalse).toObject();
    std::string text = in.call("ReadAll").toString();
    in.call("Close");
    Object out = fso.call("OpenTextFile", "C:\\legacy.htm", ForWriting, false, TristateFalse).toObject();
    out.call("Write", text);
    out.call("Close");
    EXPECT_EQ(readBytes("legacy.htm"), bytes);
}

using ReadingText = FilesTest;

TEST_F(ReadingText, LinesEndAtCrLfLfOrCr) {
    writeBytes("lines.txt", "one\r\ntwo\nthree\rfour");
    Object in = fso.call("OpenTextFile", "C:\\lines.txt").toObject();
    std::vector<std::string> lines;
    while (!in.get("AtEndOfStream").toBool()) lines.push_back(in.call("ReadLine").toString());
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "three", "four"}));
    EXPECT_EQ(in.get("Line").toI4(), 4);
}

TEST_F(ReadingText, ReadCountsCharactersNotBytes) {
    writeBytes("chars.txt", "£€😀xyz");
    Object in = fso.call("OpenTextFile", "C:\\chars.txt").toObject();
    EXPECT_EQ(in.call("Read", 2).toString(), "£€");
    EXPECT_EQ(in.get("Column").toI4(), 3);
    in.call("Skip", 1);
    EXPECT_EQ(in.call("Read", 10).toString(), "xyz");
}

TEST_F(ReadingText, ReadingPastTheEndIsError62) {
    writeBytes("empty.txt", "");
    writeBytes("one.txt", "x");
    // An empty file has nothing for ReadAll either, as script's streams report.
    EXPECT_AUTOMATION_ERROR(fso.call("OpenTextFile", "C:\\empty.txt").toObject().call("ReadAll"), 62);
    Object in = fso.call("OpenTextFile", "C:\\one.txt").toObject();
    EXPECT_EQ(in.call("ReadLine").toString(), "x");
    EXPECT_TRUE(in.get("AtEndOfStream").toBool());
    EXPECT_AUTOMATION_ERROR(in.call("ReadLine"), 62);
    EXPECT_AUTOMATION_ERROR(in.call("Read", 1), 62);
}

TEST_F(ReadingText, TheWrongDirectionOrAClosedStreamIsError52) {
    writeBytes("a.txt", "abc");
    Object in = fso.call("OpenTextFile", "C:\\a.txt").toObject();
    EXPECT_AUTOMATION_ERROR(in.call("Write", "x"), 52);
    in.call("Close");
    EXPECT_AUTOMATION_ERROR(in.call("ReadAll"), 52);
    Object out = fso.call("OpenTextFile", "C:\\a.txt", ForAppending).toObject();
    EXPECT_AUTOMATION_ERROR(out.call("ReadLine"), 52);
    EXPECT_AUTOMATION_ERROR(out.get("AtEndOfStream"), 52);
}

TEST_F(ReadingText, LongFilesAreReadAcrossBufferBoundaries) {
    std::string content;
    for (int i = 0; i < 20000; ++i) content += "line " + std::to_string(i) + "\r\n";
    Object out = fso.call("CreateTextFile", "C:\\long.txt", true, true).toObject();
    out.call("Write", content);
    out.call("Close");
    Object in = fso.call("GetFile", "C:\\long.txt").toObject().call("OpenAsTextStream", ForReading, TristateTrue).toObject();
    int count = 0;
    std::string last;
    while (!in.get("AtEndOfStream").toBool()) {
        last = in.call("ReadLine").toString();
        ++count;
    }
    EXPECT_EQ(count, 20000);
    EXPECT_EQ(last, "line 19999");
}

TEST_F(ReadingText, SkipLineAndAtEndOfLineFollowTheText) {
    writeBytes("a.txt", "header\r\nab\r\n");
    Object in = fso.call("OpenTextFile", "C:\\a.txt").toObject();
    in.call("SkipLine");
    EXPECT_FALSE(in.get("AtEndOfLine").toBool());
    EXPECT_EQ(in.call("Read", 2).toString(), "ab");
    EXPECT_TRUE(in.get("AtEndOfLine").toBool());
    EXPECT_EQ(in.get("Line").toI4(), 2);
    EXPECT_EQ(in.get("Column").toI4(), 3);
}

TEST_F(TextFormats, TheSystemDefaultReadsAFileWithoutAMarkAsAnsi) {
    writeBytes("plain.txt", std::string("A\0B\0", 4));
    Object in = fso.call("OpenTextFile", "C:\\plain.txt", ForReading, false, TristateUseDefault).toObject();
    EXPECT_EQ(in.call("ReadAll").toString(), std::string("A\0B\0", 4));
    // Asked for Unicode, the same bytes are two UTF-16 characters.
    in = fso.call("OpenTextFile", "C:\\plain.txt", ForReading, false, TristateTrue).toObject();
    EXPECT_EQ(in.call("ReadAll").toString(), "AB");
}
