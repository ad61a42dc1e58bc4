// The import page's contact list of a folder of 10,000 contacts: GetFolderContactItems reading
// every contact through the object model and sorting them by name through the stylesheet in
// the temporary folder, against plain SQLite reading the same values of the same contacts with
// an ORDER BY and building the same list, in the same run.
// Target: the contact list under 1 s. Times are on the wall clock, since the stylesheet is
// written and read back through files; memory is the peak growth of a process doing one run.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Automation/top_level_call.hpp"
#include "Control/frame/control.hpp"
#include "Platform/Desktop/headless_desktop.hpp"
#include "Platform/Files/register.hpp"
#include "Platform/Xml/register.hpp"
#include "bench/peak_memory.hpp"
#include "bench/ratio_reporter.hpp"
#include "contacts_store.hpp"

namespace {

using namespace lumora;
using namespace lumora::pim;
using namespace lumora::pim::bench;

constexpr int kListed = 10'000;

// The lists each workload built last; kept so the work cannot be left out, and compared at the end.
std::string g_controlList;
std::string g_floorList;

void listThroughControl(ContactsStore&, int64_t) {
    Object control = makeObject<control::LumoraCtrl2005>();
    // As a page calls it: one top-level call.
    const TopLevelCall call("LumoraControl2005.LumoraCtrl2005.GetFolderContactItems");
    g_controlList = control.call("GetFolderContactItems", "").toString();
    control.call("CleanUpOutlook");
}

// The same contacts' names (the full name a contact without one shows: first and last name)
// and entry ids, sorted by SQLite, in the same list form.
void listWithPlainSqlite(ContactsStore& contacts, int64_t folder) {
    Database db(contacts.file());
    Statement listed(db, "SELECT trim(coalesce(f.value, '') || ' ' || l.value) AS name, i.entry_id FROM items i "
                         "JOIN item_values l ON l.item = i.id AND l.name = 'LastName' "
                         "LEFT JOIN item_values f ON f.item = i.id AND f.name = 'FirstName' "
                         "WHERE i.folder = ? AND i.class = 40 AND l.value <> '' ORDER BY name");
    listed.bind(1, folder);
    std::string list;
    while (listed.step()) list += listed.text(0) + "#~" + listed.text(1) + "#~";
    g_floorList = std::move(list);
}

// Every other value of a list: the names without their entry ids.
std::vector<std::string> namesOf(const std::string& list) {
    std::vector<std::string> names;
    size_t at = 0;
    for (bool isName = true; at < list.size(); isName = !isName) {
        const size_t end = list.find("#~", at);
        if (isName) names.push_back(list.substr(at, end - at));
        at = end + 2;
    }
    return names;
}

using Workload = std::function<void(ContactsStore&, int64_t folder)>;
const std::pair<const char*, Workload> kWorkloads[] = {
    {"getFolderContactItems", listThroughControl},
    {"contactListFloor", listWithPlainSqlite},
};

void measure(benchmark::State& state, const Workload& workload) {
    for (auto _ : state) {
        state.PauseTiming();
        ContactsStore contacts;
        const int64_t folder = contacts.fill(kListed, 0);
        Registry::instance().forgetRunningInstances();
        state.ResumeTiming();
        workload(contacts, folder);
        state.PauseTiming();
        Registry::instance().forgetRunningInstances();
        state.ResumeTiming();
    }
}

void printMemory() {
    auto growthOf = [](const Workload& workload) {
        return lumora::bench::peakGrowthKiB([&workload] {
            auto contacts = std::make_shared<ContactsStore>();
            const int64_t folder = contacts->fill(kListed, 0);
            return std::function<void()>([&workload, contacts, folder] { workload(*contacts, folder); });
        });
    };
    lumora::bench::printPeakGrowth(kWorkloads[0].first, kWorkloads[1].first, growthOf(kWorkloads[0].second),
                                   growthOf(kWorkloads[1].second));
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    xml::registerXmlClasses(Registry::instance());
    files::registerFileClasses(Registry::instance());
    // The stylesheet goes to a temporary folder of the benchmark's own.
    const std::filesystem::path temp = std::filesystem::temp_directory_path() / "lumora-contact-list-bench";
    std::filesystem::create_directories(temp);
    desktop::SystemConfig config;
    config.tempFolder = temp.string() + "/";
    desktop::HeadlessDesktop headless(config);
    desktop::ScopedDesktop scope(headless);
    for (const auto& [name, workload] : kWorkloads)
        benchmark::RegisterBenchmark(name, [&workload = workload](benchmark::State& s) { measure(s, workload); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(3);

    // Memory first: a child starts from the peak of the process that forks it, so the runs
    // before would hide part of its growth.
    printMemory();
    lumora::bench::RatioReporter reporter(lumora::bench::RatioReporter::Clock::Real);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios("contactListFloor", {"getFolderContactItems"});
    std::printf("getFolderContactItems: %.0f ms for %d contacts (target: under 1000 ms)\n",
                reporter.nanoseconds("getFolderContactItems") / 1e6, kListed);
    // Both order by code points, so the names must come in the same order (each store has
    // entry ids of its own).
    std::printf("the names of the %zu-byte lists %s\n", g_controlList.size(),
                namesOf(g_controlList) == namesOf(g_floorList) ? "come in the same order" : "DIFFER");
    benchmark::Shutdown();
    std::filesystem::remove_all(temp);
    return 0;
}
