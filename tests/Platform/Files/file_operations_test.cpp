#include "files_fixture.hpp"

using namespace lumora;
using namespace lumora::files;
using namespace lumora::files::tests;

namespace fs = std::filesystem;

namespace {

void makeReadOnly(const fs::path& file) {
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

}  // namespace

using DeletingFiles = FilesTest;

TEST_F(DeletingFiles, AReadOnlyFileStaysUnlessForced) {
    writeBytes("locked.doc", "keep");
    makeReadOnly(root() / "locked.doc");
    EXPECT_AUTOMATION_ERROR(fso.call("DeleteFile", "C:\\locked.doc", false), 70);
    EXPECT_AUTOMATION_ERROR(fso.call("DeleteFile", "C:\\locked.doc"), 70);
    EXPECT_EQ(readBytes("locked.doc"), "keep");
    fso.call("DeleteFile", "C:\\locked.doc", true);
    EXPECT_FALSE(present("locked.doc"));
}

TEST_F(DeletingFiles, AMissingFileIsFileNotFound) {
    EXPECT_AUTOMATION_ERROR(fso.call("DeleteFile", "C:\\gone.doc"), 53);
    std::filesystem::create_directories(root() / "folder.doc");
    EXPECT_AUTOMATION_ERROR(fso.call("DeleteFile", "C:\\folder.doc"), 53);
    EXPECT_TRUE(present("folder.doc"));
}

TEST_F(DeletingFiles, AWildcardDeletesEveryMatchingFileAndNothingElse) {
    writeBytes("out/a.tmp", "1");
    writeBytes("out/B.TMP", "2");
    writeBytes("out/keep.txt", "3");
    writeBytes("out/sub.tmp/inner.txt", "4");
    fso.call("DeleteFile", "C:\\out\\*.tmp");
    EXPECT_FALSE(present("out/a.tmp"));
    EXPECT_FALSE(present("out/B.TMP"));
    EXPECT_TRUE(present("out/keep.txt"));
    EXPECT_TRUE(present("out/sub.tmp/inner.txt"));
    EXPECT_AUTOMATION_ERROR(fso.call("DeleteFile", "C:\\out\\*.tmp"), 53);
    EXPECT_AUTOMATION_ERROR(fso.call("DeleteFile", "C:\\nowhere\\*.tmp"), 76);
}

TEST_F(DeletingFiles, AWildcardMeetingAReadOnlyFileDeletesNothing) {
    writeBytes("out/a.tmp", "1");
    writeBytes("out/b.tmp", "2");
    makeReadOnly(root() / "out/b.tmp");
    EXPECT_AUTOMATION_ERROR(fso.call("DeleteFile", "C:\\out\\?.tmp"), 70);
    EXPECT_TRUE(present("out/a.tmp"));
    EXPECT_TRUE(present("out/b.tmp"));
}

TEST_F(DeletingFiles, DeleteFolderRemovesTheTreeButRespectsReadOnlyFiles) {
    writeBytes("merge/data/rows.csv", "x");
    makeReadOnly(root() / "merge/data/rows.csv");
    EXPECT_AUTOMATION_ERROR(fso.call("DeleteFolder", "C:\\merge"), 70);
    EXPECT_TRUE(present("merge/data/rows.csv"));
    fso.call("DeleteFolder", "C:\\merge", true);
    EXPECT_FALSE(present("merge"));
    EXPECT_AUTOMATION_ERROR(fso.call("DeleteFolder", "C:\\merge"), 76);
}

using CopyingAndMoving = FilesTest;

TEST_F(CopyingAndMoving, CopyFileOverwritesOnlyWhenAllowed) {
    writeBytes("Templates/lines.htm", "new");
    writeBytes("tmp/59lines.htm", "old");
    EXPECT_AUTOMATION_ERROR(fso.call("CopyFile", "C:\\Templates\\lines.htm", "C:\\tmp\\59lines.htm", false), 58);
    EXPECT_EQ(readBytes("tmp/59lines.htm"), "old");
    fso.call("CopyFile", "C:\\Templates\\lines.htm", "C:\\tmp\\59lines.htm", true);
    EXPECT_EQ(readBytes("tmp/59lines.htm"), "new");
    EXPECT_EQ(readBytes("Templates/lines.htm"), "new");
}

TEST_F(CopyingAndMoving, AReadOnlyTargetKeepsItsContent) {
    writeBytes("a.txt", "new");
    writeBytes("b.txt", "old");
    makeReadOnly(root() / "b.txt");
    EXPECT_AUTOMATION_ERROR(fso.call("CopyFile", "C:\\a.txt", "C:\\b.txt", true), 70);
    EXPECT_EQ(readBytes("b.txt"), "old");
}

TEST_F(CopyingAndMoving, CopyingAFileOntoItselfIsRefused) {
    writeBytes("a.txt", "content");
    EXPECT_AUTOMATION_ERROR(fso.call("CopyFile", "C:\\a.txt", "C:\\A.TXT"), 70);
    EXPECT_EQ(readBytes("a.txt"), "content");
}

TEST_F(CopyingAndMoving, ATrailingSeparatorOrAWildcardCopiesIntoAFolder) {
    writeBytes("src/one.dot", "1");
    writeBytes("src/two.dot", "2");
    std::filesystem::create_directories(root() / "dst");
    fso.call("CopyFile", "C:\\src\\one.dot", "C:\\dst\\");
    EXPECT_EQ(readBytes("dst/one.dot"), "1");
    fso.call("CopyFile", "C:\\src\\*.dot", "C:\\dst");
    EXPECT_EQ(readBytes("dst/two.dot"), "2");
    EXPECT_AUTOMATION_ERROR(fso.call("CopyFile", "C:\\src\\one.dot", "C:\\missing\\"), 76);
    EXPECT_AUTOMATION_ERROR(fso.call("CopyFile", "C:\\src\\none.dot", "C:\\dst\\"), 53);
}

TEST_F(CopyingAndMoving, AFolderIsNeverCopiedIntoItself) {
    writeBytes("tree/a.txt", "1");
    EXPECT_AUTOMATION_ERROR(fso.call("CopyFolder", "C:\\tree", "C:\\tree\\copy"), 70);
    EXPECT_FALSE(present("tree/copy"));
    fso.call("CopyFolder", "C:\\tree", "C:\\copy");
    EXPECT_EQ(readBytes("copy/a.txt"), "1");
}

TEST_F(CopyingAndMoving, MoveFileNeverReplacesAnExistingFile) {
    writeBytes("a.txt", "a");
    writeBytes("b.txt", "b");
    EXPECT_AUTOMATION_ERROR(fso.call("MoveFile", "C:\\a.txt", "C:\\b.txt"), 58);
    EXPECT_EQ(readBytes("b.txt"), "b");
    fso.call("MoveFile", "C:\\a.txt", "C:\\c.txt");
    EXPECT_FALSE(present("a.txt"));
    EXPECT_EQ(readBytes("c.txt"), "a");
}

TEST_F(CopyingAndMoving, CreateFolderNeedsItsParentAndAFreeName) {
    Object folder = fso.call("CreateFolder", "C:\\Letters").toObject();
    EXPECT_EQ(folder.get("Name").toString(), "Letters");
    EXPECT_AUTOMATION_ERROR(fso.call("CreateFolder", "C:\\Letters"), 58);
    EXPECT_AUTOMATION_ERROR(fso.call("CreateFolder", "C:\\No\\Such\\Parent"), 76);
}

using FileAndFolderObjects = FilesTest;

TEST_F(FileAndFolderObjects, SettingNameRenamesTheFile) {
    writeBytes("tmp/LUM1A2B.tmp", "<html/>");
    writeBytes("tmp/taken.htm", "other");
    Object file = fso.call("GetFile", "C:\\tmp\\LUM1A2B.tmp").toObject();
    std::string name = file.get("Name").toString();
    file.put("Name", name.substr(0, name.size() - 3) + "htm");
    EXPECT_EQ(readBytes("tmp/LUM1A2B.htm"), "<html/>");
    EXPECT_FALSE(present("tmp/LUM1A2B.tmp"));
    EXPECT_EQ(file.get("Path").toString(), "C:\\tmp\\LUM1A2B.htm");
    EXPECT_AUTOMATION_ERROR(file.put("Name", "taken.htm"), 58);
    EXPECT_AUTOMATION_ERROR(file.put("Name", "..\\escape.htm"), 52);
    EXPECT_EQ(readBytes("tmp/taken.htm"), "other");
}

TEST_F(FileAndFolderObjects, SizeDatesAndAttributesDescribeTheFile) {
    writeBytes("a.txt", "12345");
    Object file = fso.call("GetFile", "C:\\a.txt").toObject();
    EXPECT_EQ(file.get("Size").toI4(), 5);
    EXPECT_GT(file.get("DateLastModified").toDate().days, 40000.0);
    EXPECT_EQ(file.get("Attributes").toI4() & 1, 0);
    file.put("Attributes", 1);
    EXPECT_EQ(file.get("Attributes").toI4() & 1, 1);
    EXPECT_AUTOMATION_ERROR(file.call("Delete"), 70);
    file.call("Delete", true);
    EXPECT_AUTOMATION_ERROR(file.get("Size"), 53);
    EXPECT_AUTOMATION_ERROR(fso.call("GetFile", "C:\\a.txt"), 53);
}

TEST_F(FileAndFolderObjects, FilesListsTheFolderAndFindsByName) {
    writeBytes("Templates/b.dotx", "");
    writeBytes("Templates/A.dot", "");
    writeBytes("Templates/~$A.dot", "");
    std::filesystem::create_directories(root() / "Templates/Business");
    Object folder = fso.call("GetFolder", "C:\\Templates").toObject();
    Object files = folder.get("Files").toObject();
    EXPECT_EQ(files.count(), 3);
    std::vector<std::string> names;
    for (const Variant& file : files.elements()) names.push_back(file.toObject().get("Name").toString());
    EXPECT_EQ(names, (std::vector<std::string>{"A.dot", "b.dotx", "~$A.dot"}));
    EXPECT_EQ(files.item("b.dotx").get("Size").toI4(), 0);
    EXPECT_AUTOMATION_ERROR(files.item("c.dot"), 53);
    Object subFolders = folder.get("SubFolders").toObject();
    ASSERT_EQ(subFolders.count(), 1);
    EXPECT_EQ(subFolders.elements()[0].toObject().get("Name").toString(), "Business");
    subFolders.call("Add", "Home");
    EXPECT_TRUE(std::filesystem::is_directory(root() / "Templates/Home"));
}

TEST_F(FileAndFolderObjects, AMissingFolderIsPathNotFound) {
    EXPECT_AUTOMATION_ERROR(fso.call("GetFolder", "C:\\Nowhere"), 76);
    std::filesystem::create_directories(root() / "Gone");
    Object folder = fso.call("GetFolder", "C:\\Gone").toObject();
    std::filesystem::remove(root() / "Gone");
    EXPECT_AUTOMATION_ERROR(folder.get("Files"), 76);
}
