// The quote export at the size of a large quote: a page table of 2,000 lines of 10 columns,
// exported with ExcelQuote until the .xlsx is written in the documents folder, against
// libxlsxwriter writing the same typed cells (bold captions, width 20, from row 3 the article
// as text and the amounts as numbers with two decimals) directly. The page's amounts are read
// as numbers in a British locale, as the export does for a person. Targets: within 3x the
// direct write, and under a second. Both are timed on the wall clock, since writing the file
// is part of the work.

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <xlsxwriter.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Automation/registry.hpp"
#include "Control/frame/control.hpp"
#include "Platform/Desktop/headless_desktop.hpp"
#include "Platform/Excel/register.hpp"
#include "Platform/Html/register.hpp"
#include "bench/ratio_reporter.hpp"

namespace {

using namespace lumora;
namespace fs = std::filesystem;

constexpr int kLines = 2000;
constexpr int kColumns = 10;

struct QuoteTable {
    std::vector<std::string> captions;
    std::vector<std::vector<std::string>> lines;
    std::string markup;
    std::string columnNames;  // every caption, each followed by "#~"
};

const QuoteTable& quoteTable() {
    static const QuoteTable table = [] {
        QuoteTable t;
        t.markup = "<html><body><table id=\"QuoteTable\"><tbody><tr>";
        for (int c = 1; c <= kColumns; ++c) {
            t.captions.push_back("Column " + std::to_string(c));
            t.markup += "<th>" + t.captions.back() + "</th>";
            t.columnNames += t.captions.back() + "#~";
        }
        t.markup += "</tr>\n";
        for (int r = 1; r <= kLines; ++r) {
            std::vector<std::string>& line = t.lines.emplace_back();
            t.markup += "<tr>";
            for (int c = 1; c <= kColumns; ++c) {
                line.push_back(c == 1 ? "Article " + std::to_string(r) : std::to_string(r * c) + ".50");
                t.markup += "<td>" + line.back() + "</td>";
            }
            t.markup += "</tr>\n";
        }
        t.markup += "</tbody></table></body></html>";
        return t;
    }();
    return table;
}

// A private data folder whose documents folder receives the workbooks.
fs::path dataFolder() {
    static const fs::path folder = [] {
        std::string pattern = (fs::temp_directory_path() / "lumora-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        return fs::path(pattern);
    }();
    return folder;
}

void removeWorkbooks() {
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(dataFolder() / "documents", ignored)) fs::remove(entry.path(), ignored);
}

void excelQuote(benchmark::State& state) {
    Object document = Registry::instance().createObject("Lumora.HTMLDocument");
    document.call("write", quoteTable().markup);
    Object control = makeObject<control::LumoraCtrl2005>();
    for (auto _ : state) {
        control.call("CreateExcelApp");
        Variant page(document);
        Variant columns(quoteTable().columnNames);
        if (!control.call("ExcelQuote", ByRef{page}, ByRef{columns}).toBool()) state.SkipWithError("ExcelQuote failed");
        state.PauseTiming();
        if (!fs::exists(dataFolder() / "documents" / "Book1.xlsx")) state.SkipWithError("no workbook written");
        removeWorkbooks();
        state.ResumeTiming();
    }
}

void directLibxlsxwriter(benchmark::State& state) {
    const QuoteTable& table = quoteTable();
    const fs::path documents = dataFolder() / "documents";
    fs::create_directories(documents);
    std::string scratch = documents.string();
    const std::string file = (documents / "Direct.xlsx").string();
    for (auto _ : state) {
        lxw_workbook_options options{};
        options.tmpdir = scratch.data();
        lxw_workbook* workbook = workbook_new_opt(file.c_str(), &options);
        lxw_worksheet* sheet = workbook_add_worksheet(workbook, "Sheet1");
        lxw_format* bold = workbook_add_format(workbook);
        format_set_bold(bold);
        lxw_format* twoDecimals = workbook_add_format(workbook);
        format_set_num_format(twoDecimals, "0.00");
        for (int c = 0; c < kColumns; ++c) {
            worksheet_set_column(sheet, c, c, 20, nullptr);
            worksheet_write_string(sheet, 0, c, table.captions[c].c_str(), bold);
        }
        for (int r = 0; r < kLines; ++r)
            for (int c = 0; c < kColumns; ++c) {
                if (c == 0)
                    worksheet_write_string(sheet, r + 2, c, table.lines[r][c].c_str(), nullptr);
                else
                    worksheet_write_number(sheet, r + 2, c, std::stod(table.lines[r][c]), twoDecimals);
            }
        if (workbook_close(workbook) != LXW_NO_ERROR) state.SkipWithError("libxlsxwriter failed");
        state.PauseTiming();
        removeWorkbooks();
        state.ResumeTiming();
    }
}

BENCHMARK(excelQuote)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(directLibxlsxwriter)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Registry::instance().setDataFolder(dataFolder());
    html::registerHtmlClasses(Registry::instance());
    excel::registerExcelClasses(Registry::instance());
    desktop::HeadlessDesktop headless(desktop::SystemConfig{.locale = "en_GB"});
    desktop::ScopedDesktop scope(headless);

    bench::RatioReporter reporter(bench::RatioReporter::Clock::Real);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios("directLibxlsxwriter", {"excelQuote"});
    std::printf("excelQuote: %.0f ms per export of %d lines x %d columns (target: under 1000 ms)\n",
                reporter.nanoseconds("excelQuote") / 1e6, kLines, kColumns);
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(dataFolder(), ignored);
    return 0;
}
