// The page's Desktop: message boxes asked of the page, modal windows driven by its clicks,
// shown files offered through a link, and what happens when the page leaves mid-call.

#include <fstream>

#include "bridge_fixture.hpp"

namespace lumora::tests {
namespace {

using nlohmann::json;

class BridgeDesktop : public BridgeTest {};

json askArgs(const std::string& text, int buttons, const std::string& title) {
    return json::array({text, {{"$i2", buttons}}, title});
}

TEST_F(BridgeDesktop, MessageBoxIsAskedOfThePageAndItsButtonReturned) {
    serve();
    BridgeClient page(port());
    json asked;
    page.answerBox = [&](const json& params) {
        asked = params;
        return 7;
    };
    json result = page.call(page.create(kSampleProgId), "Ask", askArgs("Save <b>changes</b>?", 68, "CRM"));
    EXPECT_EQ(result["result"], json({{"$i2", 7}}));
    EXPECT_EQ(asked, json({{"text", "Save <b>changes</b>?"}, {"title", "CRM"}, {"buttons", 68}}));
}

TEST_F(BridgeDesktop, AnswerThatIsNotOneOfTheBoxButtonsIsADismissal) {
    serve();
    BridgeClient page(port());
    int64_t sample = page.create(kSampleProgId);
    page.answerBox = [](const json&) { return 6; };  // "Yes", which neither box shows
    EXPECT_EQ(page.call(sample, "Ask", askArgs("Go on?", 1, "CRM"))["result"], json({{"$i2", 2}}));
    EXPECT_EQ(page.call(sample, "Ask", askArgs("Done.", 0, "CRM"))["result"], json({{"$i2", 1}}));
}

TEST_F(BridgeDesktop, PageLeavingDuringAMessageBoxAnswersNoAndEndsItsWorker) {
    serve();
    lastRecordedAnswer = 0;
    {
        BridgeClient page(port());
        int64_t windows = page.create(kWindowsProgId);
        page.sendRequest("call", {{"object", windows}, {"member", "AskRecorded"}, {"args", {4}}});
        ASSERT_EQ(page.receive()["method"], "messageBox");
    }
    EXPECT_TRUE(eventually([&] { return server->pageCount() == 0; }));
    EXPECT_EQ(lastRecordedAnswer, 7);  // a Yes/No question nobody answered is not a Yes
}

TEST_F(BridgeDesktop, ModalWindowFollowsTimerAndClicksUntilHidden) {
    serve();
    BridgeClient page(port());
    int64_t windows = page.create(kWindowsProgId);
    int64_t call = page.sendRequest("call", {{"object", windows}, {"member", "Modal"}, {"args", {20}}});

    json opened = page.awaitNotification("window.open")["params"];
    EXPECT_EQ(opened["name"], "frmWait");
    EXPECT_EQ(opened["caption"], "Waiting");
    EXPECT_EQ(opened["labels"], json::parse(R"([{"name":"lblStatus","caption":"Waiting"}])"));
    EXPECT_EQ(opened["buttons"][0], json::parse(R"({"name":"cmdCancel","caption":"Cancel","enabled":true,"visible":true})"));
    EXPECT_EQ(opened["timer"], 20);
    int window = opened["window"];

    EXPECT_EQ(page.awaitNotification("window.update")["params"]["labels"][0]["caption"], "Tick 1");

    page.notify("click", {{"window", window}, {"control", "cmdCancel"}});
    json cancelling;
    do {
        cancelling = page.awaitNotification("window.update")["params"];
    } while (cancelling["buttons"].empty());
    EXPECT_EQ(cancelling["buttons"][0], json::parse(R"({"name":"cmdCancel","caption":"Cancelling...","enabled":false,"visible":true})"));

    page.notify("click", {{"window", window + 100}, {"control", "cmdHide"}});  // no such window: ignored
    page.notify("click", {{"window", window}, {"control", "cmdHide"}});
    EXPECT_EQ(page.awaitResponse(call)["result"]["result"], "hidden after ticks");
    EXPECT_EQ(page.awaitNotification("window.close")["params"]["window"], window);
}

TEST_F(BridgeDesktop, PageLeavingDuringAModalWindowClosesItAndEndsItsWorker) {
    serve();
    {
        BridgeClient page(port());
        int64_t windows = page.create(kWindowsProgId);
        page.sendRequest("call", {{"object", windows}, {"member", "Modal"}, {"args", {0}}});
        page.awaitNotification("window.open");
    }
    EXPECT_TRUE(eventually([&] { return server->pageCount() == 0; }));
}

// A control busy between checkpoints never waits for the page: the page's click still reaches
// it when it lets pending clicks in, and a repaint that changes nothing is not sent.
TEST_F(BridgeDesktop, ClickReachesABusyControlAndRepaintsOfTheSameTextAreSentOnce) {
    serve();
    BridgeClient page(port());
    int64_t windows = page.create(kWindowsProgId);

    int64_t call = page.sendRequest("call", {{"object", windows}, {"member", "Busy"}, {"args", {300}}});
    int window = page.awaitNotification("window.open")["params"]["window"];
    std::vector<std::string> shown;
    json message;
    while (!(message = page.receive()).contains("result")) {
        if (message.value("method", "") == "window.update") shown.push_back(message["params"]["labels"][0]["caption"]);
    }
    EXPECT_EQ(message["id"], call);
    EXPECT_EQ(message["result"]["result"], "done");
    ASSERT_EQ(shown.size(), 101u);  // 300 steps, each percentage from 0 to 100 shown once
    EXPECT_EQ(shown.front(), "Working (0%)");
    EXPECT_EQ(shown.back(), "Working (100%)");

    call = page.sendRequest("call", {{"object", windows}, {"member", "Busy"}, {"args", {100000}}});
    window = page.awaitNotification("window.open")["params"]["window"];
    page.awaitNotification("window.update");
    page.notify("click", {{"window", window}, {"control", "cmdCancel"}});
    const std::string ended = page.awaitResponse(call)["result"]["result"];
    EXPECT_EQ(ended.rfind("cancelled at step ", 0), 0u) << ended;
}

class ShownFiles : public BridgeTest {
protected:
    std::filesystem::path writeLetter() {
        auto file = m_data.path() / "Letter to Anne.docx";
        std::ofstream(file, std::ios::binary) << "PK letter bytes";
        return file;
    }
    std::string pathOf(const std::string& link) { return link.substr(("http://" + hostHeader()).size()); }
};

TEST_F(ShownFiles, ShownFileIsOfferedThroughItsOwnLink) {
    serve();
    BridgeClient page(port());
    auto letter = writeLetter();
    page.call(page.create(kWindowsProgId), "ShowFile", {letter.string()});
    json shown = page.awaitNotification("show")["params"];
    EXPECT_EQ(shown["kind"], "document");
    EXPECT_EQ(shown["title"], "Letter");
    EXPECT_EQ(shown["detail"], "to Anne");
    EXPECT_EQ(shown["file"], "Letter to Anne.docx");
    std::string link = shown["link"];
    ASSERT_TRUE(link.starts_with("http://" + hostHeader() + "/files/"));
    EXPECT_TRUE(link.ends_with("/Letter%20to%20Anne.docx"));

    HttpReply download = httpRequest(port(), "GET", pathOf(link));
    EXPECT_EQ(download.status, 200);
    EXPECT_EQ(download.body, "PK letter bytes");
    EXPECT_EQ(download.headers["content-type"],
              "application/vnd.openxmlformats-officedocument.wordprocessingml.document");
    EXPECT_TRUE(download.headers["content-security-policy"].starts_with("sandbox"));
}

TEST_F(ShownFiles, OnlyTheExactLinkOfAShownFileServesIt) {
    serve();
    BridgeClient page(port());
    auto letter = writeLetter();
    std::ofstream(m_data.path() / "secret.txt") << "not shown";
    page.call(page.create(kWindowsProgId), "ShowFile", {letter.string()});
    std::string path = pathOf(page.awaitNotification("show")["params"]["link"]);
    std::string secret = path.substr(7, 32);

    std::string otherSecret = secret;
    otherSecret[0] = otherSecret[0] == 'a' ? 'b' : 'a';
    EXPECT_EQ(httpRequest(port(), "GET", "/files/" + otherSecret + "/Letter%20to%20Anne.docx").status, 404);
    EXPECT_EQ(httpRequest(port(), "GET", "/files/" + secret + "/secret.txt").status, 404);
    EXPECT_EQ(httpRequest(port(), "GET", "/files/" + secret + "/..%2Fsecret.txt").status, 404);

    page.close();
    EXPECT_TRUE(eventually([&] { return httpRequest(port(), "GET", path).status == 404; }));
}

TEST_F(ShownFiles, FileOpenedForTheUserIsAlsoShownToThePage) {
    serve();
    BridgeClient page(port());
    auto letter = writeLetter();
    json opened = page.call(page.create(kWindowsProgId), "OpenFile", {letter.string()});
    EXPECT_GE(opened["result"].get<int>(), 33);
    json shown = page.awaitNotification("show")["params"];
    EXPECT_EQ(shown["kind"], "file");
    EXPECT_EQ(shown["file"], "Letter to Anne.docx");
}

}  // namespace
}  // namespace lumora::tests
