// A letter campaign to 10,000 recipients: RunCampaign with a one-page letter (five tags in the
// body, the recipient's name in the header) through the merge progress window and through the
// direct merge, each from the loaded recipient document to the merged letters shown, against
// docxtemplater rendering the same 10,000 letters from the same data into one document (the body
// in a loop, a page break after each letter) in the same run. Medians of three runs on the wall
// clock, and the whole peak memory of one run of each path, each in a child of its own.
// Targets: both paths under 10 s and faster than docxtemplater, each under 300 MB at its peak.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "Automation/registry.hpp"
#include "Platform/Desktop/headless_desktop.hpp"
#include "Platform/Files/register.hpp"
#include "Platform/Word/register.hpp"
#include "Platform/Xml/register.hpp"
#include "bench/letters/peer_process.hpp"
#include "bench/mail_campaign/mail_control_server.hpp"
#include "bench/median_reporter.hpp"
#include "bench/peak_memory.hpp"
#include "tests/support/docx_files.hpp"

namespace {

using namespace lumora;
namespace fs = std::filesystem;

constexpr int kRecipients = 10'000;
constexpr int kPeerRuns = 3;
constexpr const char* kFields[] = {"FirstName", "LastName", "Company", "Street", "City"};

fs::path dataFolder() {
    static const fs::path folder = [] {
        std::string pattern = (fs::temp_directory_path() / "lumora-letter-campaign-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        return fs::path(pattern);
    }();
    return folder;
}

std::string valueOf(int recipient, const std::string& field) {
    if (field == "FirstName") return "Ann " + std::to_string(recipient);
    if (field == "LastName") return "Lee-Smith";
    if (field == "Company") return "Northwind & Partners " + std::to_string(recipient % 97);
    if (field == "Street") return std::to_string(recipient % 300 + 1) + " Harbour Road";
    return "Leeds";
}

const std::string& recipientXml() {
    static const std::string xml = [] {
        // The first recipient comes first: a letter campaign takes its columns from it.
        std::string fieldList = "<fieldlist>";
        for (const char* field : kFields)
            fieldList += std::string("<field fieldname=\"") + field + "\" mergeheader=\"" + field + "\"/>";
        fieldList += "</fieldlist>";
        std::string text = "<MAIL_CAMPAIGN>";
        for (int i = 0; i < kRecipients; ++i) {
            if (i == 1) text += fieldList;
            text += "<contact>";
            for (const char* field : kFields) {
                std::string value = valueOf(i, field);
                for (size_t at = value.find('&'); at != std::string::npos; at = value.find('&', at + 1))
                    value.replace(at, 1, "&amp;");
                text += std::string("<") + field + ">" + value + "</" + field + ">";
            }
            text += "</contact>";
        }
        return text + "</MAIL_CAMPAIGN>";
    }();
    return xml;
}

std::string run(const std::string& text) { return "<w:r><w:t xml:space=\"preserve\">" + text + "</w:t></w:r>"; }
std::string line(const std::string& text) { return "<w:p>" + run(text) + "</w:p>"; }

// A one-page letter: the address block and salutation carry the tags, the rest is ordinary text.
std::string letterBody() {
    std::string body = line("&lt;FirstName&gt; &lt;LastName&gt;") + line("&lt;Company&gt;") + line("&lt;Street&gt;") +
                       line("&lt;City&gt;") + line("") + line("12 March") + line("Dear &lt;FirstName&gt;,");
    for (int p = 0; p < 12; ++p)
        body += "<w:p><w:pPr><w:spacing w:after=\"120\"/></w:pPr>" +
                run("Thank you for your continued custom over the past year. We are writing to tell you about ") +
                "<w:r><w:rPr><w:b/></w:rPr><w:t>our spring offer</w:t></w:r>" +
                run(", which brings new terms for the services you already use.") + "</w:p>";
    return body + line("Kind regards,") + line("The Lumora team");
}

testing::DocxParts letterParts(const std::string& body) {
    testing::DocxParts parts = testing::withBody(body);
    parts.isTemplate = true;
    parts.headers = {{"default", line("Personal for &lt;FirstName&gt; &lt;LastName&gt;")}};
    parts.footers = {{"default", line("Lumora Ltd, 1 Park Row, Leeds")}};
    return parts;
}

fs::path letterTemplate() {
    const fs::path file = dataFolder() / "letter.dotx";
    if (!fs::exists(file)) testing::writeDocx(file, letterParts(letterBody()));
    return file;
}

// The peer's template: the same letter looped over the recipients, a page break after each.
fs::path peerTemplate() {
    const fs::path file = dataFolder() / "letter-loop.docx";
    testing::writeDocx(file, letterParts(line("&lt;#letters&gt;") + letterBody() +
                                         "<w:p><w:r><w:br w:type=\"page\"/></w:r></w:p>" + line("&lt;/letters&gt;")));
    return file;
}

// The same recipients for the peer; its header, outside the loop, takes the first recipient's name.
fs::path peerRecipients() {
    nlohmann::json data;
    nlohmann::json letters = nlohmann::json::array();
    for (int i = 0; i < kRecipients; ++i) {
        nlohmann::json letter;
        for (const char* field : kFields) letter[field] = valueOf(i, field);
        letters.push_back(std::move(letter));
    }
    for (const char* field : kFields) data[field] = valueOf(0, field);
    data["letters"] = std::move(letters);
    const fs::path file = dataFolder() / "recipients.json";
    std::ofstream(file) << data.dump();
    return file;
}

desktop::HeadlessDesktop& headless() {
    static const auto instance = [] {
        desktop::SystemConfig config;
        config.tempFolder = (dataFolder() / "temp").string() + "/";
        fs::create_directories(dataFolder() / "temp");
        return std::make_unique<desktop::HeadlessDesktop>(config);
    }();
    return *instance;
}

// One campaign: the recipients loaded as the page hands them over, then RunCampaign to the
// shown letters; the shown file is removed after, so runs do not fill the disk.
struct Campaign {
    Object recipients;
    Object control;
    std::string window;  // "1": the progress window, anything else: the direct merge
    explicit Campaign(std::string path) : window(std::move(path)) {
        recipients = Registry::instance().createObject("Msxml2.DOMDocument");
        recipients.call("loadXML", recipientXml());
        control = Registry::instance().createObject("LumoraMailContl.LumoraMailCtrl");
    }
    // `check`: the letters must name the last recipient and hold no tag, or the run failed.
    std::string run(bool check = false) const {
        if (window == "1") headless().queueClick({"frmMergeProgress", "cmdHide", 0});
        Variant list(recipients);
        std::string result = control.call("RunCampaign", ByRef{list}, "2", "", "", letterTemplate().string(), "", window)
                                 .toString();
        auto& shown = headless().transcript().shown;
        if (shown.empty() || shown.back().file.empty()) return result + " (no letters shown)";
        if (check) {
            const std::string letters = testing::readEntry(shown.back().file, "word/document.xml");
            if (letters.find(valueOf(kRecipients - 1, "FirstName")) == std::string::npos ||
                letters.find("&lt;FirstName&gt;") != std::string::npos)
                result += " (the letters do not hold the recipients' values)";
        }
        std::error_code ignored;
        fs::remove(shown.back().file, ignored);
        return result;
    }
};

void runCampaign(benchmark::State& state, const char* window) {
    const Campaign campaign(window);
    if (const std::string checked = campaign.run(true); checked != "Success") state.SkipWithError(checked.c_str());
    for (auto _ : state) {
        const std::string result = campaign.run();
        if (result != "Success") state.SkipWithError(result.c_str());
    }
}
void windowMerge(benchmark::State& state) { runCampaign(state, "1"); }
void directMerge(benchmark::State& state) { runCampaign(state, "0"); }
BENCHMARK(windowMerge)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(directMerge)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

bench::PeakMemory campaignPeak(const char* window) {
    return bench::peakMemory([window] {
        auto campaign = std::make_shared<Campaign>(window);
        return std::function<void()>([campaign] {
            const std::string result = campaign->run();
            if (result != "Success") std::printf("campaign failed: %s\n", result.c_str());
        });
    });
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Registry& registry = Registry::instance();
    registry.setDataFolder(dataFolder());
    xml::registerXmlClasses(registry);
    word::registerWordClasses(registry);
    files::registerFileClasses(registry);
    if (!bench::registerMailControl()) return 1;
    desktop::ScopedDesktop scope(headless());
    letterTemplate();
    // Memory first, each path in a child of its own, before the timed runs raise this process's peak.
    const bench::PeakMemory windowPeak = campaignPeak("1");
    const bench::PeakMemory directPeak = campaignPeak("0");

    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto peer = bench::docxtemplaterCampaign(LUMORA_LETTERS_BENCH_DIR, peerTemplate(), peerRecipients(), kPeerRuns,
                                                   dataFolder() / "peer-letters.docx");
    for (const char* path : {"windowMerge", "directMerge"}) {
        const double ours = reporter.milliseconds(path);
        std::printf("%s: %.0f ms for %d letters (target: under 10000 ms)", path, ours, kRecipients);
        if (peer && peer->medianMs > 0)
            std::printf("; / docxtemplater: %.2fx (median %.0f ms against %.0f ms; target: under 1x)", ours / peer->medianMs,
                        ours, peer->medianMs);
        std::printf("\n");
    }
    for (const auto& [path, peak] : {std::pair{"windowMerge", windowPeak}, {"directMerge", directPeak}})
        std::printf("%s peak memory: %.0f MiB for the whole process (%.0f MiB while the campaign ran; target: under 300 MB)\n",
                    path, peak.peakKiB / 1024.0, peak.growthKiB / 1024.0);
    if (peer) std::printf("docxtemplater peak memory: %.0f MiB\n", peer->peakKiB / 1024.0);
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(dataFolder(), ignored);
    return 0;
}
