// `lumora serve` as a person starts it: it prints where it listens and its token, serves the
// demo page there, and stops cleanly on Ctrl+C.

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "Host/sample_template.hpp"
#include "bridge_fixture.hpp"
#include "tests/Host/lumora_process.hpp"
#include "tests/support/process_tree.hpp"
#include "tests/support/silent_sip_port.hpp"

namespace lumora::tests {
namespace {

namespace fs = std::filesystem;

class ServeCommand : public ::testing::Test {
protected:
    void TearDown() override {
        if (m_child > 0) {
            kill(m_child, SIGKILL);
            waitpid(m_child, nullptr, 0);
        }
        if (m_out >= 0) close(m_out);
        if (m_in >= 0) close(m_in);
    }
    // openFiles: the child's limit on open files (ulimit -n), 0 to keep the test's own.
    void start(std::vector<std::string> args, rlim_t openFiles = 0) {
        const char* buildDir = std::getenv("LUMORA_BUILD_DIR");
        std::string program = std::string(buildDir ? buildDir : ".") + "/bin/lumora";
        int pipeFds[2], inputFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        ASSERT_EQ(pipe(inputFds), 0);
        m_child = fork();
        if (m_child == 0) {
            if (openFiles != 0) {
                rlimit limit{openFiles, openFiles};
                setrlimit(RLIMIT_NOFILE, &limit);
            }
            dup2(pipeFds[1], 1);
            dup2(inputFds[0], 0);
            close(pipeFds[0]);
            close(inputFds[1]);
            std::vector<char*> argv{program.data()};
            for (auto& arg : args) argv.push_back(arg.data());
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        close(pipeFds[1]);
        close(inputFds[0]);
        m_out = pipeFds[0];
        m_in = inputFds[1];
    }
    // Reads the output until `pattern` matches it (or the program ends).
    std::smatch readUntil(const std::regex& pattern) {
        std::smatch match;
        char buffer[512];
        while (!std::regex_search(m_text, match, pattern)) {
            ssize_t got = read(m_out, buffer, sizeof buffer);
            if (got <= 0) break;
            m_text.append(buffer, static_cast<size_t>(got));
        }
        std::regex_search(m_text, match, pattern);
        return match;
    }

    pid_t m_child = -1;
    int m_out = -1, m_in = -1;
    std::string m_text;
    TempFolder m_data;
};

TEST_F(ServeCommand, PrintsAddressAndTokenServesTheDemoPageAndStopsOnInterrupt) {
    start({"serve", "--port", "0", "--data", m_data.path().string(), "--temp", (m_data.path() / "temp").string(),
           "--allow-origin", "https://crm.example.com"});
    std::smatch address = readUntil(std::regex(R"(listening on http://127\.0\.0\.1:(\d+)/)"));
    ASSERT_FALSE(address.empty()) << m_text;
    auto port = static_cast<uint16_t>(std::stoi(address[1]));
    std::smatch token = readUntil(std::regex(R"(Token: ([0-9a-f]{64})\n)"));
    ASSERT_FALSE(token.empty()) << m_text;
    EXPECT_NE(m_text.find("https://crm.example.com"), std::string::npos);

    HttpReply page = httpRequest(port, "GET", "/");
    EXPECT_EQ(page.status, 200);
    EXPECT_NE(page.body.find("<script src=\"/lumora.js\">"), std::string::npos);
    EXPECT_EQ(upgradeStatus(port, {{"X-Lumora-Token", token[1]}}), 101);

    kill(m_child, SIGINT);
    int status = 0;
    ASSERT_EQ(waitpid(m_child, &status, 0), m_child);
    m_child = -1;
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(ServeCommand, GivesTheDemoPageAFolderWithTheSampleTemplateAndNamesATakenPort) {
    std::string temp = (m_data.path() / "temp").string();
    start({"serve", "--port", "0", "--data", m_data.path().string(), "--temp", temp});
    std::smatch address = readUntil(std::regex(R"(listening on http://127\.0\.0\.1:(\d+)/)"));
    ASSERT_FALSE(address.empty()) << m_text;
    auto port = static_cast<uint16_t>(std::stoi(address[1]));

    HttpReply settings = httpRequest(port, "GET", "/demo-settings.json");
    EXPECT_EQ(settings.status, 200);
    std::string folder = temp + "/lumora-demo/templates/";
    const nlohmann::json demo = nlohmann::json::parse(settings.body);
    EXPECT_EQ(demo["templateFolder"], folder);
    EXPECT_EQ(demo["letterTemplate"], folder + "Welcome letter.dotx");
    EXPECT_EQ(demo["seminarTemplate"], folder + "Seminar invitation.dotx");
    EXPECT_EQ(demo["letterRecord"].get<std::string>().rfind("<Data>", 0), 0u);
    EXPECT_EQ(demo["seminarRecord"].get<std::string>().rfind("<record>", 0), 0u);
    for (const char* name : {"Welcome letter.dotx", "Seminar invitation.dotx", "Welcome letter record.xml",
                             "Seminar invitation record.xml"})
        EXPECT_TRUE(std::filesystem::is_regular_file(folder + name)) << name;
    EXPECT_EQ(demo["quoteTemplate"], folder + "Quote.docx");
    EXPECT_EQ(demo["quoteHtmlTemplate"], folder + "QuoteHtml.docx");
    EXPECT_EQ(demo["quoteRecord"], host::sampleQuoteRecord());
    EXPECT_EQ(demo["campaignLetter"], folder + "Campaign letter.docx");
    EXPECT_TRUE(std::filesystem::is_regular_file(folder + "Campaign letter.docx"));
    EXPECT_EQ(demo["campaignRecipients"], host::sampleCampaignRecipients());

    // The quote templates are also at the bridge's web address, the HTML line table beside them;
    // nothing else of the folder is.
    EXPECT_EQ(demo["quoteWebFolder"], "/samples/quotes/");
    HttpReply lines = httpRequest(port, "GET", "/samples/quotes/QuoteLines.htm");
    EXPECT_EQ(lines.status, 200);
    EXPECT_EQ(lines.body, host::sampleQuoteLines());
    EXPECT_EQ(lines.headers["content-type"], "text/html; charset=utf-8");
    HttpReply quote = httpRequest(port, "GET", "/samples/quotes/QuoteHtml.docx");
    EXPECT_EQ(quote.status, 200);
    EXPECT_EQ(quote.body.rfind("PK", 0), 0u);
    for (const char* other : {"/samples/quotes/Quote.xml", "/samples/quotes/Welcome%20letter.dotx", "/samples/quotes/",
                              "/samples/quotes/../templates/Quote.xml"})
        EXPECT_EQ(httpRequest(port, "GET", other).status, 404) << other;

    ProcessResult second = runLumora({"serve", "--port", std::to_string(port), "--data", m_data.path().string(),
                                      "--temp", temp},
                                     m_data.path());
    EXPECT_EQ(second.status, 1);
    EXPECT_NE(second.err.find("cannot listen on 127.0.0.1:" + std::to_string(port) + ": "), std::string::npos)
        << second.err;
    EXPECT_NE(second.err.find("Port " + std::to_string(port) + " is taken"), std::string::npos) << second.err;
}

// The processor time the process has used so far, in clock ticks.
long cpuTicks(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), {});
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) utime = std::stol(field);
        if (i == 15) stime = std::stol(field);
    }
    return utime + stime;
}

