// The control's file members as a page calls them: opening stored documents without ever
// starting a program, finding files with the user told what is missing, uploading files byte
// for byte to a real server on loopback, and listing templates of local and web folders.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "Platform/Files/drive_map.hpp"
#include "Platform/Files/page_reach.hpp"
#include "Platform/Files/register.hpp"
#include "Platform/Html/register.hpp"
#include "Platform/Xml/register.hpp"
#include "tests/Control/support/deliverable_fixture.hpp"
#include "tests/Control/support/fake_applications.hpp"
#include "tests/support/http_server_fixture.hpp"

namespace lumora {
namespace {

namespace fs = std::filesystem;
using testing::fake;

const std::string kFileNotFound =
    "Unable to open the file because it could not be found at the path specified. Ensure this file still exists";
const std::string kPathNotFound =
    "Unable to open the file because it cannot be found. Ensure this file path currently exists";

void writeFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

class FileMembers : public testing::DeliverableTest {
protected:
    void SetUp() override {
        DeliverableTest::SetUp();
        xml::registerXmlClasses(Registry::instance());
        files::registerFileClasses(Registry::instance());
        html::registerHtmlClasses(Registry::instance());
        drive = dataFolder() / "c";
        fs::create_directories(drive);
        files::DriveMap::instance().set("C:", drive);
        control = create("LumoraControl2005.LumoraCtrl2005");
    }
    void TearDown() override {
        files::DriveMap::instance().clearAll();
        DeliverableTest::TearDown();
    }

    // Word, recording its calls; opening a document fails with `openError` unless it is 0.
    std::shared_ptr<testing::FakeObject> installWord(int32_t openError = 0) {
        auto documents = fake("Documents");
        documents->on("open", [openError](Args&) -> Variant {
            if (openError) throw Error(openError, "File not found");
            return Variant();
        });
        auto word = fake("Application");
        word->on("Documents", [documents](Args&) { return Variant(Object(documents)); });
        word->on("Visible", {}, MemberKind::PropertyPut);
        word->on("Quit");
        testing::registerFake("Word.Application", [word] { return Object(word); });
        install("Word.Application");
        return word;
    }
    static std::vector<std::string> callsOf(const testing::FakeObject& object) {
        std::vector<std::string> calls;
        for (const auto& c : object.calls) calls.push_back(c.member + (c.args.empty() ? "" : " " + c.args[0].toString()));
        return calls;
    }

