// The desktop control's contact folder on a contacts folder of 50,000 items, against plain SQLite
// doing the same writes on the same schema with the same durability, in the same run:
//   purge: SetContactFolder("Contacts") deleting the folder's 10,000 temporary CRM contacts;
//   add:   10,000 AddContact calls of a permanent contact with every argument given.
// Every delete and every save is one durable transaction (WAL, synchronous=FULL), so both sides
// pay one sync per contact. Target: the purge under 2 s. Times are on the wall clock, since the
// syncs are the work; memory is the peak growth of a process doing one run of each.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

#include "Control/frame/control.hpp"
#include "Platform/Desktop/headless_desktop.hpp"
#include "bench/ratio_reporter.hpp"
#include "contacts_store.hpp"

namespace {

using namespace lumora;
using namespace lumora::pim;
using namespace lumora::pim::bench;

// The values one AddContact call writes, as the store keeps them: 15 fields and 2 user properties.
constexpr const char* kAddedFields[] = {
    "Title", "FirstName", "LastName", "JobTitle", "Email1Address", "BusinessTelephoneNumber",
    "MobileTelephoneNumber", "User1", "CompanyName", "BusinessAddressStreet", "BusinessAddressCity",
    "BusinessAddressState", "BusinessAddressPostalCode", "BusinessAddressCountry", "User2"};

// One measured piece of work on a freshly filled store; only run() is timed.
struct Workload {
    int temporary;
    std::function<void(ContactsStore&, int64_t folder)> run;
};

void addContacts(ContactsStore&, int64_t) {
    Object control = makeObject<control::LumoraCtrl2005>();
    control.call("SetContactFolder", "Contacts");
    for (int i = 0; i < kAdded; ++i) {
        std::vector<Variant> arguments = {
            Variant("C-" + std::to_string(i)), Variant("Added " + std::to_string(i)), Variant("Permanent"),
            Variant("Acme Ltd"), Variant("ana@example.com"), Variant("Ana"), Variant("Dr"), Variant("Buyer"),
            Variant("0123 456"), Variant("0777 123"), Variant("1 High Street"), Variant("Unit 2"), Variant("-"),
            Variant("Leeds"), Variant("West Yorkshire"), Variant("LS1 1AA"), Variant("UK")};
        control.invoke("AddContact", MemberKind::Method, arguments);
    }
    control.call("CleanUpOutlook");
}

void addWithPlainSqlite(ContactsStore& contacts, int64_t folder) {
    Database db(contacts.file());
    Statement item(db, "INSERT INTO items(entry_id, folder, class) VALUES(?, ?, 40)");
    Statement value(db, "INSERT INTO item_values(item, name, kind, value) VALUES(?, ?, ?, ?)");
    Statement property(db, "INSERT INTO user_properties(item, position, name, type, kind, value) VALUES(?, ?, ?, 1, ?, ?)");
    for (int i = 0; i < kAdded; ++i) {
        Transaction transaction(db);
        item.bind(1, newHexId(24)).bind(2, folder).run();
        const int64_t id = db.lastInsertId();
        for (const char* name : kAddedFields)
            value.bind(1, id).bind(2, name).bindVariant(3, Variant("value " + std::to_string(i))).run();
        property.bind(1, id).bind(2, int64_t{0}).bind(3, "LUMORAID").bindVariant(4, Variant("C-" + std::to_string(i))).run();
        property.bind(1, id).bind(2, int64_t{1}).bind(3, "Lumora").bindVariant(4, Variant("true")).run();
        transaction.commit();
    }
}

void purgeThroughControl(ContactsStore&, int64_t) {
    Object control = makeObject<control::LumoraCtrl2005>();
    control.call("SetContactFolder", "Contacts");
    control.call("CleanUpOutlook");
}

const std::pair<const char*, Workload> kWorkloads[] = {
    {"setContactFolderPurge", {kTemporary, purgeThroughControl}},
    {"purgeFloor", {kTemporary, [](ContactsStore& s, int64_t f) { purgeWithPlainSqlite(s, f); }}},
    {"addContactCalls", {0, addContacts}},
    {"addFloor", {0, addWithPlainSqlite}},
};

void measure(benchmark::State& state, const Workload& workload) {
    for (auto _ : state) {
        state.PauseTiming();
        ContactsStore contacts;
        const int64_t folder = contacts.fill(kFolderItems, workload.temporary);
        Registry::instance().forgetRunningInstances();
        state.ResumeTiming();
        workload.run(contacts, folder);
        state.PauseTiming();
        Registry::instance().forgetRunningInstances();
        state.ResumeTiming();
    }
}

// The growth of the peak resident memory while a child process runs the workload once, in KiB.
long peakGrowthKiB(const Workload& workload) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        ContactsStore contacts;
        const int64_t folder = contacts.fill(kFolderItems, workload.temporary);
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        workload.run(contacts, folder);
        rusage after{};
        getrusage(RUSAGE_SELF, &after);
        const long growth = after.ru_maxrss - before.ru_maxrss;
        _exit(write(pipeEnds[1], &growth, sizeof growth) == sizeof growth ? 0 : 1);
    }
    close(pipeEnds[1]);
    long growth = -1;
    if (read(pipeEnds[0], &growth, sizeof growth) != sizeof growth) growth = -1;
    close(pipeEnds[0]);
    waitpid(child, nullptr, 0);
    return growth;
}

void printMemory(const char* measured, const char* floor) {
    const Workload* a = nullptr;
    const Workload* b = nullptr;
    for (const auto& [name, workload] : kWorkloads) {
        if (std::string(name) == measured) a = &workload;
        if (std::string(name) == floor) b = &workload;
    }
    const long model = peakGrowthKiB(*a);
    const long plain = peakGrowthKiB(*b);
    std::printf("%s / %s peak memory growth: %ld KiB against %ld KiB", measured, floor, model, plain);
    // A floor that needed no memory beyond its setup has no ratio to give.
    if (plain > 0) std::printf(" (%.1fx)", static_cast<double>(model) / static_cast<double>(plain));
    std::printf("\n");
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
    std::printf("setContactFolderPurge: %.0f ms for %d temporary contacts among %d (target: under 2000 ms)\n",
                reporter.nanoseconds("setContactFolderPurge") / 1e6, kTemporary, kFolderItems);
    printMemory("setContactFolderPurge", "purgeFloor");
    printMemory("addContactCalls", "addFloor");
    benchmark::Shutdown();
    return 0;
}
