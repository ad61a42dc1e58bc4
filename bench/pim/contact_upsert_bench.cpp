// AddUpdateContactXML for a whole CRM contact list, against plain SQLite doing the same reads and
// writes with the same durability (WAL, synchronous=FULL), in the same run. The folder holds n
// contacts carrying their CRM ids, the list has n records: every other one updates a contact of
// the folder (found by its id), the rest are new. Each record is a top-level call of its own, as a
// page sends them, and so one commit. The contact folder is chosen before the clock starts, so the
// index is built once, inside the measured run.
//   upsertCalls/n: the member, for n = 1,000, 10,000 and 50,000 (growth should be near-linear),
//                  with the store in a memory-backed folder, so that the device's flush, the
//                  same for every commit of member and floor alike, does not hide their work;
//   callsFloor/n:  one query reading every item's id and names, then per record one transaction
//                  writing the same values and user properties into a new or the found item;
//   onDisk/1000, onDiskFloor/1000: the same in the temporary folder on disk, where each commit
//                  waits for the device.
// Target: 10,000 records into 10,000 contacts under 5 s. Times are on the wall clock; memory is
// the peak growth of a process doing one run at 10,000.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <unordered_map>

#include "Automation/top_level_call.hpp"
#include "Automation/vb/strings.hpp"
#include "Control/contacts/contact_record_fields.hpp"
#include "Control/frame/control.hpp"
#include "Platform/Desktop/headless_desktop.hpp"
#include "Platform/Xml/register.hpp"
#include "bench/peak_memory.hpp"
#include "bench/ratio_reporter.hpp"
#include "contacts_store.hpp"

