// PDF export on a machine where LibreOffice cannot be sandboxed (here: no bubblewrap on PATH),
// run as a person runs lumora: the letters are still exported, their copies still cleaned of
// every picture from outside (no file, nothing fetched from the loopback server), and standard
// error, which lumora serve shows, says once that the converter runs without a sandbox.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <nlohmann/json.hpp>

#include "Platform/Desktop/child_process.hpp"
#include "lumora_process.hpp"
#include "tests/Automation/temp_folder.hpp"
#include "tests/support/http_server_fixture.hpp"
#include "tests/support/linked_template.hpp"

namespace lumora::tests {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

size_t occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST(UnconfinedExport, StillCleansTheCopyAndSaysOnceThatItRunsWithoutASandbox) {
    if (!desktop::process::findProgram("soffice")) GTEST_SKIP() << "LibreOffice is not installed";
    TempFolder temp;
    const fs::path requests = temp.path() / "requests.log";
    test::LoopbackHttpServer server(temp.path() / "web", temp.path() / "uploads", requests);
    const testing::LinkedTemplate linked = testing::templateLinkingOutside(temp.path(), temp.path() / "web", server.url(""));
    const fs::path templatePath = temp.path() / "linked.dotx";
    testing::writeDocx(templatePath, linked.parts);

    // A PATH with every program of this one (LibreOffice's start script needs a few) but bubblewrap.
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    const fs::path programs = temp.path() / "bin";
    fs::create_directories(programs);
    std::stringstream folders(path);
    for (std::string folder; std::getline(folders, folder, ':');) {
        std::error_code error;
        for (const auto& program : fs::directory_iterator(folder, error))
            if (program.path().filename() != "bwrap") fs::create_symlink(program.path(), programs / program.path().filename(), error);
    }
    setenv("PATH", programs.c_str(), 1);
    const auto exportStep = [](const fs::path& pdf) {
        return json{{"call", "d"}, {"member", "ExportAsFixedFormat"}, {"args", {pdf.string(), 17}}};
    };
    const json script = {{"steps",
                          {{{"create", "Word.Application"}, {"as", "w"}},
                           {{"get", "w"}, {"member", "Documents"}, {"as", "docs"}},
                           {{"call", "docs"}, {"member", "Add"}, {"args", {templatePath.string()}}, {"as", "d"}},
                           exportStep(temp.path() / "first.pdf"),
                           exportStep(temp.path() / "second.pdf")}}};
    const ProcessResult run =
        runLumora({"--data", (temp.path() / "data").string(), "--no-launch", "run", "-"}, temp.path(), script.dump());
    setenv("PATH", path.c_str(), 1);

    ASSERT_EQ(run.status, 0) << run.err << run.out;
    EXPECT_EQ(occurrences(run.err, "runs without a sandbox"), 1u) << run.err;
    EXPECT_NE(run.err.find("lumora: warning: LibreOffice (PDF export, legacy documents) runs without a sandbox"), std::string::npos);
    for (const char* name : {"first.pdf", "second.pdf"}) {
        const std::multiset<std::string> images = testing::pdfImageSizes(temp.path() / name);
        EXPECT_EQ(images.count(linked.insideSize), 1u) << name;
        for (const std::string& size : linked.outsideSizes) EXPECT_EQ(images.count(size), 0u) << name << ": " << size;
    }
    EXPECT_EQ(readWhole(requests), "");
}

}  // namespace
}  // namespace lumora::tests
