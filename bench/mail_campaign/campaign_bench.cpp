// An e-mail campaign to 20,000 recipients: RunCampaign from the loaded recipient document to the
// displayed mail (every address in BCC, the draft .eml written to the documents folder), against
// the floor of building the same address string from the same parsed document with libxml2
// alone. Target: under 1 s. Times are on the wall clock, since writing the draft is part of it.

#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "Automation/registry.hpp"
#include "Platform/Desktop/headless_desktop.hpp"
#include "Platform/Outlook/register.hpp"
#include "Platform/Xml/register.hpp"
#include "bench/mail_campaign/mail_control_server.hpp"
#include "bench/ratio_reporter.hpp"

namespace {

using namespace lumora;
namespace fs = std::filesystem;

constexpr int kRecipients = 20'000;

const std::string& recipientXml() {
    static const std::string xml = [] {
        std::string text = "<MAIL_CAMPAIGN><fieldlist><field fieldname=\"Email1Address\" mergeheader=\"Email\"/></fieldlist>";
        for (int i = 0; i < kRecipients; ++i) {
            const std::string n = std::to_string(i);
            text += "<contact><FirstName>Ann " + n + "</FirstName><LastName>Lee</LastName><Email1Address>ann" + n +
                    "@example.com</Email1Address><BusinessFaxNumberFormatted>+44 1 " + n +
                    "</BusinessFaxNumberFormatted></contact>";
        }
        return text + "</MAIL_CAMPAIGN>";
    }();
    return xml;
}

fs::path dataFolder() {
    static const fs::path folder = [] {
        std::string pattern = (fs::temp_directory_path() / "lumora-campaign-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        return fs::path(pattern);
    }();
    return folder;
}

void runCampaign(benchmark::State& state) {
    Object document = Registry::instance().createObject("Msxml2.DOMDocument");
    document.call("loadXML", recipientXml());
    Object campaign = Registry::instance().createObject("LumoraMailContl.LumoraMailCtrl");
    for (auto _ : state) {
        Variant recipients(document);
        const std::string result =
            campaign.call("RunCampaign", ByRef{recipients}, "0", "Spring offer", "<html><body>Hello</body></html>", "", "")
                .toString();
        if (result != "Success") state.SkipWithError(result.c_str());
    }
}

// The same address string, read from the same parsed document without the object model.
void addressStringFloor(benchmark::State& state) {
    xmlDocPtr doc = xmlReadMemory(recipientXml().data(), static_cast<int>(recipientXml().size()), nullptr, nullptr, 0);
    for (auto _ : state) {
        std::string list;
        for (xmlNodePtr record = xmlDocGetRootElement(doc)->children; record; record = record->next) {
            if (record->type != XML_ELEMENT_NODE || !std::strcmp(reinterpret_cast<const char*>(record->name), "fieldlist"))
                continue;
            for (xmlNodePtr field = record->children; field; field = field->next) {
                if (field->type != XML_ELEMENT_NODE ||
                    std::strcmp(reinterpret_cast<const char*>(field->name), "Email1Address"))
                    continue;
                xmlChar* text = xmlNodeGetContent(field);
                if (text && *text) (list += reinterpret_cast<const char*>(text)) += ';';
                xmlFree(text);
            }
        }
        benchmark::DoNotOptimize(list);
    }
    xmlFreeDoc(doc);
}

void buildAddressList(benchmark::State& state) {
    Object document = Registry::instance().createObject("Msxml2.DOMDocument");
    document.call("loadXML", recipientXml());
    Object campaign = Registry::instance().createObject("LumoraMailContl.LumoraMailCtrl");
    for (auto _ : state) {
        Variant recipients(document);
        benchmark::DoNotOptimize(campaign.call("BuildAddressList", ByRef{recipients}));
    }
}
BENCHMARK(buildAddressList)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(runCampaign)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(addressStringFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Registry& registry = Registry::instance();
    registry.setDataFolder(dataFolder());
    pim::registerPimClasses(registry);
    xml::registerXmlClasses(registry);
    if (!bench::registerMailControl()) return 1;
    desktop::SystemConfig config;
    config.tempFolder = (dataFolder() / "temp").string() + "/";
    fs::create_directories(dataFolder() / "temp");
    desktop::HeadlessDesktop headless(config);
    desktop::ScopedDesktop scope(headless);

    bench::RatioReporter reporter(bench::RatioReporter::Clock::Real);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios("addressStringFloor", {"runCampaign"});
    std::printf("runCampaign: %.0f ms from the loaded document of %d recipients to the displayed mail "
                "(target: under 1000 ms)\n",
                reporter.nanoseconds("runCampaign") / 1e6, kRecipients);
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(dataFolder(), ignored);
    return 0;
}
