// The web-page save (SaveAs format 8) of a 20-page letter: the sample letter's text, heading,
// contact table and letterhead logo repeated to about twenty pages, saved as a page with its
// picture folder, against the same document saved as .docx in the same run. Both are timed on
// the wall clock, since writing the files is part of the work, and reported as medians of nine
// repetitions. Target: the page under 100 ms.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "Automation/registry.hpp"
#include "bench/median_reporter.hpp"
#include "Host/sample_template.hpp"
#include "Platform/Desktop/headless_desktop.hpp"
#include "Platform/Word/package.hpp"
#include "Platform/Word/register.hpp"

namespace {

using namespace lumora;
namespace fs = std::filesystem;

// Copies of the sample letter's text, each a little under half a page, for about 20 pages.
constexpr int kLetterCopies = 44;

const fs::path& workFolder() {
    static const fs::path folder = [] {
        fs::path f = fs::temp_directory_path() / ("lumora-html-bench-" + std::to_string(::getpid()));
        fs::create_directories(f);
        return f;
    }();
    return folder;
}

// The sample letter with its body repeated: the header keeps the logo, every copy its table.
fs::path longLetter() {
    const fs::path sample = host::writeSampleTemplate(workFolder());
    word::Package package = word::Package::fromFile(sample);
    const std::string document = *package.find("word/document.xml");
    const size_t start = document.find("<w:body>") + 8;
    const size_t end = document.rfind("<w:sectPr>");
    std::string body;
    for (int copy = 0; copy < kLetterCopies; ++copy) body += document.substr(start, end - start);
    package.put("word/document.xml", document.substr(0, start) + body + document.substr(end));
    const fs::path file = workFolder() / "Long letter.dotx";
    package.writeAtomically(file);
    return file;
}

Object& letterDocument() {
    static Object document = [] {
        word::registerWordClasses(Registry::instance());
        const Object word = Registry::instance().createObject("Word.Application");
        return word.getObject("Documents").call("Add", longLetter().string()).toObject();
    }();
    return document;
}

void BM_SaveAsWebPage(benchmark::State& state) {
    const std::string page = (workFolder() / "Letter.htm").string();
    for (auto _ : state) letterDocument().call("SaveAs", Named{"FileName", page}, Named{"FileFormat", 8});
}

void BM_SaveAsDocx(benchmark::State& state) {
    const std::string file = (workFolder() / "Letter.docx").string();
    for (auto _ : state) letterDocument().call("SaveAs", file);
}

BENCHMARK(BM_SaveAsWebPage)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_SaveAsDocx)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    desktop::HeadlessDesktop headless;
    desktop::ScopedDesktop scope(headless);
    Registry::instance().setDataFolder(workFolder());
    benchmark::Initialize(&argc, argv);
    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double page = reporter.milliseconds("BM_SaveAsWebPage"), docx = reporter.milliseconds("BM_SaveAsDocx");
    if (page > 0 && docx > 0)
        std::printf("web page / .docx: %.2fx (median %.1f ms against %.1f ms); target: the page under 100 ms\n",
                    page / docx, page, docx);
    letterDocument().release();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(workFolder(), ignored);
    return 0;
}
