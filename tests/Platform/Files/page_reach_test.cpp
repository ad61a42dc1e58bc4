// A page's paths reach its mapped drives and the folders granted to it, and nothing else, on
// the thread that serves it; the command line's thread reaches every path.

#include <sys/stat.h>

#include <fstream>
#include <thread>

#include "Platform/Files/page_path.hpp"
#include "Platform/Files/page_reach.hpp"
#include "files_fixture.hpp"

using namespace lumora;
using namespace lumora::files;
using namespace lumora::files::tests;

namespace {

class PageReachTest : public FilesTest {
protected:
    void SetUp() override {
        FilesTest::SetUp();
        std::filesystem::create_directories(outside());
        std::ofstream(outside() / "id_rsa") << "KEY";
        std::filesystem::create_directories(granted());
        std::ofstream(granted() / "quote.htm") << "<p/>";
    }
    // Beside the folders the page was given, never inside one of them.
    std::filesystem::path outside() const { return m_elsewhere.path() / "home"; }
    std::filesystem::path granted() const { return m_elsewhere.path() / "temp"; }

    lumora::tests::TempFolder m_elsewhere;
};

TEST_F(PageReachTest, APageReachesItsDrivesAndGrantedFoldersOnly) {
    writeBytes("Quotes/q.txt", "q");
    PageReach reach({granted()});
    EXPECT_TRUE(fso.call("FileExists", "C:\\Quotes\\q.txt").toBool());
    EXPECT_TRUE(fso.call("FileExists", (granted() / "quote.htm").string()).toBool());
    EXPECT_TRUE(fso.call("FileExists", (root() / "Quotes" / "q.txt").string()).toBool());

    // Everything else is as absent as a drive that is not mapped, whichever way it is written.
    for (std::string path : {(outside() / "id_rsa").string(), std::string("/etc/passwd"),
                             (granted() / ".." / "home" / "id_rsa").string(), std::string("\\etc\\passwd")}) {
        EXPECT_FALSE(fso.call("FileExists", path).toBool()) << path;
        EXPECT_AUTOMATION_ERROR(fso.call("GetFile", path), 76);
        EXPECT_AUTOMATION_ERROR(resolvePagePath(path), 76);
    }
    EXPECT_AUTOMATION_ERROR(fso.call("CreateTextFile", (outside() / "planted.txt").string()), 76);
    EXPECT_FALSE(std::filesystem::exists(outside() / "planted.txt"));
}

TEST_F(PageReachTest, ALinkInsideAGivenFolderDoesNotLeadOut) {
    std::filesystem::create_directory_symlink(outside(), root() / "escape");
    std::filesystem::create_symlink(outside() / "id_rsa", granted() / "key.htm");
    PageReach reach({granted()});
    EXPECT_AUTOMATION_ERROR(resolvePagePath("C:\\escape\\id_rsa"), 76);
    EXPECT_AUTOMATION_ERROR(resolvePagePath((granted() / "key.htm").string()), 76);
    EXPECT_AUTOMATION_ERROR(fso.call("OpenTextFile", "C:\\escape\\id_rsa"), 76);
}

TEST_F(PageReachTest, AListingLeavesOutLinksThatLeadOutWhetherTheirTargetExistsOrNot) {
    std::filesystem::create_symlink(outside() / "id_rsa", granted() / "key.htm");
    std::filesystem::create_symlink(outside() / "no_such_key", granted() / "gone.htm");
    std::filesystem::create_symlink(granted() / "quote.htm", granted() / "alias.htm");
    std::filesystem::create_directory_symlink(outside(), granted() / "home");
    auto names = [&](const char* collection) {
        std::vector<std::string> listed;
        Object folder = fso.call("GetFolder", granted().string()).toObject();
        for (const Variant& entry : folder.getObject(collection).elements())
            listed.push_back(entry.toObject().get("Name").toString());
        return listed;
    };
    {
        PageReach reach({granted()});
        EXPECT_EQ(names("Files"), (std::vector<std::string>{"alias.htm", "quote.htm"}));
        EXPECT_EQ(names("SubFolders"), std::vector<std::string>{});
        Object files = fso.call("GetFolder", granted().string()).toObject().getObject("Files");
        EXPECT_EQ(files.count(), 2);
        EXPECT_AUTOMATION_ERROR(files.call("Item", "key.htm"), 53);
        EXPECT_AUTOMATION_ERROR(files.call("Item", "gone.htm"), 53);
    }
    // The local user sees where the links lead.
    EXPECT_EQ(names("Files"), (std::vector<std::string>{"alias.htm", "key.htm", "quote.htm"}));
    EXPECT_EQ(names("SubFolders"), std::vector<std::string>{"home"});
}

TEST_F(PageReachTest, AFolderCreatesTextFilesOnlyWithinThePagesReach) {
    PageReach reach({granted()});
    Object folder = fso.call("GetFolder", granted().string()).toObject();
    EXPECT_AUTOMATION_ERROR(folder.call("CreateTextFile", "../home/planted.txt"), 76);
    EXPECT_ANY_THROW(folder.call("CreateTextFile", (outside() / "planted.txt").string()));
    EXPECT_FALSE(std::filesystem::exists(outside() / "planted.txt"));

    std::filesystem::create_directory(granted() / "sub");
    folder.call("CreateTextFile", "sub\\note.txt").toObject().call("Close");
    EXPECT_TRUE(std::filesystem::is_regular_file(granted() / "sub" / "note.txt"));
}

TEST_F(PageReachTest, TheGrantBelongsToThePagesThreadAndEndsWithIt) {
    {
        PageReach reach({granted()});
        bool otherThreadReaches = false;
        std::thread commandLine([&] { otherThreadReaches = PageReach::allows(outside() / "id_rsa"); });
        commandLine.join();
        EXPECT_TRUE(otherThreadReaches);
        EXPECT_FALSE(PageReach::allows(outside() / "id_rsa"));
    }
    EXPECT_TRUE(fso.call("FileExists", (outside() / "id_rsa").string()).toBool());
}

TEST_F(PageReachTest, ADriveMappedForFirstUseGetsItsFolderWhenFirstNamed) {
    std::filesystem::path documents = m_elsewhere.path() / "documents";
    DriveMap::instance().set("D:", documents, FolderCreation::OnFirstUse);
    EXPECT_FALSE(std::filesystem::exists(documents));
    EXPECT_TRUE(fso.call("FolderExists", "D:\\").toBool());
    EXPECT_TRUE(std::filesystem::is_directory(documents));
}

TEST_F(PageReachTest, AFifoOrADeviceIsNoFileToReadAndNothingWaitsForIt) {
    ASSERT_EQ(mkfifo((root() / "pipe.txt").c_str(), 0600), 0);
    EXPECT_AUTOMATION_ERROR(fso.call("OpenTextFile", "C:\\pipe.txt"), 53);
    EXPECT_AUTOMATION_ERROR(fso.call("OpenTextFile", "C:\\pipe.txt", 8), 70);
    EXPECT_AUTOMATION_ERROR(fso.call("OpenTextFile", "/dev/zero"), 53);
}

}  // namespace