namespace {

using namespace lumora;
using namespace lumora::pim;
using namespace lumora::pim::bench;

constexpr const char* kMember = "LumoraControl2005.LumoraCtrl2005.AddUpdateContactXML";
constexpr int kSizes[] = {1'000, 10'000, 50'000};
constexpr int kOnDiskSize = 1'000;
constexpr int kTargetSize = 10'000;

// Where the store lives: a memory-backed folder (the temporary folder on a machine without
// one), or the temporary folder on disk.
enum class Device { Memory, Disk };
std::filesystem::path folderOn(Device device) {
    const std::filesystem::path memory("/dev/shm");
    return device == Device::Memory && std::filesystem::is_directory(memory) ? memory
                                                                               : std::filesystem::temp_directory_path();
}

using Fields = std::vector<std::pair<std::string, std::string>>;

// Record i: an update of folder contact i when i is even (its id and names as filled), else new.
Fields recordFields(int i) {
    const std::string n = std::to_string(i);
    const bool update = i % 2 == 0;
    return {{"ACCOUNT_NAME", "Acme Ltd"}, {"TITLE", "Dr"},
            {"FIRSTNAME", update ? "FirstName " + n : "New " + n}, {"LASTNAME", update ? "LastName " + n : "Contact " + n},
            {"JOBTITLE", "Buyer"}, {"DEPARTMENT", "Purchasing"}, {"BUSINESSADDRESSSTREET", "1 High Street"},
            {"BUSINESSADDRESSSTREET2", "Unit " + n}, {"BUSINESSADDRESSCITY", "Leeds"},
            {"BUSINESSADDRESSPOSTALCODE", "LS1 1AA"}, {"BUSINESSADDRESSCOUNTRY", "UK"},
            {"BUSINESSTELEPHONENUMBER", "0113 496 0" + n}, {"EMAIL1ADDRESS", update ? "Email1Address " + n : n + "@example.com"},
            {"MOBILETELEPHONENUMBER", "07700 900" + n}, {"BUSINESSHOMEPAGE", "https://acme.example"}};
}
std::string recordId(int i) { return (i % 2 == 0 ? "C-" : "N-") + std::to_string(i); }

std::string recordXml(int i) {
    std::string xml = "<record id=\"" + recordId(i) + "\">";
    for (const auto& [name, value] : recordFields(i)) xml += "<field name=\"" + name + "\" value=\"" + value + "\"/>";
    return xml + "</record>";
}

// A prepared run: the store filled with n contacts, and what is measured.
struct Run {
    std::shared_ptr<ContactsStore> contacts;
    int64_t folder = 0;
    std::function<void()> work;
};

Run upsertThroughControl(int n, Device device) {
    auto contacts = std::make_shared<ContactsStore>(folderOn(device));
    const int64_t folder = contacts->fill(n, 0, CrmIds::Carried);
    auto records = std::make_shared<std::vector<std::string>>();
    for (int i = 0; i < n; ++i) records->push_back(recordXml(i));
    auto control = std::make_shared<Object>(makeObject<control::LumoraCtrl2005>());
    control->call("SetContactFolder", "Contacts");
    return {contacts, folder, [control, records] {
                for (const std::string& xml : *records) {
                    std::vector<Variant> arguments = {Variant(xml), Variant(true), Variant(true)};
                    const TopLevelCall call(kMember);
                    if (!control->invoke("AddUpdateContactXML", MemberKind::Method, arguments).toBool())
                        throw std::runtime_error("a record was refused: " + xml);
                }
                control->call("CleanUpOutlook");
            }};
}

// What the member writes for a record, by the contact member's name.
Fields writtenValues(int i) {
    Fields record = recordFields(i);
    auto field = [&](std::string_view name) {
        for (const auto& [each, value] : record)
            if (each == name) return value;
        return std::string();
    };
    Fields values;
    for (const control::RecordContactField& each : control::recordContactFields()) {
        std::string value = field(each.field);
        if (each.rule == control::RecordRule::ThreeLines)
            value += "\r\n" + field(std::string(each.field) + "2") + "\r\n" + field(std::string(each.field) + "3");
        values.emplace_back(each.member, value);
    }
    for (const auto& [member, value] : Fields{{"User1", "Lumora"}, {"User2", "Perm"}, {"User3", recordId(i)}})
        values.emplace_back(member, value);
    return values;
}

void upsertWithPlainSqlite(const ContactsStore& contacts, int64_t folder, int n) {
    Database db(contacts.file());
    std::unordered_map<std::string, int64_t> byId;
    std::unordered_map<std::string, int64_t> byNames;  // kept, as the index keeps them, though no record needs it
    Statement read(db, "SELECT i.id, p.value, f.value, l.value, e.value FROM items i "
                       "LEFT JOIN user_properties p ON p.item = i.id AND p.name = 'LUMORAID' "
                       "LEFT JOIN item_values f ON f.item = i.id AND f.name = 'FirstName' "
                       "LEFT JOIN item_values l ON l.item = i.id AND l.name = 'LastName' "
                       "LEFT JOIN item_values e ON e.item = i.id AND e.name = 'Email1Address' "
                       "WHERE i.folder = ? ORDER BY i.id");
    read.bind(1, folder);
    while (read.step()) {
        byId.emplace(vb::lCase(read.text(1)), read.integer(0));
        byNames.emplace(vb::lCase(read.text(2) + "\n" + read.text(3) + "\n" + read.text(4)), read.integer(0));
    }
    Statement item(db, "INSERT INTO items(entry_id, folder, class) VALUES(?, ?, 40)");
    Statement value(db, "INSERT OR REPLACE INTO item_values(item, name, kind, value) VALUES(?, ?, ?, ?)");
    Statement property(db, "INSERT OR REPLACE INTO user_properties(item, position, name, type, kind, value) "
                           "VALUES(?, ?, ?, 1, ?, ?)");
    for (int i = 0; i < n; ++i) {
        Transaction transaction(db);
        auto found = byId.find(vb::lCase(recordId(i)));
        int64_t id = 0;
        if (found != byId.end()) {
            id = found->second;
        } else {
            item.bind(1, newHexId(24)).bind(2, folder).run();
            id = db.lastInsertId();
            byId.emplace(vb::lCase(recordId(i)), id);
        }
        for (const auto& [name, text] : writtenValues(i)) value.bind(1, id).bind(2, name).bindVariant(3, Variant(text)).run();
        property.bind(1, id).bind(2, 0).bind(3, "LUMORAID").bindVariant(4, Variant(recordId(i))).run();
        property.bind(1, id).bind(2, 1).bind(3, "Lumora").bindVariant(4, Variant("true")).run();
        transaction.commit();
    }
}

Run upsertFloor(int n, Device device) {
    auto contacts = std::make_shared<ContactsStore>(folderOn(device));
    const int64_t folder = contacts->fill(n, 0, CrmIds::Carried);
    return {contacts, folder, [contacts, folder, n] { upsertWithPlainSqlite(*contacts, folder, n); }};
}

using Preparation = Run (*)(int, Device);

void measure(benchmark::State& state, Preparation prepare, Device device) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        Registry::instance().forgetRunningInstances();
        Run run = prepare(n, device);
        state.ResumeTiming();
        run.work();
        state.PauseTiming();
        const int expected = n + n / 2;
        Registry::instance().forgetRunningInstances();
        {
            PimStore store(run.contacts->folder());
            if (static_cast<int>(store.itemIds(run.folder).size()) != expected)
                state.SkipWithError("the folder does not hold the contacts the records describe");
        }
        run = {};
        state.ResumeTiming();
    }
}

