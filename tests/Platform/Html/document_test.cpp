#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "Automation/registry.hpp"
#include "Platform/Files/drive_map.hpp"
#include "Platform/Html/html_objects.hpp"
#include "Platform/Html/register.hpp"
#include "html_fixture.hpp"
#include "tests/Automation/temp_folder.hpp"

using namespace lumora;
using namespace lumora::html;
using namespace lumora::html::tests;

TEST(FindingElements, GetElementByIdByNameAndByDispatchId1088) {
    Object document = pageDocument("<form><input id=FIRSTNAME value=Ada><input id=LASTNAME value=Lovelace></form>");
    EXPECT_EQ(byId(document, "LASTNAME").get("value").toString(), "Lovelace");
    std::vector<Variant> args{Variant("FIRSTNAME")};
    Object found = document.invoke(kDispIdGetElementById, MemberKind::Method, args).toObject();
    EXPECT_EQ(found.get("Value").toString(), "Ada");  // members are found without regard to case
    EXPECT_EQ(document.idOf("getElementById"), 1088);
}

TEST(FindingElements, AMissingIdGivesNothing) {
    Object document = pageDocument("<input id=TITLE>");
    EXPECT_TRUE(byId(document, "DEPARTMENT").isNothing());
    EXPECT_TRUE(byId(document, "title").isNothing());  // ids are compared exactly
    // Reading a member of Nothing is the error a control's trap catches.
    EXPECT_AUTOMATION_ERROR(byId(document, "DEPARTMENT").get("value"), 91);
}

TEST(FindingElements, AnElementNamedButWithoutIdIsFoundAsThePagesBrowserFoundIt) {
    Object document = pageDocument("<input name=SPOUSE value=Sam><input id=SPOUSE2 name=x value=y>");
    EXPECT_EQ(byId(document, "SPOUSE").get("value").toString(), "Sam");
}

TEST(FindingElements, OneNodeIsAlwaysOneObject) {
    Object document = pageDocument("<div id=a><span id=b></span></div>");
    Object first = byId(document, "b");
    EXPECT_TRUE(first.sameAs(byId(document, "b")));
    EXPECT_TRUE(first.sameAs(byId(document, "a").getObject("children").item(0)));
    EXPECT_TRUE(first.getObject("ownerDocument").sameAs(document));
}

TEST(FindingElements, ElementsOutliveTheirDocumentAndItsRewriting) {
    Object document = pageDocument("<p id=x>first</p>");
    Object paragraph = byId(document, "x");
    document.call("write", "<p id=x>second</p>");
    EXPECT_EQ(paragraph.get("innerText").toString(), "first");
    EXPECT_EQ(byId(document, "x").get("innerText").toString(), "second");
    document.release();
    EXPECT_EQ(paragraph.getObject("parentElement").get("tagName").toString(), "BODY");
}

TEST(FindingElements, TagNamesAndCollections) {
    Object document = pageDocument("<title> Quote  42 </title><p>a</p><P>b</P><div name=n>c</div>");
    EXPECT_EQ(document.get("title").toString(), "Quote 42");
    Object paragraphs = document.call("getElementsByTagName", "P").toObject();
    EXPECT_EQ(paragraphs.get("length").toI4(), 2);
    EXPECT_EQ(paragraphs.value(1).toObject().get("innerText").toString(), "b");
    EXPECT_TRUE(paragraphs.call("item", 5).toObject().isNothing());
    EXPECT_EQ(document.call("getElementsByName", "n").toObject().get("length").toI4(), 1);
    EXPECT_EQ(document.getObject("documentElement").get("tagName").toString(), "HTML");
    EXPECT_EQ(document.getObject("body").get("nodeName").toString(), "BODY");
}

TEST(LoadingDocuments, TheRegistryCreatesTheDocumentTheHostDecodes) {
    registerHtmlClasses(Registry::instance());
    Object document = Registry::instance().createObject("Lumora.HTMLDocument");
    document.call("write", "<b id=x>", "bold</b>");
    EXPECT_EQ(byId(document, "x").get("innerHTML").toString(), "bold");
}

TEST(LoadingDocuments, LoadReadsAPageFileThroughTheDriveTable) {
    lumora::tests::TempFolder folder;
    files::DriveMap::instance().set("C:", folder.path());
    // A legacy page in Windows-1252: the pound sign is byte A3.
    std::ofstream(folder.path() / "quote.htm", std::ios::binary) << "<span id=p>\xA3" "5</span>";
    Object document = makeObject<HtmlDocument>();
    document.call("load", "C:\\quote.htm");
    EXPECT_EQ(byId(document, "p").get("innerText").toString(), "£5");
    EXPECT_AUTOMATION_ERROR(document.call("load", "C:\\missing.htm"), 53);
    EXPECT_AUTOMATION_ERROR(document.call("load", "Z:\\quote.htm"), 76);
    files::DriveMap::instance().clearAll();
}

TEST(LoadingDocuments, AFifoOrADeviceIsNoPageFileAndLoadingOneReturnsAtOnce) {
    lumora::tests::TempFolder folder;
    files::DriveMap::instance().set("C:", folder.path());
    ASSERT_EQ(mkfifo((folder.path() / "pipe.htm").c_str(), 0600), 0);
    Object document = makeObject<HtmlDocument>();
    EXPECT_AUTOMATION_ERROR(document.call("load", "C:\\pipe.htm"), 53);
    EXPECT_AUTOMATION_ERROR(document.call("load", "/dev/zero"), 53);
    EXPECT_AUTOMATION_ERROR(document.call("load", "C:\\"), 53);
    files::DriveMap::instance().clearAll();
}
