#include <unistd.h>

#include "files_fixture.hpp"
#include "Automation/registry.hpp"
#include "Platform/Files/page_path.hpp"
#include "Platform/Files/register.hpp"

using namespace lumora;
using namespace lumora::files;
using namespace lumora::files::tests;

using PagePaths = FilesTest;

TEST_F(PagePaths, BackslashesAndSlashesBothSeparateOnAMappedDrive) {
    writeBytes("Templates/Letters/welcome.dot", "x");
    EXPECT_TRUE(fso.call("FileExists", "C:\\Templates\\Letters\\welcome.dot").toBool());
    EXPECT_TRUE(fso.call("FileExists", "C:/Templates/Letters/welcome.dot").toBool());
    EXPECT_TRUE(fso.call("FileExists", "c:\\Templates/Letters\\welcome.dot").toBool());
    EXPECT_TRUE(fso.call("FolderExists", "C:\\Templates\\").toBool());
}

TEST_F(PagePaths, LocalPathsAsTheDesktopGivesThemWorkUnchanged) {
    writeBytes("tmp/quote.htm", "x");
    std::string local = (root() / "tmp" / "").string();
    EXPECT_TRUE(fso.call("FolderExists", local).toBool());
    Object file = fso.call("GetFile", local + "quote.htm").toObject();
    EXPECT_EQ(file.get("Path").toString(), local + "quote.htm");
}

TEST_F(PagePaths, AnUnmappedDriveOrShareIsPathNotFound) {
    EXPECT_AUTOMATION_ERROR(fso.call("GetFolder", "D:\\Data"), 76);
    EXPECT_AUTOMATION_ERROR(fso.call("GetFile", "\\\\fileserver\\crm\\a.doc"), 76);
    EXPECT_AUTOMATION_ERROR(fso.call("OpenTextFile", "Q:\\x.txt", 2, true), 76);
    // Existence questions answer False instead of failing.
    EXPECT_FALSE(fso.call("FileExists", "D:\\Data\\a.txt").toBool());
    EXPECT_FALSE(fso.call("DriveExists", "D:").toBool());
    EXPECT_TRUE(fso.call("DriveExists", "c").toBool());
}

TEST_F(PagePaths, AMappedShareReachesItsFolder) {
    DriveMap::instance().set("\\\\FileServer\\CRM", root() / "share");
    writeBytes("share/Docs/a.doc", "x");
    Object file = fso.call("GetFile", "\\\\fileserver\\crm\\Docs\\a.doc").toObject();
    EXPECT_EQ(file.get("Path").toString(), "\\\\FileServer\\CRM\\Docs\\a.doc");
    EXPECT_TRUE(fso.call("DriveExists", "\\\\FILESERVER\\crm").toBool());
}

TEST_F(PagePaths, DotDotStopsAtTheDrivesRoot) {
    std::filesystem::create_directories(root() / "inside");
    writeBytes("inside/secret.txt", "mine");
    // However many levels up the page climbs, it stays inside the mapped folder.
    Object file = fso.call("GetFile", "C:\\..\\..\\..\\inside\\secret.txt").toObject();
    EXPECT_EQ(file.get("Path").toString(), "C:\\inside\\secret.txt");
    EXPECT_FALSE(fso.call("FileExists", "C:\\..\\" + root().filename().string() + "\\inside\\secret.txt").toBool());
}

TEST_F(PagePaths, AControlCharacterMakesABadNameWhereverANameIsGiven) {
    writeBytes("Out/a.txt", "a");
    Object folder = fso.call("GetFolder", "C:\\Out").toObject();
    Object file = fso.call("GetFile", "C:\\Out\\a.txt").toObject();
    for (std::string name : {std::string("a\x01.txt"), std::string("line\nbreak.txt"), std::string("tab\there.txt"),
                             std::string("end\r"), std::string("nul\0.txt", 8), std::string("\x1f")}) {
        EXPECT_AUTOMATION_ERROR(resolvePagePath("C:\\Out\\" + name), 52);
        EXPECT_AUTOMATION_ERROR(resolvePagePath((root() / "Out" / name).string()), 52);
        EXPECT_AUTOMATION_ERROR(fso.call("CreateTextFile", "C:\\Out\\" + name), 52);
        EXPECT_AUTOMATION_ERROR(fso.call("CopyFile", "C:\\Out\\a.txt", "C:\\Out\\" + name), 52);
        EXPECT_AUTOMATION_ERROR(folder.call("CreateTextFile", name), 52);
        EXPECT_AUTOMATION_ERROR(folder.getObject("SubFolders").call("Add", name), 52);
        EXPECT_AUTOMATION_ERROR(file.put("Name", name), 52);
        EXPECT_FALSE(fso.call("FileExists", "C:\\Out\\" + name).toBool());
    }
    EXPECT_EQ(folder.getObject("Files").count(), 1);
    EXPECT_EQ(folder.getObject("SubFolders").count(), 0);
    EXPECT_EQ(readBytes("Out/a.txt"), "a");
}

