// A page that goes takes its running call with it: the call ends at its next natural point in
// its own failure path, and the helper it had started (here the SIP user agent of a call the far
// end never answers) ends with it, long before the call's own wait would have run out.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <mutex>

#include "Host/stand_ins.hpp"
#include "Host/startup.hpp"
#include "Platform/Telephony/line_list.hpp"
#include "bridge_fixture.hpp"
#include "tests/support/process_tree.hpp"
#include "tests/support/silent_sip_port.hpp"

namespace lumora::tests {
namespace {

namespace fs = std::filesystem;

constexpr const char* kControl = "LumoraControl2005.LumoraCtrl2005";

class CancelledCalls : public BridgeTest {
protected:
    void SetUp() override {
        if (std::system("command -v baresip >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "baresip is not installed (scripts/install-deps.sh installs it)";
        BridgeTest::SetUp();
        static std::once_flag standIns;
        std::call_once(standIns, host::registerStandIns);
        host::StartupReport report;
        const char* buildDir = std::getenv("LUMORA_BUILD_DIR");
        host::ensureDeliverablesRegistered(fs::path(buildDir ? buildDir : LUMORA_BUILD_DIR) / "lib", report);
        ASSERT_TRUE(report.problems.empty()) << report.problems.front();
    }
};

TEST_F(CancelledCalls, APageThatGoesMidCallEndsTheCallAndItsUserAgentAtOnce) {
    SilentSipPort farEnd;
    telephony::Line line = telephony::Line::sip("Office SIP", "sip:alice@127.0.0.1:" + std::to_string(farEnd.port()));
    line.connectWait = std::chrono::seconds(60);
    telephony::addLine(m_data.path(), line);
    serve();
    {
        BridgeClient page(port());
        const int64_t control = page.create(kControl);
        page.sendRequest("call", {{"object", control},
                                  {"member", "MakeCall"},
                                  {"args", {"number=0123;tapidevice=office;object=LumoraGenTAPI30.Dialer"}}});
        ASSERT_TRUE(farEnd.receivedInvite(std::chrono::seconds(10)));
        ASSERT_TRUE(anyNamed(descendantsOf(::getpid()), "baresip"));
    }
    // The call would wait a minute for an answer; the page's going ends it within seconds.
    EXPECT_TRUE(eventually([&] { return server->pageCount() == 0; }, std::chrono::seconds(5)));
    EXPECT_FALSE(anyNamed(descendantsOf(::getpid()), "baresip"));

    // The bridge itself goes on serving other pages.
    BridgeClient next(port());
    EXPECT_GT(next.create(kControl), 0);
}

}  // namespace
}  // namespace lumora::tests
