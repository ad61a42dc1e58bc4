// The desktop control's contact folder on a contacts folder of 50,000 items, against plain SQLite
// doing the least the same work needs, with the same durability (WAL, synchronous=FULL), in the
// same run:
//   purge: SetContactFolder("Contacts") as one top-level call, moving the folder's 10,000
//          temporary CRM contacts into Deleted Items; the floor finds them and moves them in one
//          transaction;
//   add:   10,000 AddContact calls of a permanent contact with every argument given, each a
//          top-level call of its own and so one durable commit; the floor is 10,000 transactions
//          inserting one row each. The contact folder is chosen before the clock starts.
// Targets: the purge under 1 s and within 2x its floor; the adds within 1.3x theirs. Times are
// on the wall clock, since the syncs are the work; memory is the peak growth of a process doing
// one run of each.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <memory>

#include "Automation/top_level_call.hpp"
#include "Control/frame/control.hpp"
#include "Platform/Desktop/headless_desktop.hpp"
#include "bench/peak_memory.hpp"
#include "bench/ratio_reporter.hpp"
#include "contacts_store.hpp"

namespace {

using namespace lumora;
using namespace lumora::pim;
using namespace lumora::pim::bench;

constexpr const char* kControlClass = "LumoraControl2005.LumoraCtrl2005";

// One measured piece of work on a freshly filled store; only run() is timed. A workload of the
// control gets one whose contact folder is chosen already when `folderChosen`.
struct Workload {
    int temporary;
    bool folderChosen;
    std::function<void(Object& control, ContactsStore&, int64_t folder)> run;
};

Object controlFor(const Workload& workload) {
    Object control = makeObject<control::LumoraCtrl2005>();
    if (workload.folderChosen) control.call("SetContactFolder", "Contacts");
    return control;
}

void addContacts(Object& control, ContactsStore&, int64_t) {
    for (int i = 0; i < kAdded; ++i) {
        std::vector<Variant> arguments = {
            Variant("C-" + std::to_string(i)), Variant("Added " + std::to_string(i)), Variant("Permanent"),
            Variant("Acme Ltd"), Variant("ana@example.com"), Variant("Ana"), Variant("Dr"), Variant("Buyer"),
            Variant("0123 456"), Variant("0777 123"), Variant("1 High Street"), Variant("Unit 2"), Variant("-"),
            Variant("Leeds"), Variant("West Yorkshire"), Variant("LS1 1AA"), Variant("UK")};
        // As a page calls it: each call a top-level call, committed when it returns.
        const TopLevelCall call(std::string(kControlClass) + ".AddContact");
        control.invoke("AddContact", MemberKind::Method, arguments);
    }
}

void addWithPlainSqlite(Object&, ContactsStore& contacts, int64_t folder) {
    Database db(contacts.file());
    Statement item(db, "INSERT INTO items(entry_id, folder, class) VALUES(?, ?, 40)");
    for (int i = 0; i < kAdded; ++i) {
        Transaction transaction(db);
        item.bind(1, newHexId(24)).bind(2, folder).run();
        transaction.commit();
    }
}

void purgeThroughControl(Object& control, ContactsStore&, int64_t) {
    const TopLevelCall call(std::string(kControlClass) + ".SetContactFolder");
    control.call("SetContactFolder", "Contacts");
}

const std::pair<const char*, Workload> kWorkloads[] = {
    {"setContactFolderPurge", {kTemporary, false, purgeThroughControl}},
    {"purgeFloor", {kTemporary, false, [](Object&, ContactsStore& s, int64_t f) { purgeWithPlainSqlite(s, f); }}},
    {"addContactCalls", {0, true, addContacts}},
    {"addFloor", {0, false, addWithPlainSqlite}},
};

void measure(benchmark::State& state, const Workload& workload) {
    for (auto _ : state) {
        state.PauseTiming();
        ContactsStore contacts;
        const int64_t folder = contacts.fill(kFolderItems, workload.temporary);
        Registry::instance().forgetRunningInstances();
        Object control = controlFor(workload);
        state.ResumeTiming();
        workload.run(control, contacts, folder);
        state.PauseTiming();
        control.call("CleanUpOutlook");
        control = Object();
        Registry::instance().forgetRunningInstances();
        state.ResumeTiming();
    }
}

// The peak memory growth of one run of each, in a child process that fills its own store.
void printMemory(const char* measured, const char* floor) {
    auto growthOf = [](const char* name) {
        for (const auto& [each, workload] : kWorkloads)
            if (std::string(each) == name)
                return lumora::bench::peakGrowthKiB([&workload = workload] {
                    auto contacts = std::make_shared<ContactsStore>();
                    const int64_t folder = contacts->fill(kFolderItems, workload.temporary);
                    auto control = std::make_shared<Object>(controlFor(workload));
                    return std::function<void()>(
                        [&workload, contacts, folder, control] { workload.run(*control, *contacts, folder); });
                });
        return -1L;
    };
    lumora::bench::printPeakGrowth(measured, floor, growthOf(measured), growthOf(floor));
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    desktop::HeadlessDesktop headless;
    desktop::ScopedDesktop scope(headless);
    for (const auto& [name, workload] : kWorkloads)
        benchmark::RegisterBenchmark(name, [&workload = workload](benchmark::State& s) { measure(s, workload); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(1);

    lumora::bench::RatioReporter reporter(lumora::bench::RatioReporter::Clock::Real);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios("purgeFloor", {"setContactFolderPurge"});
    reporter.printRatios("addFloor", {"addContactCalls"});
    std::printf("setContactFolderPurge: %.0f ms for %d temporary contacts among %d (targets: under 1000 ms, "
                "within 2x purgeFloor)\n",
                reporter.nanoseconds("setContactFolderPurge") / 1e6, kTemporary, kFolderItems);
    std::printf("addContactCalls: target within 1.3x addFloor\n");
    printMemory("setContactFolderPurge", "purgeFloor");
    printMemory("addContactCalls", "addFloor");
    benchmark::Shutdown();
    return 0;
}