TEST_F(PagePaths, NamesInAnotherLetterCaseAreFoundOnAMappedDrive) {
    writeBytes("Templates/Quote.DOT", "x");
    Object file = fso.call("GetFile", "C:\\templates\\quote.dot").toObject();
    EXPECT_EQ(file.get("Name").toString(), "Quote.DOT");
    EXPECT_EQ(file.get("Path").toString(), "C:\\Templates\\Quote.DOT");
}

TEST_F(PagePaths, ReportedPathsKeepThePagesDriveForm) {
    std::filesystem::create_directories(root() / "Quotes");
    Object folder = fso.call("GetFolder", "C:/Quotes/").toObject();
    EXPECT_EQ(folder.get("Path").toString(), "C:\\Quotes");
    EXPECT_EQ(folder.value().toString(), "C:\\Quotes");  // Path is the default member
    Object drive = folder.get("ParentFolder").toObject();
    EXPECT_EQ(drive.get("Path").toString(), "C:\\");
    EXPECT_TRUE(drive.get("IsRootFolder").toBool());
    EXPECT_TRUE(drive.get("ParentFolder").toObject().isNothing());
}

TEST_F(PagePaths, PathNameFunctionsWorkOnTheTextAlone) {
    EXPECT_EQ(fso.call("GetFileName", "C:\\Quotes\\lines.htm").toString(), "lines.htm");
    EXPECT_EQ(fso.call("GetFileName", "C:\\Quotes\\").toString(), "Quotes");
    EXPECT_EQ(fso.call("GetFileName", "C:\\").toString(), "");
    EXPECT_EQ(fso.call("GetParentFolderName", "C:\\Quotes\\lines.htm").toString(), "C:\\Quotes");
    EXPECT_EQ(fso.call("GetParentFolderName", "C:\\Quotes").toString(), "C:\\");
    EXPECT_EQ(fso.call("GetParentFolderName", "\\\\srv\\share\\x").toString(), "\\\\srv\\share");
    EXPECT_EQ(fso.call("GetParentFolderName", "/tmp/a.txt").toString(), "/tmp");
    EXPECT_EQ(fso.call("GetParentFolderName", "lines.htm").toString(), "");
    EXPECT_EQ(fso.call("GetExtensionName", "report.final.DOCX").toString(), "DOCX");
    EXPECT_EQ(fso.call("GetExtensionName", "C:\\noext").toString(), "");
    EXPECT_EQ(fso.call("GetBaseName", "C:\\Quotes\\report.final.docx").toString(), "report.final");
    EXPECT_EQ(fso.call("GetDriveName", "c:\\x").toString(), "c:");
    EXPECT_EQ(fso.call("GetDriveName", "\\\\srv\\share\\x").toString(), "\\\\srv\\share");
    EXPECT_EQ(fso.call("BuildPath", "C:\\Quotes", "lines.htm").toString(), "C:\\Quotes\\lines.htm");
    EXPECT_EQ(fso.call("BuildPath", "C:\\Quotes\\", "\\lines.htm").toString(), "C:\\Quotes\\lines.htm");
    EXPECT_EQ(fso.call("BuildPath", "/tmp/lumora", "x.htm").toString(), "/tmp/lumora/x.htm");
    EXPECT_EQ(fso.call("GetAbsolutePathName", "C:\\a\\.\\b\\..\\c.txt").toString(), "C:\\a\\c.txt");
}

TEST_F(PagePaths, GetAbsolutePathNameOfALocalPathStartsAtTheCurrentFolder) {
    char current[4096];
    ASSERT_NE(::getcwd(current, sizeof current), nullptr);
    EXPECT_EQ(fso.call("GetAbsolutePathName", "a/../b.txt").toString(), std::string(current) + "/b.txt");
}

TEST_F(PagePaths, TheTemporaryFolderIsTheDesktops) {
    Object temp = fso.call("GetSpecialFolder", 2).toObject();
    EXPECT_TRUE(std::filesystem::is_directory(temp.get("Path").toString()));
    EXPECT_AUTOMATION_ERROR(fso.call("GetSpecialFolder", 7), 5);
    std::string name = fso.call("GetTempName").toString();
    EXPECT_EQ(name.size(), 12u);
    EXPECT_EQ(name.substr(0, 3), "rad");
    EXPECT_EQ(name.substr(8), ".tmp");
}

TEST_F(PagePaths, TheRegistryCreatesTheObjectByProgIdAndClassId) {
    registerFileClasses(Registry::instance());
    writeBytes("a.txt", "x");
    for (const char* name : {"Scripting.FileSystemObject", "{0D43FE01-F093-11CF-8940-00A0C9054228}"}) {
        Object created = Registry::instance().createObject(name);
        EXPECT_TRUE(created.call("FileExists", "C:\\a.txt").toBool()) << name;
    }
}
