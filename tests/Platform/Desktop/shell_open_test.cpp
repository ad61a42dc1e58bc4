// Opening files in their associated program: the ShellExecute codes for missing files, and the
// refusal of anything that would start a program, checked on real files.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "Platform/Desktop/headless_desktop.hpp"
#include "environment_guard.hpp"

using namespace lumora::desktop;
namespace fs = std::filesystem;

namespace {

class ShellOpen : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "lumora-shell-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path write(const std::string& name, const std::string& content, fs::perms perms = fs::perms(0644)) {
        const fs::path file = m_dir / name;
        std::ofstream(file, std::ios::binary) << content;
        fs::permissions(file, perms);
        return file;
    }
    int32_t open(const fs::path& file) { return m_system.shellOpen(file, false); }

    fs::path m_dir;
    SystemServices m_system;
};

}  // namespace

TEST_F(ShellOpen, MissingFileIsFileNotFoundOrPathNotFoundByItsFolder) {
    EXPECT_EQ(open(m_dir / "absent.txt"), shell::FileNotFound);
    EXPECT_EQ(open(m_dir / "no-folder" / "absent.txt"), shell::PathNotFound);
    const fs::path notAFolder = write("plain.txt", "text");
    EXPECT_EQ(open(notAFolder / "inside.txt"), shell::PathNotFound);
    EXPECT_EQ(open(""), shell::FileNotFound);
}

TEST_F(ShellOpen, PlainDocumentAndFolderOpen) {
    EXPECT_EQ(open(write("quote.txt", "Quote 1001")), shell::Ok);
    EXPECT_EQ(open(m_dir), shell::Ok);

    HeadlessDesktop desktop;
    const fs::path letter = write("letter.TXT", "Dear customer");
    EXPECT_EQ(desktop.shellOpen(letter), shell::Ok);
    EXPECT_EQ(desktop.shellOpen(m_dir / "gone.txt"), shell::FileNotFound);
    EXPECT_EQ(desktop.transcript().opened, std::vector<fs::path>{letter});
}

TEST_F(ShellOpen, ScriptsAreRefusedWithOrWithoutTheExecuteBit) {
    EXPECT_EQ(open(write("run.sh", "#!/bin/sh\necho hi\n", fs::perms(0755))), shell::AccessDenied);
    EXPECT_EQ(open(write("setup.sh", "echo hi\n")), shell::AccessDenied);
    EXPECT_EQ(open(write("readme.txt", "#!/bin/sh\necho hi\n")), shell::AccessDenied);
    EXPECT_EQ(open(write("notes.txt", "plain words\n", fs::perms(0744))), shell::AccessDenied);
}

TEST_F(ShellOpen, BinariesAreRefusedByExecuteBitAndByContent) {
    const fs::path binary = m_dir / "true";
    fs::copy_file("/bin/true", binary);
    EXPECT_EQ(open(binary), shell::AccessDenied);
    fs::permissions(binary, fs::perms(0644));
    fs::rename(binary, m_dir / "report.pdf");
    EXPECT_EQ(open(m_dir / "report.pdf"), shell::AccessDenied);
    EXPECT_EQ(open(write("setup.EXE", "MZ\x90")), shell::AccessDenied);
}

TEST_F(ShellOpen, LaunchersAreRefusedByNameAndByContent) {
    const std::string entry = "[Desktop Entry]\nType=Application\nExec=sh -c 'rm -rf ~'\n";
    EXPECT_EQ(open(write("crm.desktop", entry)), shell::AccessDenied);
    EXPECT_EQ(open(write("CRM.DESKTOP", "harmless\n")), shell::AccessDenied);
    EXPECT_EQ(open(write("invoice.txt", "# generated\n" + entry)), shell::AccessDenied);
    EXPECT_EQ(open(write("tool.AppImage", "data")), shell::AccessDenied);
}

TEST_F(ShellOpen, LinkWithAHarmlessNameToAScriptIsRefused) {
    const fs::path script = write("payload.sh", "echo hi\n");
    fs::create_symlink(script, m_dir / "report.txt");
    EXPECT_EQ(open(m_dir / "report.txt"), shell::AccessDenied);
}

TEST_F(ShellOpen, PipesAndUnreadableFilesAreRefusedWithoutBlocking) {
    const fs::path pipe = m_dir / "feed.txt";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    EXPECT_EQ(open(pipe), shell::AccessDenied);
    EXPECT_EQ(open("/dev/zero"), shell::AccessDenied);
    if (::geteuid() != 0) {
        EXPECT_EQ(open(write("secret.txt", "s", fs::perms::none)), shell::AccessDenied);
    }
}

// The desktop's MIME helpers are replaced by recording stand-ins on PATH, so that the test
// sees exactly what would be started without starting a real application.
class ShellLaunch : public ShellOpen {
protected:
    void SetUp() override {
        ShellOpen::SetUp();
        m_bin = m_dir / "bin";
        fs::create_directory(m_bin);
        m_env.set("PATH", m_bin.string());
    }
    void helper(const std::string& name, const std::string& body) {
        write("bin/" + name, "#!/bin/sh\n" + body, fs::perms(0755));
    }
    fs::path m_bin;
    EnvironmentGuard m_env;
};

TEST_F(ShellLaunch, DocumentGoesToTheOpenerAsOneArgumentWithoutAShell) {
    const fs::path record = m_dir / "opened.log";
    helper("xdg-mime", "case \"$2\" in filetype) echo 'text/plain; charset=utf-8';; default) echo editor.desktop;; esac\n");
    helper("xdg-open", "printf '%s|%s' \"$#\" \"$1\" > '" + record.string() + "'\n");
    const fs::path quote = write("Quote 7; echo $(id) 'x'.txt", "Quote");
    EXPECT_EQ(m_system.shellOpen(quote, true), shell::Ok);

    // Only shell built-ins are on PATH; one printf writes the whole record at once.
    for (int i = 0; i < 100 && !(fs::exists(record) && fs::file_size(record) > 0); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::stringstream opened;
    opened << std::ifstream(record).rdbuf();
    EXPECT_EQ(opened.str(), "1|" + fs::canonical(quote).string());
}

TEST_F(ShellLaunch, NoAssociationOrNoOpenerIsCode31) {
    const fs::path quote = write("quote.txt", "Quote");
    EXPECT_EQ(m_system.shellOpen(quote, true), shell::NoAssociation);  // no helpers at all
    helper("xdg-mime", "case \"$2\" in filetype) echo text/plain;; default) echo editor.desktop;; esac\n");
    EXPECT_EQ(m_system.shellOpen(quote, true), shell::NoAssociation);  // no xdg-open
}

TEST_F(ShellLaunch, FileTheDesktopSeesAsAProgramIsRefused) {
    helper("xdg-mime", "case \"$2\" in filetype) echo application/x-shellscript;; default) echo sh.desktop;; esac\n");
    helper("xdg-open", "echo > '" + (m_dir / "started").string() + "'\n");
    EXPECT_EQ(m_system.shellOpen(write("data.csv", "a,b"), true), shell::AccessDenied);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(fs::exists(m_dir / "started"));
}
