// A helper confined by the sandbox: it reaches no network (not even a listener on the host's
// loopback), sees none of the person's files, writes only its work folder, reads what it was
// given, and has a /tmp of its own. A machine without bubblewrap, and the one warning it gives,
// is tested through lumora itself (tests/Host/unconfined_export_test.cpp).

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>

#include "Automation/cancellation.hpp"
#include "Automation/error.hpp"
#include "Platform/Desktop/child_process.hpp"
#include "Platform/Desktop/sandbox.hpp"
#include "tests/Automation/temp_folder.hpp"

namespace lumora::desktop::sandbox {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A socket listening on the host's loopback; accepted() tells whether anyone connected.
class Listener {
public:
    Listener() : m_fd(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(m_fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(m_fd, 4) != 0 ||
            ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            throw std::runtime_error("cannot listen on the loopback");
        m_port = ntohs(address.sin_port);
    }
    ~Listener() { ::close(m_fd); }
    int port() const { return m_port; }
    bool accepted() const {
        const int connection = ::accept(m_fd, nullptr, nullptr);
        if (connection >= 0) ::close(connection);
        return connection >= 0;
    }

private:
    int m_fd;
    int m_port = 0;
};

constexpr const char* kProbe = R"PY(
import os, socket, sys
port, secret, given, work = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4]
def attempt(action):
    try:
        action()
        return "yes"
    except Exception:
        return "no"
def connect():
    socket.create_connection(("127.0.0.1", int(port)), timeout=2).close()
def write(path):
    with open(path, "w") as f:
        f.write("from inside")
print("network", attempt(connect))
print("secret", attempt(lambda: open(secret).read()))
print("given", attempt(lambda: open(given).read()))
print("given-written", attempt(lambda: write(given)))
print("work-written", attempt(lambda: write(os.path.join(work, "made-inside.txt"))))
print("tmp", [e for e in os.listdir("/tmp") if not work.startswith(os.path.join("/tmp", e) + "/")])
print("home", os.environ.get("HOME") == work, os.getcwd() == work)
)PY";

TEST(Sandbox, AConfinedHelperReachesNoNetworkAndOnlyTheFoldersItWasGiven) {
    tests::TempFolder outside;
    const fs::path work = outside.path() / "work";
    const fs::path given = outside.path() / "given.txt";
    const fs::path secret = outside.path() / "secret.txt";
    fs::create_directories(work);
    std::ofstream(given) << "settings";
    std::ofstream(secret) << "the person's own";
    std::ofstream(work / "probe.py") << kProbe;
    Listener listener;

    const auto command = confinedCommand({"/usr/bin/python3", (work / "probe.py").string(), std::to_string(listener.port()),
                                          secret.string(), given.string(), work.string()},
                                         View{{given}, work});
    if (!command) GTEST_SKIP() << "bubblewrap cannot make a sandbox on this machine";
    const auto output = process::captureOutput(*command, 30s);
    ASSERT_TRUE(output);
    EXPECT_EQ(*output,
              "network no\nsecret no\ngiven yes\ngiven-written no\nwork-written yes\ntmp []\nhome True True\n");
    EXPECT_FALSE(listener.accepted());
    EXPECT_TRUE(fs::exists(work / "made-inside.txt"));
}

// Whether this machine can confine a program, found out by a child process so that this
// process's own first look is still to be made.
bool machineCanConfine(const std::vector<std::string>& argv, const fs::path& work) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(confinedCommand(argv, View{{}, work}).has_value() ? 0 : 1);
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(Sandbox, AFirstLookCutShortByACancelledCallIsNotTakenForAMachineWithoutSandbox) {
    tests::TempFolder work;
    const std::vector<std::string> argv{"/usr/bin/true"};
    if (!machineCanConfine(argv, work.path())) GTEST_SKIP() << "bubblewrap cannot make a sandbox on this machine";
    {
        CancelFlag flag;
        flag.cancel();
        ScopedCancelFlag cancelled(flag);
        try {
            // The first look at the machine is made now, unless this process made it already.
            (void)confinedCommand(argv, View{{}, work.path()});
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), static_cast<int32_t>(RuntimeError::UserInterrupt));
        }
    }
    EXPECT_TRUE(confinedCommand(argv, View{{}, work.path()}).has_value());
}

}  // namespace
}  // namespace lumora::desktop::sandbox
