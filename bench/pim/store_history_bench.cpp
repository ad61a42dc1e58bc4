// The PIM store's history, against plain SQLite doing the same work on the same file in the same
// run:
//   undo:    undoing the purge of 10,000 temporary CRM contacts from a 50,000-contact folder
//            (made by SetContactFolder in one top-level call), as `lumora pim undo` does it, in
//            one top-level call; its floor moves the same items back in one transaction.
//            Target: under 2 s.
//   history: listing a journal of 100,000 entries, newest first, whole and for one item touched
//            by 100 of them, each entry handed on as it is read (as `lumora pim history` prints
//            it); the floor is the plain SELECT of the same rows. Target: under 100 ms.
// Times are on the wall clock, since the undo's commit syncs; memory is the peak growth of a
// process doing one run of each.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>

#include "Automation/top_level_call.hpp"
#include "Control/frame/control.hpp"
#include "Platform/Desktop/headless_desktop.hpp"
#include "Platform/Outlook/store_history.hpp"
#include "bench/peak_memory.hpp"
#include "bench/ratio_reporter.hpp"
#include "contacts_store.hpp"

namespace {

using namespace lumora;
using namespace lumora::pim;
using namespace lumora::pim::bench;

constexpr int64_t kJournalEntries = 100'000;
constexpr int kJournaledItems = 1'000;  // each touched by kJournalEntries / kJournaledItems entries

using Work = std::function<void()>;

// The purge as a page's call makes it: one top-level call. Returns its journal entry.
int64_t purgeAsOneCall(ContactsStore& contacts) {
    contacts.fill(kFolderItems, kTemporary);
    {
        Object control = makeObject<control::LumoraCtrl2005>();
        const TopLevelCall unitOfWork("LumoraControl2005.LumoraCtrl2005.SetContactFolder");
        control.call("SetContactFolder", "Contacts");
        control.call("CleanUpOutlook");
    }
    Registry::instance().forgetRunningInstances();
    Database db(contacts.file());
    Statement newest(db, "SELECT MAX(id) FROM journal");
    newest.step();
    return newest.integer(0);
}

Work undoThroughStore(std::shared_ptr<ContactsStore> contacts) {
    const int64_t purge = purgeAsOneCall(*contacts);
    auto store = PimStore::shared(contacts->folder());
    return [contacts, store, purge] {
        const TopLevelCall unitOfWork("lumora pim undo " + std::to_string(purge));
        const UndoResult result = undoEntry(*store, purge, false);
        if (result.putBack != kTemporary) std::fprintf(stderr, "undo put back %lld\n", static_cast<long long>(result.putBack));
    };
}

// The same moves back, read from the same journal rows, in one durable transaction.
Work undoWithPlainSqlite(std::shared_ptr<ContactsStore> contacts) {
    const int64_t purge = purgeAsOneCall(*contacts);
    auto db = std::make_shared<Database>(contacts->file());
    return [contacts, db, purge] {
        Statement moved(*db, "SELECT item, folder_before FROM journal_items WHERE entry = ? ORDER BY item");
        Statement back(*db, "UPDATE items SET folder = ?, deleted_from = NULL, deleted_at = NULL WHERE id = ?");
        Transaction transaction(*db);
        moved.bind(1, purge);
        while (moved.step()) back.bind(1, moved.integer(1)).bind(2, moved.integer(0)).run();
        transaction.commit();
    };
}

// A journal of 100,000 entries over 1,000 contacts, written directly; returns the entry id of
// the contact the item listings ask for.
std::string fillJournal(ContactsStore& contacts) {
    const int64_t folder = contacts.fill(kJournaledItems, 0);
    Database db(contacts.file());
    Transaction transaction(db);
    Statement entry(db, "INSERT INTO journal(at, what, changed) VALUES(?, 'LumoraControl2005.LumoraCtrl2005.AddContact', 1)");
    Statement touched(db,
                      "INSERT INTO journal_items(entry, item, entry_id, class, folder_before, folder_after, changed)"
                      " SELECT ?, id, entry_id, 40, folder, folder, 1 FROM items WHERE id = ?");
    Statement firstItem(db, "SELECT MIN(id), entry_id FROM items WHERE folder = ?");
    firstItem.bind(1, folder);
    firstItem.step();
    const int64_t first = firstItem.integer(0);
    const std::string asked = firstItem.text(1);
    firstItem.reset();
    const int64_t now = storeNow();
    for (int64_t i = 0; i < kJournalEntries; ++i) {
        entry.bind(1, now - kJournalEntries + i).run();
        touched.bind(1, db.lastInsertId()).bind(2, first + i % kJournaledItems).run();
    }
    transaction.commit();
    return asked;
}

Work listThroughStore(std::shared_ptr<ContactsStore> contacts, bool oneItem) {
    const std::string asked = fillJournal(*contacts);
    auto store = std::make_shared<PimStore>(contacts->folder());
    return [contacts, store, asked, oneItem] {
        HistoryQuery query{kJournalEntries, std::nullopt};
        if (oneItem) query.itemEntryId = asked;
        forEachHistoryEntry(*store, query, [](const HistoryEntry& entry) { benchmark::DoNotOptimize(entry); });
    };
}

Work listWithPlainSqlite(std::shared_ptr<ContactsStore> contacts, bool oneItem) {
    const std::string asked = fillJournal(*contacts);
    auto db = std::make_shared<Database>(contacts->file());
    return [contacts, db, asked, oneItem] {
        Statement all(*db, "SELECT id, at, what, created, changed, moved, removed, undoes FROM journal ORDER BY id DESC");
        Statement ofItem(*db,
                         "SELECT j.id, j.at, j.what, j.created, j.changed, j.moved, j.removed, j.undoes FROM items i"
                         " JOIN journal_items ji ON ji.item = i.id JOIN journal j ON j.id = ji.entry"
                         " WHERE i.entry_id = ? ORDER BY ji.entry DESC");
        Statement& rows = oneItem ? ofItem : all;
        if (oneItem) rows.bind(1, asked);
        while (rows.step()) {
            const HistoryEntry entry{rows.integer(0), rows.integer(1), rows.text(2), rows.integer(3),
                                     rows.integer(4),  rows.integer(5), rows.integer(6), rows.integer(7)};
            benchmark::DoNotOptimize(entry);
        }
    };
}

const std::pair<const char*, std::function<Work(std::shared_ptr<ContactsStore>)>> kWorkloads[] = {
    {"undoPurge", undoThroughStore},
    {"undoFloor", undoWithPlainSqlite},
    {"historyAll", [](auto contacts) { return listThroughStore(contacts, false); }},
    {"historyAllFloor", [](auto contacts) { return listWithPlainSqlite(contacts, false); }},
    {"historyOfItem", [](auto contacts) { return listThroughStore(contacts, true); }},
    {"historyOfItemFloor", [](auto contacts) { return listWithPlainSqlite(contacts, true); }},
};

using Prepare = std::function<Work(std::shared_ptr<ContactsStore>)>;

void measure(benchmark::State& state, const Prepare& prepare) {
    for (auto _ : state) {
        state.PauseTiming();
        Work work = prepare(std::make_shared<ContactsStore>());
        state.ResumeTiming();
        work();
        state.PauseTiming();
        work = nullptr;
        Registry::instance().forgetRunningInstances();
        state.ResumeTiming();
    }
}

void printMemory(const char* measured, const char* floor) {
    auto growthOf = [](const char* name) {
        for (const auto& [each, prepare] : kWorkloads)
            if (std::string(each) == name)
                return lumora::bench::peakGrowthKiB([&prepare = prepare] { return prepare(std::make_shared<ContactsStore>()); });
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
    for (const auto& [name, prepare] : kWorkloads)
        benchmark::RegisterBenchmark(name, [&prepare = prepare](benchmark::State& s) { measure(s, prepare); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(1);

    lumora::bench::RatioReporter reporter(lumora::bench::RatioReporter::Clock::Real);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios("undoFloor", {"undoPurge"});
    reporter.printRatios("historyAllFloor", {"historyAll"});
    reporter.printRatios("historyOfItemFloor", {"historyOfItem"});
    std::printf("undoPurge: %.0f ms for %d temporary contacts among %d (target: under 2000 ms)\n",
                reporter.nanoseconds("undoPurge") / 1e6, kTemporary, kFolderItems);
    std::printf("historyAll: %.0f ms for %lld entries (target: under 100 ms)\n", reporter.nanoseconds("historyAll") / 1e6,
                static_cast<long long>(kJournalEntries));
    printMemory("undoPurge", "undoFloor");
    printMemory("historyAll", "historyAllFloor");
    benchmark::Shutdown();
    return 0;
}