    fs::path drive;
    Object control;
};

TEST_F(FileMembers, OpenFileHandsADocumentToItsProgramAndNamesWhatIsMissing) {
    writeFile(drive / "Docs" / "Quote.pdf", "%PDF-1.4");
    EXPECT_EQ(control.call("OpenFile", "C:\\Docs\\Quote.pdf").toString(), "");
    ASSERT_EQ(desktop().transcript().opened.size(), 1u);
    EXPECT_EQ(desktop().transcript().opened[0], drive / "Docs" / "Quote.pdf");
    EXPECT_EQ(control.call("OpenFile", "C:\\Docs\\Gone.pdf", false).toString(), kFileNotFound);
    EXPECT_EQ(control.call("OpenFile", "C:\\NoFolder\\Gone.pdf").toString(), kPathNotFound);
    EXPECT_EQ(control.call("OpenFile", "Q:\\Docs\\Quote.pdf").toString(), kPathNotFound);  // an unmapped drive
    EXPECT_TRUE(boxes().empty());
}

TEST_F(FileMembers, OpenFileNeverStartsAProgramAScriptOrALauncher) {
    writeFile(drive / "run.sh", "#!/bin/sh\ntouch /tmp/should-not-exist\n");
    writeFile(drive / "app.desktop", "[Desktop Entry]\nType=Application\nExec=xterm\n");
    writeFile(drive / "tool", "\x7f" "ELF");
    chmod((drive / "tool").c_str(), 0755);
    for (const char* path : {"C:\\run.sh", "C:\\app.desktop", "C:\\tool", "C:\\RUN.SH"})
        EXPECT_EQ(control.call("OpenFile", path, true).toString(), "Unable to open the file because access was denied");
    EXPECT_TRUE(desktop().transcript().opened.empty());
}

TEST_F(FileMembers, ManagedDocumentsOpenInWordWhichMustBeThereAndMustFindThem) {
    EXPECT_EQ(control.call("OpenFile", "C:\\Docs\\Letter.doc", true).toString(), "");
    expectLastBox("Unable to start Microsoft Word - check that it is installed correctly", "Lumora", 48);
    EXPECT_EQ(control.call("OpenFile", "C:\\Docs\\Sheet.xls", true).toString(), "");
    expectLastBox("Unable to start Microsoft Excel - check that it is installed correctly", "Lumora", 48);

    auto word = installWord();
    EXPECT_EQ(control.call("OpenFile", "C:\\Docs\\Letter.DOCX", true).toString(), "");
    EXPECT_EQ(callsOf(*word), (std::vector<std::string>{"Documents", "Visible True"}));

    // A document Word cannot find is no success: the reason comes back and the empty Word goes.
    word = installWord(53);
    EXPECT_EQ(control.call("OpenFile", "C:\\Docs\\Gone.rtf", true).toString(), kFileNotFound);
    EXPECT_EQ(callsOf(*word), (std::vector<std::string>{"Documents", "Quit"}));
}

TEST_F(FileMembers, FindFileMatchesTheNameExactlyAndTellsWhatIsMissing) {
    writeFile(drive / "Docs" / "Contract.docx", "x");
    EXPECT_EQ(control.call("FindFile", "C:\\Docs\\Contract.docx\\"), Variant(true));
    EXPECT_TRUE(boxes().empty());

    EXPECT_EQ(control.call("FindFile", "C:\\Docs\\contract.DOCX"), Variant(false));
    expectLastBox(
        "Unable to find the file 'contract.DOCX' in folder 'C:\\Docs'. This file may have been added from a location "
        "which you do not have access to. This may be a network drive or another users local drive. Please contact "
        "the user who added this document or your system administrator",
        "Unable to find file 'contract.DOCX'", 64);
    EXPECT_EQ(control.call("FindFile", "C:\\Archive\\Old.doc"), Variant(false));
    expectLastBox(
        "Unable to find the folder 'C:\\Archive'. This folder may reside at a location which you do not have access "
        "to. This may be a network drive or another users local drive. Please contact the user who added this "
        "document or your system administrator",
        "Unable to find folder 'C:\\Archive'", 64);
}

TEST_F(FileMembers, FindFileOnAPageTellsNothingOfWhereALinkLeadsOut) {
    const fs::path temp = dataFolder() / "temp";
    const fs::path key = dataFolder() / "home" / "id_rsa";
    writeFile(key, "KEY");
    writeFile(temp / "letter.htm", "<p/>");
    fs::create_symlink(temp / "letter.htm", temp / "alias.htm");
    fs::create_symlink(key, temp / "key.txt");
    const std::string link = (temp / "key.txt").string();
    {
        files::PageReach page({temp});
        EXPECT_EQ(control.call("FindFile", (temp / "alias.htm").string()), Variant(true));
        EXPECT_EQ(control.call("FindFile", link), Variant(false));
        ASSERT_EQ(boxes().size(), 1u);
        const desktop::MessageBoxRequest existing = boxes().back().request;
        // The same link once its target is gone: the same answer and the same words.
        fs::remove(key);
        EXPECT_EQ(control.call("FindFile", link), Variant(false));
        ASSERT_EQ(boxes().size(), 2u);
        EXPECT_EQ(boxes().back().request.text, existing.text);
        EXPECT_EQ(boxes().back().request.title, existing.title);
    }
    writeFile(key, "KEY");
    EXPECT_EQ(control.call("FindFile", link), Variant(true));  // the local user follows the link
}

TEST_F(FileMembers, LocalTemplatesAreListedWithoutLockFilesOrDocuments) {
    for (const char* name : {"Quote.dotx", "~$Quote.dotx", "Letter.doc", "Memo.DOT", "dot", "Notes.txt"})
        writeFile(drive / "Templates" / name, "x");
    writeFile(drive / "Templates" / "Letters" / "Welcome.dot", "x");
    EXPECT_EQ(control.call("GetTemplateList", "C:\\Templates\\", "bUSINESS").toString(), "Memo.DOT\\Quote.dotx\\");
    EXPECT_EQ(control.call("GetTemplateList", "C:\\Templates\\", "Letters").toString(), "Welcome.dot\\");
    writeFile(drive / "Templates" / "Empty" / "readme.txt", "x");
    EXPECT_EQ(control.call("GetTemplateList", "C:\\Templates", "Empty").toString(), "Empty");
    EXPECT_TRUE(boxes().empty());

    EXPECT_EQ(control.call("GetTemplateList", "C:\\Templates\\", "Quotes").toString(), "Empty");
    expectLastBox(
        "Unable to retrieve a list of templates from 'C:\\Templates\\Quotes'. Please check with your system "
        "administrator that you have access to this location.",
        "LumoraControl2005");
}

class WithServer : public FileMembers {
protected:
    void SetUp() override {
        FileMembers::SetUp();
        site = dataFolder() / "site";
        uploads = dataFolder() / "uploads";
        m_server = std::make_unique<test::LoopbackHttpServer>(site, uploads);
    }
    std::string url(const std::string& path) const { return m_server->url(path); }