TEST_F(ServeCommand, AFloodOfHalfSentRequestsUnderALowFileLimitNeitherSpinsNorLocksOut) {
    start({"serve", "--port", "0", "--data", m_data.path().string()}, 64);
    std::smatch address = readUntil(std::regex(R"(listening on http://127\.0\.0\.1:(\d+)/)"));
    ASSERT_FALSE(address.empty()) << m_text;
    auto port = static_cast<uint16_t>(std::stoi(address[1]));

    std::vector<int> stalled;
    for (int i = 0; i < 80; ++i) {
        int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0) {
            const std::string start = "GET / HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\n";
            (void)send(fd, start.data(), start.size(), MSG_NOSIGNAL);
        }
        stalled.push_back(fd);
    }
    EXPECT_EQ(httpRequest(port, "GET", "/").status, 200);
    long before = cpuTicks(m_child);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    // A spinning accept loop would use the whole second.
    EXPECT_LT(cpuTicks(m_child) - before, sysconf(_SC_CLK_TCK) / 4);
    EXPECT_EQ(httpRequest(port, "GET", "/lumora.js").status, 200);
    for (int fd : stalled) close(fd);
}

TEST_F(ServeCommand, RefusesAnAllowedOriginThatIsNotAnExactOrigin) {
    start({"serve", "--port", "0", "--data", m_data.path().string(), "--allow-origin", "https://*.example.com"});
    int status = 0;
    ASSERT_EQ(waitpid(m_child, &status, 0), m_child);
    m_child = -1;
    EXPECT_EQ(WEXITSTATUS(status), 2);
}

