// A mail merge of a one-page letter (eight merge fields, a header) with 10,000 records from a
// comma-separated data file, against a floor in the same run: the same 10,000 bodies made by
// plain string copies of the letter's markup with the values put in. Both are timed on the wall
// clock and reported as medians of three repetitions, with the peak memory growth of one run of
// each. Target: the merge under 10 s, a small multiple of the floor.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "Automation/registry.hpp"
#include "Platform/Desktop/headless_desktop.hpp"
#include "Platform/Word/package.hpp"
#include "Platform/Word/register.hpp"
#include "bench/median_reporter.hpp"
#include "bench/peak_memory.hpp"
#include "bench/word/word_templates.hpp"

namespace {

using namespace lumora;
namespace fs = std::filesystem;

constexpr int kRecords = 10'000;
constexpr int kFields = 8;

const fs::path& workFolder() {
    static const fs::path folder = [] {
        fs::path f = fs::temp_directory_path() / ("lumora-merge-bench-" + std::to_string(::getpid()));
        fs::create_directories(f);
        return f;
    }();
    return folder;
}

std::string recordValue(int record, int field) { return bench::tagValue(field) + " " + std::to_string(record); }

fs::path dataFile() {
    const fs::path file = workFolder() / "CRMWordMergeData.csv";
    std::ofstream out(file, std::ios::binary);
    for (int f = 1; f <= kFields; ++f) out << (f > 1 ? "," : "") << bench::tagName(f);
    out << "\r\n";
    for (int r = 0; r < kRecords; ++r) {
        for (int f = 1; f <= kFields; ++f) out << (f > 1 ? "," : "") << '"' << recordValue(r, f) << '"';
        out << "\r\n";
    }
    return file;
}

// A one-page letter: the benchmark page thinned to every third paragraph (those with tags kept),
// about the text of a letter with its address block and signature.
fs::path letterTemplate() {
    const fs::path letter = workFolder() / "letter.dotx";
    bench::writeLetterTemplate(letter, 1, kFields);
    word::Package package = word::Package::fromFile(letter);
    const std::string xml = *package.find("word/document.xml");
    const size_t start = xml.find("<w:body>") + 8, end = xml.rfind("<w:sectPr");
    std::string body;
    int paragraph = 0;
    for (size_t at = start; at < end;) {
        const size_t close = std::min(xml.find("</w:p>", at) + 6, end);
        const std::string block = xml.substr(at, close - at);
        if (paragraph++ % 3 == 0 || block.find("Tag") != std::string::npos) body += block;
        at = close;
    }
    package.put("word/document.xml", xml.substr(0, start) + body + xml.substr(end));
    package.writeAtomically(letter);
    return letter;
}

// The letter with its tags made merge fields, as the campaign control makes them.
Object mainDocument(const Object& word) {
    const fs::path letter = letterTemplate();
    Object document = word.getObject("Documents").call("Add", letter.string()).toObject();
    for (int f = 1; f <= kFields; ++f) {
        Object range = document.getObject("Content");
        const Object find = range.getObject("Find");
        find.put("Text", "<" + bench::tagName(f) + ">");
        while (find.call("Execute").toBool()) range.getObject("Fields").call("Add", range, 59, bench::tagName(f));
    }
    document.getObject("MailMerge").call("OpenDataSource", dataFile().string());
    return document;
}

struct Merge {
    Object word;
    Object document;
    Merge() {
        word::registerWordClasses(Registry::instance());
        word = Registry::instance().createObject("Word.Application");
        document = mainDocument(word);
    }
    void run() const {
        document.getObject("MailMerge").call("Execute");
        word.getObject("ActiveDocument").call("Close", false);
    }
};

// The floor: the letter's body markup copied per record with the field results replaced.
struct StringCopies {
    std::string body;
    explicit StringCopies(const Object& document) {
        const fs::path saved = workFolder() / "main.docx";
        document.call("SaveAs", saved.string());
        const std::string xml = *word::Package::fromFile(saved).find("word/document.xml");
        const size_t start = xml.find("<w:body>") + 8;
        body = xml.substr(start, xml.rfind("<w:sectPr") - start);
    }
    size_t run() const {
        std::string out;
        for (int r = 0; r < kRecords; ++r) {
            std::string copy = body;
            for (int f = 1; f <= kFields; ++f) {
                const std::string shown = "\u00AB" + bench::tagName(f) + "\u00BB";
                for (size_t at = copy.find(shown); at != std::string::npos; at = copy.find(shown, at))
                    copy.replace(at, shown.size(), recordValue(r, f));
            }
            out += copy;
        }
        return out.size();
    }
};

Merge& merge() {
    static Merge instance;
    return instance;
}

void BM_MailMergeExecute(benchmark::State& state) {
    for (auto _ : state) merge().run();
}

void BM_StringCopiesFloor(benchmark::State& state) {
    const StringCopies floor(merge().document);
    for (auto _ : state) benchmark::DoNotOptimize(floor.run());
}

BENCHMARK(BM_MailMergeExecute)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_StringCopiesFloor)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    desktop::HeadlessDesktop headless;
    desktop::ScopedDesktop scope(headless);
    Registry::instance().setDataFolder(workFolder());
    // Memory first, each in a child of its own, before the timed runs raise this process's peak.
    const long mergeKiB = bench::peakGrowthKiB([] {
        auto prepared = std::make_shared<Merge>();
        return std::function<void()>([prepared] { prepared->run(); });
    });
    const long floorKiB = bench::peakGrowthKiB([] {
        auto prepared = std::make_shared<Merge>();
        auto copies = std::make_shared<StringCopies>(prepared->document);
        return std::function<void()>([copies] { benchmark::DoNotOptimize(copies->run()); });
    });
    benchmark::Initialize(&argc, argv);
    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double executed = reporter.milliseconds("BM_MailMergeExecute");
    const double floor = reporter.milliseconds("BM_StringCopiesFloor");
    if (executed > 0 && floor > 0)
        std::printf("merge / string copies: %.1fx (median %.0f ms against %.0f ms); target: the merge under 10 s\n",
                    executed / floor, executed, floor);
    bench::printPeakGrowth("merge", "string copies", mergeKiB, floorKiB);
    merge().document.release();
    merge().word.release();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(workFolder(), ignored);
    return 0;
}
