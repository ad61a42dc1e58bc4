// A contacts folder of 50,000 items, through the object model and, as the floor, through plain
// SQLite doing the same reads and writes on the same schema in the same run:
//   walk:   Items(1..n) reading five properties of each item;
//   purge:  walking a folder and deleting its 10,000 temporary contacts in one top-level call,
//           against moving them into Deleted Items in one transaction;
//   add:    10,000 new contacts of eight fields, each saved in its own transaction.
// Targets: the walk under 0.5 s and within 2x the floor; the purge under 2 s. Peak memory is
// printed after the results.

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/resource.h>

#include <cstdio>
#include <string>

#include "Automation/top_level_call.hpp"
#include "contacts_store.hpp"

namespace {

using namespace lumora;
using namespace lumora::pim;
using namespace lumora::pim::bench;
using Fixture = ContactsStore;

Object contactsFolder() {
    return Registry::instance().createObject("Outlook.Application").getObject("GetNamespace", "MAPI").getObject(
        "GetDefaultFolder", 10);
}

void walkModel(benchmark::State& state) {
    Fixture fixture;
    fixture.fill(kFolderItems, 0);
    for (auto _ : state) {
        Registry::instance().forgetRunningInstances();
        Object items = contactsFolder().getObject("Items");
        int32_t n = items.count();
        size_t bytes = 0;
        for (int32_t i = 1; i <= n; ++i) {
            Object item = items.item(i);
            for (const char* name : kWalked) bytes += item.get(name).toString().size();
        }
        benchmark::DoNotOptimize(bytes);
    }
}

void walkFloor(benchmark::State& state) {
    Fixture fixture;
    int64_t folder = fixture.fill(kFolderItems, 0);
    for (auto _ : state) {
        Database db(fixture.file());
        Statement ids(db, "SELECT id FROM items WHERE folder = ? ORDER BY id");
        Statement values(db, "SELECT name, kind, value FROM item_values WHERE item = ?");
        std::vector<int64_t> all;
        ids.bind(1, folder);
        while (ids.step()) all.push_back(ids.integer(0));
        size_t bytes = 0;
        for (int64_t id : all) {
            values.reset();
            values.bind(1, id);
            while (values.step()) bytes += values.text(2).size();
        }
        benchmark::DoNotOptimize(bytes);
    }
}

void purgeModel(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Fixture fixture;
        fixture.fill(kFolderItems, kTemporary);
        Registry::instance().forgetRunningInstances();
        Object folder = contactsFolder();
        state.ResumeTiming();
        // One unit of work, as a page's call or a person's command makes it.
        const TopLevelCall call("purge");
        int32_t i = 1;
        int32_t n = folder.getObject("Items").count();
        while (i <= n) {
            Object item = folder.getObject("Items").item(i);
            if (item.get("Class") == Variant(int32_t{40}) && item.get("User2") == Variant("Temp") &&
                item.get("User1") == Variant("Lumora")) {
                item.call("Delete");
                n = folder.getObject("Items").count();
            } else {
                ++i;
            }
        }
        state.PauseTiming();
        state.counters["left"] = n;
        Registry::instance().forgetRunningInstances();
        state.ResumeTiming();
    }
}

void purgeFloor(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Fixture fixture;
        int64_t folder = fixture.fill(kFolderItems, kTemporary);
        state.ResumeTiming();
        purgeWithPlainSqlite(fixture, folder);
    }
}

void addModel(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Fixture fixture;
        fixture.fill(kFolderItems, 0);
        Registry::instance().forgetRunningInstances();
        Object items = contactsFolder().getObject("Items");
        state.ResumeTiming();
        for (int i = 0; i < kAdded; ++i) {
            Object contact = items.getObject("Add");
            contact.put("Title", "Dr");
            contact.put("FirstName", "Ana");
            contact.put("LastName", "Added " + std::to_string(i));
            contact.put("JobTitle", "Buyer");
            contact.put("Email1Address", "ana@example.com");
            contact.put("BusinessTelephoneNumber", "0123");
            contact.put("User1", "Lumora");
            contact.put("User2", "Temp");
            contact.call("Save");
        }
        state.PauseTiming();
        Registry::instance().forgetRunningInstances();
        state.ResumeTiming();
    }
}

void addFloor(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Fixture fixture;
        int64_t folder = fixture.fill(kFolderItems, 0);
        state.ResumeTiming();
        Database db(fixture.file());
        Statement item(db, "INSERT INTO items(entry_id, folder, class) VALUES(?, ?, 40)");
        Statement value(db, "INSERT INTO item_values(item, name, kind, value) VALUES(?, ?, ?, ?)");
        for (int i = 0; i < kAdded; ++i) {
            Transaction transaction(db);
            item.bind(1, newHexId(24)).bind(2, folder).run();
            int64_t id = db.lastInsertId();
            for (const char* name : {"Title", "FirstName", "LastName", "JobTitle", "Email1Address",
                                     "BusinessTelephoneNumber", "User1", "User2"})
                value.bind(1, id).bind(2, name).bindVariant(3, Variant(std::string("value ") + std::to_string(i))).run();
            transaction.commit();
        }
    }
}

BENCHMARK(walkModel)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(walkFloor)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(purgeModel)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(purgeFloor)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(addModel)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(addFloor)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory: %ld MiB\n", usage.ru_maxrss / 1024);
    return 0;
}