void printMemory() {
    auto growthOf = [](Preparation prepare) {
        return lumora::bench::peakGrowthKiB([prepare] {
            auto run = std::make_shared<Run>(prepare(kTargetSize, Device::Memory));
            return std::function<void()>([run] { run->work(); });
        });
    };
    lumora::bench::printPeakGrowth("upsertCalls/10000", "callsFloor/10000", growthOf(upsertThroughControl),
                                   growthOf(upsertFloor));
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    desktop::HeadlessDesktop headless;
    desktop::ScopedDesktop scope(headless);
    xml::registerXmlClasses(Registry::instance());
    struct Form {
        const char* name;
        Preparation prepare;
        Device device;
        std::vector<int> sizes;
    };
    const std::vector<int> sizes(std::begin(kSizes), std::end(kSizes));
    const std::vector<Form> forms = {
        {"upsertCalls", &upsertThroughControl, Device::Memory, sizes},
        {"callsFloor", &upsertFloor, Device::Memory, sizes},
        {"onDisk", &upsertThroughControl, Device::Disk, {kOnDiskSize}},
        {"onDiskFloor", &upsertFloor, Device::Disk, {kOnDiskSize}},
    };
    for (const Form& form : forms) {
        auto* registered = benchmark::RegisterBenchmark(
            form.name, [&form](benchmark::State& s) { measure(s, form.prepare, form.device); });
        for (int n : form.sizes) registered->Arg(n);
        registered->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
    }

    lumora::bench::RatioReporter reporter(lumora::bench::RatioReporter::Clock::Real);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto nameOf = [](const char* form, int n) { return std::string(form) + "/" + std::to_string(n) + "/iterations:1/real_time"; };
    auto ratio = [&](const char* form, const char* floor, int n) {
        const std::string measured = nameOf(form, n), peer = nameOf(floor, n);
        reporter.printRatios(peer.c_str(), {measured.c_str()});
        const double ns = reporter.nanoseconds(measured.c_str());
        if (ns > 0) std::printf("%s/%d: %.0f ms, %.1f us per record\n", form, n, ns / 1e6, ns / n / 1e3);
    };
    for (int n : kSizes) ratio("upsertCalls", "callsFloor", n);
    ratio("onDisk", "onDiskFloor", kOnDiskSize);
    std::printf("upsertCalls/10000: target under 5000 ms\n");
    printMemory();
    benchmark::Shutdown();
    return 0;
}