TEST_F(ServeCommand, NativeHostStartedTheWayABrowserStartsItAnswersFramedRequests) {
    start({"serve", "--native-messaging", "chrome-extension://abcdefghijklmnop/", "--parent-window=0", "--data",
           m_data.path().string()});
    std::string request = R"({"jsonrpc":"2.0","id":1,"method":"create","params":{"progId":"Nobody.Installed"}})";
    uint32_t length = static_cast<uint32_t>(request.size());
    ASSERT_EQ(write(m_in, &length, 4), 4);
    ASSERT_EQ(write(m_in, request.data(), request.size()), static_cast<ssize_t>(request.size()));
    ASSERT_EQ(read(m_out, &length, 4), 4);
    std::string answer(length, '\0');
    ASSERT_EQ(read(m_out, answer.data(), length), static_cast<ssize_t>(length));
    auto response = nlohmann::json::parse(answer);
    EXPECT_EQ(response["id"], 1);
    EXPECT_EQ(response["error"]["data"]["number"], 429);

    close(m_in);  // the browser closed the port
    m_in = -1;
    int status = 0;
    ASSERT_EQ(waitpid(m_child, &status, 0), m_child);
    m_child = -1;
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// The helpers a stopping bridge must take with it, found below it before it is told to stop.
class ServeStop : public ServeCommand {
protected:
    uint16_t startServing() {
        start({"serve", "--port", "0", "--data", m_data.path().string(), "--temp", temp().string()});
        std::smatch address = readUntil(std::regex(R"(listening on http://127\.0\.0\.1:(\d+)/)"));
        if (address.empty()) ADD_FAILURE() << m_text;
        readUntil(std::regex("Press Ctrl\\+C to stop"));
        return address.empty() ? 0 : static_cast<uint16_t>(std::stoi(address[1]));
    }
    fs::path temp() const { return m_data.path() / "temp"; }

    // Sends SIGTERM and expects the bridge gone within five seconds, with every helper it had.
    void expectStopsWithItsHelpers(const std::vector<ProcessInfo>& helpers) {
        const auto told = std::chrono::steady_clock::now();
        kill(m_child, SIGTERM);
        int status = 0;
        ASSERT_EQ(waitpid(m_child, &status, 0), m_child);
        const auto took = std::chrono::steady_clock::now() - told;
        m_child = -1;
        EXPECT_LT(took, std::chrono::seconds(5));
        EXPECT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
        for (const ProcessInfo& helper : helpers)
            EXPECT_TRUE(eventually([&] { return !processAlive(helper.pid); }, std::chrono::seconds(1)))
                << helper.name << " " << helper.pid << " outlived the bridge";
    }
};

TEST_F(ServeStop, TerminatingDuringACallThatWaitsForAnAnswerEndsTheCallTheUserAgentAndTheBridge) {
    if (std::system("command -v baresip >/dev/null 2>&1") != 0) GTEST_SKIP() << "baresip is not installed";
    SilentSipPort farEnd;
    ProcessResult added = runLumora({"lines", "add", "sip", "Office SIP", "--account",
                                     "sip:alice@127.0.0.1:" + std::to_string(farEnd.port()), "--wait", "60",
                                     "--data", m_data.path().string()},
                                    m_data.path());
    ASSERT_EQ(added.status, 0) << added.err;
    const uint16_t port = startServing();
    ASSERT_NE(port, 0);
    BridgeClient page(port);
    const int64_t control = page.create("LumoraControl2005.LumoraCtrl2005");
    page.sendRequest("call", {{"object", control},
                              {"member", "MakeCall"},
                              {"args", {"number=0123;tapidevice=office;object=LumoraGenTAPI30.Dialer"}}});
    ASSERT_TRUE(farEnd.receivedInvite(std::chrono::seconds(10)));
    const std::vector<ProcessInfo> helpers = descendantsOf(m_child);
    ASSERT_TRUE(anyNamed(helpers, "baresip"));
    expectStopsWithItsHelpers(helpers);
}

TEST_F(ServeStop, TerminatingWhileALetterWaitsForTheConverterEndsLibreOfficeAndSavesNothing) {
    if (std::system("command -v soffice >/dev/null 2>&1") != 0) GTEST_SKIP() << "LibreOffice is not installed";
    const uint16_t port = startServing();
    ASSERT_NE(port, 0);
    const nlohmann::json demo = nlohmann::json::parse(httpRequest(port, "GET", "/demo-settings.json").body);
    BridgeClient page(port);
    const int64_t control = page.create("LumoraControl2005.LumoraCtrl2005");
    const fs::path pdf = temp() / "Welcome.pdf";
    page.sendRequest("call", {{"object", control},
                              {"member", "CreateLetterXML"},
                              {"args", {{{"$xml", demo["letterRecord"]}}, demo["letterTemplate"], "", "HTML",
                                        pdf.string(), "true", "Welcome"}}});
    // LibreOffice takes seconds to start for the first conversion: the bridge is stopped then.
    std::vector<ProcessInfo> helpers;
    ASSERT_TRUE(eventually(
        [&] {
            helpers = descendantsOf(m_child);
            return anyNamed(helpers, "soffice");
        },
        std::chrono::seconds(30)));
    expectStopsWithItsHelpers(descendantsOf(m_child));
    EXPECT_FALSE(fs::exists(pdf));
}

}  // namespace
}  // namespace lumora::tests
