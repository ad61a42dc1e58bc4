#include "files_fixture.hpp"

using namespace lumora;
using namespace lumora::files;
using namespace lumora::files::tests;

using DriveTable = FilesTest;

TEST_F(DriveTable, DrivesAreWrittenWithOrWithoutTheirColon) {
    DriveMap::instance().set("q", root() / "q");
    EXPECT_EQ(DriveMap::instance().root("Q:"), root() / "q");
    DriveMap::instance().set("Q:", root() / "other");
    EXPECT_EQ(DriveMap::instance().root("q"), root() / "other");
    EXPECT_EQ(DriveMap::instance().mappings().size(), 2u);
}

TEST_F(DriveTable, OnlyDrivesSharesAndAbsoluteFoldersAreAccepted) {
    EXPECT_AUTOMATION_ERROR(DriveMap::instance().set("CD:", root()), 5);
    EXPECT_AUTOMATION_ERROR(DriveMap::instance().set("\\\\server", root()), 5);
    EXPECT_AUTOMATION_ERROR(DriveMap::instance().set("\\\\server\\share\\deeper", root()), 5);
    EXPECT_AUTOMATION_ERROR(DriveMap::instance().set("E:", "relative/folder"), 5);
}

TEST_F(DriveTable, ClearingADriveMakesItUnreachable) {
    writeBytes("a.txt", "x");
    EXPECT_TRUE(fso.call("FileExists", "C:\\a.txt").toBool());
    DriveMap::instance().clear("c:");
    EXPECT_FALSE(fso.call("FileExists", "C:\\a.txt").toBool());
    EXPECT_AUTOMATION_ERROR(fso.call("GetFile", "C:\\a.txt"), 76);
}

TEST_F(DriveTable, TheDeepestMappingNamesALocalPath) {
    DriveMap::instance().set("S:", root() / "share");
    writeBytes("share/x.doc", "x");
    Object file = fso.call("GetFile", "C:\\share\\x.doc").toObject();
    EXPECT_EQ(file.get("Path").toString(), "S:\\x.doc");
}

using FolderObjects = FilesTest;

TEST_F(FolderObjects, AFileIsNotAFolderNorAFolderAFile) {
    writeBytes("doc.txt", "x");
    std::filesystem::create_directories(root() / "dir");
    EXPECT_AUTOMATION_ERROR(fso.call("GetFolder", "C:\\doc.txt"), 76);
    EXPECT_AUTOMATION_ERROR(fso.call("GetFile", "C:\\dir"), 53);
    EXPECT_FALSE(fso.call("FileExists", "C:\\dir").toBool());
    EXPECT_FALSE(fso.call("FolderExists", "C:\\doc.txt").toBool());
}

TEST_F(FolderObjects, SizeCountsEverythingInside) {
    writeBytes("tree/a.txt", "123");
    writeBytes("tree/sub/b.txt", "4567");
    EXPECT_EQ(fso.call("GetFolder", "C:\\tree").toObject().get("Size").toI4(), 7);
}

TEST_F(FolderObjects, CopyAndMoveThroughTheObjectsFollowTheEntry) {
    writeBytes("in/report.txt", "r");
    std::filesystem::create_directories(root() / "out");
    Object file = fso.call("GetFile", "C:\\in\\report.txt").toObject();
    file.call("Copy", "C:\\out\\copy.txt");
    EXPECT_EQ(readBytes("out/copy.txt"), "r");
    file.call("Move", "C:\\out\\");
    EXPECT_EQ(file.get("Path").toString(), "C:\\out\\report.txt");
    Object folder = fso.call("GetFolder", "C:\\out").toObject();
    EXPECT_AUTOMATION_ERROR(folder.call("Move", "C:\\out\\inner"), 70);
    folder.call("Move", "C:\\moved");
    EXPECT_EQ(folder.get("Files").toObject().count(), 2);
    folder.call("Delete");
    EXPECT_FALSE(present("moved"));
}

TEST_F(FolderObjects, AFolderCreatesTextFilesInItself) {
    std::filesystem::create_directories(root() / "tmp");
    Object out = fso.call("GetFolder", "C:\\tmp").toObject().call("CreateTextFile", "note.txt").toObject();
    out.call("WriteLine");
    out.call("WriteLine", "x");
    EXPECT_EQ(out.get("Line").toI4(), 3);
    out.call("Close");
    EXPECT_EQ(readBytes("tmp/note.txt"), "\r\nx\r\n");
}
