// Filling the store from another program and feeding it back: 10,000 contacts of eight fields
// imported from one vCard file and exported to one, against plain SQLite writing and reading the
// same rows on the same schema in the same run (the floor: no parsing, no card text).
// The import is one transaction either way. Ratios are printed after the results.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "Platform/Outlook/pim_exchange.hpp"
#include "Platform/Outlook/pim_store.hpp"
#include "Platform/Outlook/sqlite_handles.hpp"
#include "bench/ratio_reporter.hpp"

namespace {

using namespace lumora;
using namespace lumora::pim;

constexpr int kContacts = 10'000;
constexpr const char* kFields[] = {"LastName", "FirstName", "CompanyName", "JobTitle", "Email1Address",
                                   "BusinessTelephoneNumber", "MobileTelephoneNumber", "Body"};

std::string valueOf(const char* field, int i) { return std::string(field) + " " + std::to_string(i); }

// As an address-book program writes them: 3.0 cards with typed lines.
std::string cards() {
    std::string text;
    for (int i = 0; i < kContacts; ++i) {
        text += "BEGIN:VCARD\r\nVERSION:3.0\r\n";
        text += "N:" + valueOf("LastName", i) + ";" + valueOf("FirstName", i) + ";;;\r\n";
        text += "ORG:" + valueOf("CompanyName", i) + "\r\nTITLE:" + valueOf("JobTitle", i) + "\r\n";
        text += "EMAIL;type=INTERNET:" + valueOf("Email1Address", i) + "\r\n";
        text += "TEL;type=WORK:" + valueOf("BusinessTelephoneNumber", i) + "\r\n";
        text += "TEL;type=CELL:" + valueOf("MobileTelephoneNumber", i) + "\r\n";
        text += "NOTE:" + valueOf("Body", i) + "\r\nEND:VCARD\r\n";
    }
    return text;
}

class Folder {
public:
    Folder() : m_path(std::filesystem::temp_directory_path() / ("lumora-exchange-bench-" + std::to_string(std::random_device()()))) {
        std::filesystem::create_directories(m_path);
    }
    ~Folder() { std::filesystem::remove_all(m_path); }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

void fillFloor(PimStore& store) {
    const int64_t folder = store.defaultFolder(store.currentMailbox().id, FolderType::Contacts).id;
    Database& db = store.database();
    Transaction transaction(db);
    Statement item(db, "INSERT INTO items(entry_id, folder, class) VALUES(?, ?, 40)");
    Statement value(db, "INSERT INTO item_values(item, name, kind, value) VALUES(?, ?, ?, ?)");
    for (int i = 0; i < kContacts; ++i) {
        item.bind(1, newHexId(24)).bind(2, folder).run();
        const int64_t id = db.lastInsertId();
        for (const char* field : kFields) value.bind(1, id).bind(2, field).bindVariant(3, Variant(valueOf(field, i))).run();
    }
    transaction.commit();
}

void importModel(benchmark::State& state) {
    Folder scratch;
    const std::filesystem::path file = scratch.path() / "contacts.vcf";
    std::ofstream(file, std::ios::binary) << cards();
    for (auto _ : state) {
        state.PauseTiming();
        Folder data;
        PimStore store(data.path());
        store.currentMailbox();
        state.ResumeTiming();
        benchmark::DoNotOptimize(importFile(store, file).contacts);
    }
}

void importFloor(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Folder data;
        PimStore store(data.path());
        store.currentMailbox();
        state.ResumeTiming();
        fillFloor(store);
    }
}

void exportModel(benchmark::State& state) {
    Folder data;
    PimStore store(data.path());
    fillFloor(store);
    for (auto _ : state) benchmark::DoNotOptimize(exportFolder(store, ExportKind::Contacts, data.path() / "out.vcf"));
}

void exportFloor(benchmark::State& state) {
    Folder data;
    PimStore store(data.path());
    fillFloor(store);
    for (auto _ : state) {
        Statement values(store.database(), "SELECT v.name, v.kind, v.value FROM items i JOIN item_values v ON v.item = i.id "
                                           "ORDER BY i.id");
        size_t bytes = 0;
        while (values.step()) bytes += values.text(2).size();
        benchmark::DoNotOptimize(bytes);
    }
}

BENCHMARK(importModel)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(importFloor)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(exportModel)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(exportFloor)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    lumora::bench::RatioReporter reporter(lumora::bench::RatioReporter::Clock::Real);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios("importFloor", {"importModel"});
    reporter.printRatios("exportFloor", {"exportModel"});
    benchmark::Shutdown();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory: %ld MiB\n", usage.ru_maxrss / 1024);
    return 0;
}