    std::string uploaded(const std::string& name) const {
        std::ifstream in(uploads / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // A page of `count` template links, after a parent-folder link when asked.
    void writeLinksPage(const std::string& name, int count, bool withParent) {
        std::string page = withParent ? "<A HREF=\"../\">[To Parent Directory]</A>" : "";
        for (int i = 1; i <= count; ++i) page += "<a href=\"t" + std::to_string(i) + "\">t" + std::to_string(i) + ".dotx</a>";
        writeFile(site / name, "<html><body>" + page + "</body></html>");
    }

    fs::path site, uploads;
    std::unique_ptr<test::LoopbackHttpServer> m_server;
};

TEST_F(WithServer, UploadsArriveByteForByteUnderTheirOwnName) {
    std::string bytes = "\xFF\xFE";  // begins like UTF-16 text, which a text reading would decode
    for (int b = 0; b < 256 * 3; ++b) bytes += static_cast<char>(b);
    writeFile(drive / "Out" / "Scan 1#.pdf", bytes + "\r\n\n\r\x80\xC3(");
    EXPECT_EQ(control.call("UploadFile", "C:\\Out\\Scan 1#.pdf", url("/upload/docs")), Variant(true));
    EXPECT_EQ(uploaded("docs/Scan 1#.pdf"), bytes + "\r\n\n\r\x80\xC3(");
    EXPECT_EQ(control.call("UploadFile", "C:\\Out\\Scan 1#.pdf", url("/upload/")), Variant(true));
    EXPECT_EQ(uploaded("Scan 1#.pdf"), bytes + "\r\n\n\r\x80\xC3(");
}

TEST_F(WithServer, AnUploadRedirectedOnArrivesWholeAtItsFinalAddress) {
    writeFile(drive / "Out" / "Note.txt", "the whole note");
    for (const std::string code : {"301", "302", "303", "307", "308"}) {
        const std::string finalFolder = url("/upload/moved" + code);
        EXPECT_EQ(control.call("UploadFile", "C:\\Out\\Note.txt", url("/redirect/" + code + "?to=" + finalFolder)),
                  Variant(true))
            << code;
        EXPECT_EQ(uploaded("moved" + code + "/Note.txt"), "the whole note") << code;
    }
}

TEST_F(WithServer, RefusedEmptyOrMissingUploadsAreFalse) {
    writeFile(drive / "Out" / "Note.txt", "hello");
    writeFile(drive / "Out" / "Empty.txt", "");
    EXPECT_EQ(control.call("UploadFile", "C:\\Out\\Note.txt", url("/refused")), Variant(false));
    for (const char* path : {"C:\\Out\\Empty.txt", "C:\\Out\\Missing.txt", "C:\\Out"})
        EXPECT_EQ(control.call("UploadFile", path, url("/upload")), Variant(false)) << path;
    EXPECT_TRUE(fs::is_empty(uploads));
    EXPECT_TRUE(boxes().empty());
}

TEST_F(WithServer, AWebFoldersListingGivesItsLinkTexts) {
    for (const char* name : {"Quote.dotx", "Welcome.dot"}) writeFile(site / "templates" / "letters" / name, "x");
    const std::string folder = url("/files/templates\\");
    EXPECT_EQ(control.call("GetTemplateList", folder, "letters").toString(), "Quote.dotx\\Welcome.dot");
    EXPECT_EQ(control.call("GetTemplateList", folder, "home").toString(), "letters/");
    EXPECT_EQ(control.call("GetTemplateList", url("/files/nothing/"), "home").toString(), "Empty");

    writeFile(site / "lower.htm",
              "<a name=top>Top</a><a class=x href='a'>Quote &amp; Co.dotx</a>\n<A\nhref=\"b\"> Memo.dot </A>"
              "<a href='c'><img src='i.png'></a><a href=\"d\">[Up]</a>");
    EXPECT_EQ(control.call("GetTemplateList", url("/files/lower.htm"), "business").toString(),
              "Quote & Co.dotx\\Memo.dot");
    EXPECT_TRUE(boxes().empty());
}

TEST_F(WithServer, AtMostAThousandTemplatesAndTooManyLinksAreTold) {
    writeLinksPage("full.htm", 1001, false);
    const std::string full = control.call("GetTemplateList", url("/files/full.htm"), "business").toString();
    EXPECT_EQ(full.substr(0, 16), "t1.dotx\\t2.dotx\\");
    EXPECT_EQ(full.substr(full.size() - 20), "t999.dotx\\t1000.dotx");
    EXPECT_TRUE(boxes().empty());

    writeLinksPage("over.htm", 1001, true);
    const std::string over = url("/files/over.htm");
    EXPECT_EQ(control.call("GetTemplateList", over, "business").toString(), "Empty");
    expectLastBox("Error retrieving template list from web path '" + over + "' - Subscript out of range",
                  "LumoraControl2005");
}

}  // namespace
}  // namespace lumora
