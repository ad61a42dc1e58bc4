#include "quote_lines.hpp"

#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "Automation/object.hpp"
#include "Control/frame/control.hpp"
#include "Host/sample_package.hpp"
#include "Platform/Word/package.hpp"
#include "Platform/Xml/register.hpp"
#include "peer_process.hpp"

namespace lumora::bench {

namespace {

namespace fs = std::filesystem;

constexpr int kLines = 2'000;
constexpr int kPeerRuns = 5;
constexpr const char* kInline = "quoteInlineTable/2000";
constexpr const char* kExternal = "quoteHtmlTemplate/2000";

struct QuoteLine {
    std::string description, quantity, unitPrice, amount;
};

struct QuoteInput {
    fs::path folder;
    fs::path inlineTemplate;
    fs::path externalTemplate;
    fs::path peerTemplate;
    std::string record;      // letter and quote layout with kLines lines
    std::string peerValues;  // the same quote for docxtemplater: QUOTEREF and "lines"
};

QuoteInput& input() {
    static QuoteInput all;
    return all;
}

const std::vector<QuoteLine>& quoteLines() {
    static const std::vector<QuoteLine> all = [] {
        std::vector<QuoteLine> lines;
        for (int i = 1; i <= kLines; ++i) {
            const int quantity = i % 9 + 1;
            const int cents = 1999 + i * 7;
            const auto money = [](int c) {
                return std::to_string(c / 100) + "." + std::to_string(c % 100 / 10) + std::to_string(c % 10);
            };
            lines.push_back({"Article " + std::to_string(i) + " office chair, black", std::to_string(quantity),
                             money(cents), money(cents * quantity)});
        }
        return lines;
    }();
    return all;
}

std::string cell(std::string_view text) {
    return "<w:tc><w:tcPr><w:tcW w:w=\"2250\" w:type=\"dxa\"/></w:tcPr>" + host::paragraph(host::run(text)) + "</w:tc>";
}

std::string table(const std::vector<std::vector<std::string>>& rows) {
    std::string out = "<w:tbl><w:tblPr><w:tblW w:w=\"9000\" w:type=\"dxa\"/></w:tblPr><w:tblGrid>";
    for (int c = 0; c < 4; ++c) out += "<w:gridCol w:w=\"2250\"/>";
    out += "</w:tblGrid>";
    for (const auto& row : rows) {
        out += "<w:tr>";
        for (const std::string& text : row) out += cell(text);
        out += "</w:tr>";
    }
    return out + "</w:tbl>";
}

std::string quoteBody(const std::string& lineTable) {
    return host::paragraph(host::run("Quote <QUOTEREF>", host::RunStyle::Bold)) + lineTable +
           host::paragraph(host::run("Prices are valid for 30 days.")) + host::paragraph();
}

constexpr std::string_view kLinesTemplate =
    "<html><body><table border=\"1\">\r\n"
    "<tr><th width=\"300\">Description</th><th>Quantity</th><th>Unit price</th><th>Amount</th></tr>\r\n"
    "<!-- QuoteRowStart --><tr><td>&lt;DESCRIPTION&gt;</td><td align=\"right\">&lt;QUANTITY&gt;</td>"
    "<td align=\"right\">&lt;UNIT_PRICE&gt;</td><td align=\"right\">&lt;AMOUNT&gt;</td></tr>"
    "<!-- QuoteRowEnd -->\r\n"
    "</table></body></html>";

QuoteInput writeInput(const fs::path& folder) {
    QuoteInput in;
    in.folder = folder;
    fs::create_directories(folder);
    in.inlineTemplate = folder / "QuoteInline.docx";
    host::writePackage(in.inlineTemplate,
                       host::templateParts(quoteBody(
                           table({{"<description>", "<quantity>", "<unit_price>", "<amount>"}, {"", "", "", ""}}))));
    in.peerTemplate = folder / "QuotePeer.docx";
    host::writePackage(in.peerTemplate,
                       host::templateParts(quoteBody(
                           table({{"Description", "Quantity", "Unit price", "Amount"},
                                  {"<#lines><description>", "<quantity>", "<unit_price>", "<amount></lines>"}}))));
    in.externalTemplate = folder / "QuoteExternal.docx";
    host::writePackage(in.externalTemplate,
                       host::templateParts(quoteBody(host::paragraph(host::run("<htmltable>QuoteLines.htm")))));
    std::ofstream(folder / "QuoteLines.htm", std::ios::binary) << kLinesTemplate;

    nlohmann::json values = {{"QUOTEREF", "Q-2000"}, {"lines", nlohmann::json::array()}};
    std::string rows;
    for (const QuoteLine& line : quoteLines()) {
        rows += "<line description=\"" + line.description + "\" quantity=\"" + line.quantity + "\" unit_price=\"" +
                line.unitPrice + "\" amount=\"" + line.amount + "\"/>";
        values["lines"].push_back({{"description", line.description},
                                   {"quantity", line.quantity},
                                   {"unit_price", line.unitPrice},
                                   {"amount", line.amount}});
    }
    in.record = R"(<Data><field name="quoteref" templatetag="QUOTEREF" label="Quote"/>)"
                R"(<Data><entry fieldname="quoteref" value="Q-2000"/></Data><quotefields>)"
                R"(<quotefield name="description" templatetag="description" label="Description"/>)"
                R"(<quotefield name="quantity" templatetag="quantity" label="Quantity"/>)"
                R"(<quotefield name="unit_price" templatetag="unit_price" label="Unit price"/>)"
                R"(<quotefield name="amount" templatetag="amount" label="Amount"/></quotefields><quoterows>)" +
                rows + "</quoterows></Data>";
    in.peerValues = values.dump();
    return in;
}

// Whether the saved quote holds the last line's description: a quote that did not fill its
// table would time nothing worth comparing.
bool holdsEveryLine(const fs::path& saved) {
    const std::string* document = word::Package::fromFile(saved).find("word/document.xml");
    return document && document->find(quoteLines().back().description) != std::string::npos;
}

// One quote: the record read, the template filled, the quote saved (and left open in Word, as
// the member leaves it).
void wordQuote(benchmark::State& state, const fs::path& templateFile) {
    const fs::path saved = input().folder / "saved.docx";
    Object control = makeObject<control::LumoraCtrl2005>();
    for (auto _ : state) {
        Object record = xml::createXmlDocument();
        record.call("loadXML", input().record);
        Variant xmlDoc(record), tpl(templateFile.string()), save(saved.string()), visible("0"), header("");
        control.call("WordQuote", ByRef{xmlDoc}, ByRef{tpl}, ByRef{save}, ByRef{visible}, ByRef{header});
        state.PauseTiming();
        if (!fs::exists(saved) || !holdsEveryLine(saved)) state.SkipWithError("no quote with every line written");
        fs::remove(saved);
        state.ResumeTiming();
    }
}

}  // namespace

void registerQuoteBenchmarks(const fs::path& folder) {
    input() = writeInput(folder);
    benchmark::RegisterBenchmark(kInline, wordQuote, input().inlineTemplate)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(kExternal, wordQuote, input().externalTemplate)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

void reportQuotes(const RatioReporter& reporter, const fs::path& peerFolder) {
    const double inlineMs = reporter.nanoseconds(kInline) / 1e6;
    const double externalMs = reporter.nanoseconds(kExternal) / 1e6;
    const fs::path values = input().folder / "quote.values.json";
    std::ofstream(values) << input().peerValues;
    std::optional<double> peerMs = docxtemplaterMedian(peerFolder, values, kPeerRuns, input().peerTemplate);
    // The peer writes its render beside the template; it must hold the lines too.
    const fs::path peerOutput = input().peerTemplate.string() + ".docxtemplater.docx";
    if (peerMs && !holdsEveryLine(peerOutput)) {
        std::printf("docxtemplater's quote lacks its lines\n");
        peerMs.reset();
    }
    std::printf("quote of %d lines, in-line table: %.0f ms (target: under 1000 ms)", kLines, inlineMs);
    if (peerMs)
        std::printf("   docxtemplater table loop: %.0f ms   %.1fx faster (target: faster)\n", *peerMs,
                    *peerMs / inlineMs);
    else
        std::printf("   docxtemplater: not run\n");
    std::printf("quote of %d lines, HTML table template: %.0f ms (target: under 1000 ms)\n", kLines, externalMs);
}

}  // namespace lumora::bench
