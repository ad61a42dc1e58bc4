// The desktop control's unsynchronised scans over large folders, each as one top-level call,
// against plain SQLite doing the same reads (one query over the folder's items and their values,
// the marks of each candidate) and building the same text, in the same run:
//   getUnsyncedAppts:    GetUnsyncedAppts over a calendar of 20,000 appointments, three in four
//                        inside the three-month window and one in three of those marked;
//   getUnsyncedContacts: GetUnsyncedContacts over a contacts folder of 50,000 contacts, a third
//                        synchronised, a third with a short CRM id and a third without, one in ten
//                        without a company.
// Targets: each scan under 1 s. Both sides' texts are compared before anything is timed. Memory
// is the peak growth of a process doing one run of each.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>

#include "Automation/top_level_call.hpp"
#include "Automation/vb/convert.hpp"
#include "Automation/vb/dates.hpp"
#include "Automation/vb/strings.hpp"
#include "Control/frame/control.hpp"
#include "Platform/Desktop/headless_desktop.hpp"
#include "bench/peak_memory.hpp"
#include "bench/ratio_reporter.hpp"
#include "contacts_store.hpp"

namespace {

using namespace lumora;
using namespace lumora::pim;
using namespace lumora::pim::bench;

constexpr int kAppointments = 20'000;
constexpr int kContacts = 50'000;
const std::string kCrmGuid = "12345678-1234-1234-1234-123456789012";
const Date kNow = *vb::parseDate("2026-06-15 10:00:00");

// Rows written straight into the store's tables, in one transaction.
class Filler {
public:
    explicit Filler(Database& db)
        : m_db(db), m_item(db, "INSERT INTO items(entry_id, folder, class) VALUES(?, ?, ?)"),
          m_value(db, "INSERT INTO item_values(item, name, kind, value) VALUES(?, ?, ?, ?)"),
          m_mark(db, "INSERT INTO user_properties(item, position, name, type, kind, value) VALUES(?, ?, ?, 1, ?, ?)") {}
    int64_t item(int64_t folder, ItemClass itemClass, const std::map<std::string, Variant>& values) {
        m_item.bind(1, newHexId(24)).bind(2, folder).bind(3, static_cast<int64_t>(itemClass)).run();
        const int64_t id = m_db.lastInsertId();
        for (const auto& [name, value] : values) m_value.bind(1, id).bind(2, name).bindVariant(3, value).run();
        m_marks = 0;
        return id;
    }
    void mark(int64_t item, std::string_view name, std::string_view value) {
        m_mark.bind(1, item).bind(2, m_marks++).bind(3, name).bindVariant(4, Variant(value)).run();
    }

private:
    Database& m_db;
    Statement m_item, m_value, m_mark;
    int64_t m_marks = 0;
};

int64_t fill(ContactsStore& store, FolderType type, const std::function<void(Filler&, int64_t folder, int i)>& add,
             int count) {
    PimStore pim(store.folder());
    const int64_t folder = pim.defaultFolder(pim.currentMailbox().id, type).id;
    Transaction transaction(pim.database());
    Filler filler(pim.database());
    for (int i = 0; i < count; ++i) add(filler, folder, i);
    transaction.commit();
    return folder;
}

void addAppointment(Filler& filler, int64_t folder, int i) {
    const double start = kNow.days - 180 + 360.0 * i / kAppointments;
    const std::string n = std::to_string(i);
    const int64_t id = filler.item(folder, ItemClass::Appointment,
                                   {{"Subject", Variant("Meeting " + n)}, {"Start", Variant(Date{start})},
                                    {"End", Variant(Date{start + 1.0 / 24})}, {"Location", Variant("Room " + n)},
                                    {"Body", Variant("Agenda of meeting " + n + "\r\nBring the notes.")}});
    if (i % 3 == 0) filler.mark(id, "Lumora", "true");
}

void addContact(Filler& filler, int64_t folder, int i) {
    const std::string n = std::to_string(i);
    std::map<std::string, Variant> values = {
        {"FirstName", Variant("Ann " + n)}, {"LastName", Variant("Lee")}, {"FileAs", Variant("Lee, Ann " + n)},
        {"Email1Address", Variant("ann" + n + "@acme.test")}, {"BusinessTelephoneNumber", Variant("0113 " + n)},
        {"BusinessAddressStreet", Variant("1 High St\r\nUnit " + n)}, {"BusinessAddressCity", Variant("Leeds")}};
    if (i % 10 != 0) values["CompanyName"] = Variant("Acme " + n);
    const int64_t id = filler.item(folder, ItemClass::Contact, values);
    if (i % 3 == 0) {
        filler.mark(id, "LUMORAID", kCrmGuid);
        filler.mark(id, "Lumora", "true");
    } else if (i % 3 == 1) {
        filler.mark(id, "LUMORAID", "C-" + n);
    }
}

// The floor: each item with its values from one query, in the folder's order.
struct Row {
    int64_t id = 0;
    std::string entryId;
    int32_t itemClass = 0;
    std::map<std::string, Variant> values;
    std::string text(const std::string& name) const {
        auto it = values.find(name);
        return it == values.end() ? std::string() : it->second.toString();
    }
    Date date(const std::string& name) const {
        auto it = values.find(name);
        return it == values.end() ? Date{949998.0} : it->second.toDate();
    }
};

void eachRow(Database& db, int64_t folder, const std::function<void(const Row&)>& visit) {
    Statement rows(db, "SELECT i.id, i.entry_id, i.class, v.name, v.kind, v.value FROM items i "
                       "LEFT JOIN item_values v ON v.item = i.id WHERE i.folder = ? ORDER BY i.id");
    rows.bind(1, folder);
    Row row;
    while (rows.step()) {
        if (rows.integer(0) != row.id) {
            if (row.id) visit(row);
            row = Row{rows.integer(0), rows.text(1), static_cast<int32_t>(rows.integer(2)), {}};
        }
        if (!rows.isNull(3)) row.values.emplace(rows.text(3), rows.variant(4));
    }
    if (row.id) visit(row);
}

std::map<std::string, std::string> marksOf(Statement& marks, int64_t item) {
    std::map<std::string, std::string> found;
    marks.bind(1, item);
    while (marks.step()) found.emplace(marks.text(0), marks.variant(1).toString());
    marks.reset();
    return found;
}

std::string storeIdOf(Database& db, int64_t folder) {
    Statement query(db, "SELECT m.store_id FROM folders f JOIN mailboxes m ON m.id = f.mailbox WHERE f.id = ?");
    query.bind(1, folder);
    query.step();
    return query.text(0);
}

std::string clean(const std::string& text) { return vb::replace(text, "|", ""); }

std::string apptsFloor(const ContactsStore& store, int64_t folder) {
    Database db(store.file());
    Statement marks(db, "SELECT name, kind, value FROM user_properties WHERE item = ?");
    const Date cutOff = vb::dateAdd("m", -3, kNow);
    std::string text = storeIdOf(db, folder) + "<-!->";
    eachRow(db, folder, [&](const Row& row) {
        if (row.itemClass != static_cast<int32_t>(ItemClass::Appointment)) return;
        if (vb::dateDiff("d", cutOff, row.date("Start")) <= 0) return;
        const auto found = marksOf(marks, row.id);
        if (auto lumora = found.find("Lumora"); lumora != found.end() && lumora->second == "true") return;
        text += vb::formatDate(row.date("Start"), "yyyyMMddHHmm") + "|" + clean(row.text("Subject")) + "|" +
                vb::formatDate(row.date("Start"), "yyyy-MM-dd HH:mm:ss") + "|" +
                vb::formatDate(row.date("End"), "yyyy-MM-dd HH:mm:ss") + "|" + clean(row.text("Location")) + "|" +
                row.entryId + "|" + clean(row.text("Body")) + "#~";
    });
    return text;
}

std::string contactsFloor(const ContactsStore& store, int64_t folder) {
    Database db(store.file());
    Statement marks(db, "SELECT name, kind, value FROM user_properties WHERE item = ?");
    static const char* kPlain[] = {"Email1Address", "Email2Address", "Email3Address", "JobTitle", "Department",
                                   "Title", "ManagerName", "MiddleName", "Suffix", "AssistantName",
                                   "AssistantTelephoneNumber", "BusinessTelephoneNumber", "MobileTelephoneNumber",
                                   "HomeTelephoneNumber", "BusinessFaxNumber"};
    auto streetLines = [](const std::string& street) {
        std::array<std::string, 3> lines;
        const auto parts = vb::split(vb::replace(vb::replace(street, "\r\n", "\n"), "\r", "\n"), "\n");
        for (size_t i = 0; i < 3 && i < parts.size(); ++i) lines[i] = parts[i];
        return lines;
    };
    std::string text = storeIdOf(db, folder) + "<-!->";
    eachRow(db, folder, [&](const Row& row) {
        if (row.itemClass != static_cast<int32_t>(ItemClass::Contact)) return;
        const auto found = marksOf(marks, row.id);
        bool synchronised = false;
        if (auto lumora = found.find("Lumora"); lumora != found.end())
            synchronised = vb::lCase(lumora->second) == "true";
        auto crmId = found.find("LUMORAID");
        if (crmId == found.end()) synchronised = false;
        else if (vb::len(crmId->second) >= 36) synchronised = true;
        if (row.text("CompanyName").empty() || synchronised) return;
        text += clean(row.text("FileAs")) + "|" + clean(row.text("FirstName")) + "|" + clean(row.text("LastName")) +
                "|" + row.entryId + "|" + clean(row.text("CompanyName"));
        for (const char* name : kPlain) text += "|" + row.text(name);
        for (const char* prefix : {"BusinessAddress", "HomeAddress"}) {
            for (const std::string& line : streetLines(row.text(std::string(prefix) + "Street"))) text += "|" + line;
            for (const char* part : {"City", "State", "PostalCode", "Country"})
                text += "|" + row.text(std::string(prefix) + part);
        }
        text += "|" + row.text("WebPage") + "#~";
    });
    return text;
}

// A scan: how its folder is filled, the member measured and its floor.
struct Scan {
    FolderType folder;
    std::function<void(Filler&, int64_t, int)> add;
    int count;
    const char* member;
    std::string (*floor)(const ContactsStore&, int64_t);
};

const Scan kAppointmentScan{FolderType::Calendar, addAppointment, kAppointments, "GetUnsyncedAppts", apptsFloor};
const Scan kContactScan{FolderType::Contacts, addContact, kContacts, "GetUnsyncedContacts", contactsFloor};

std::string throughControl(const Scan& scan) {
    Object control = makeObject<control::LumoraCtrl2005>();
    const TopLevelCall call(std::string("LumoraControl2005.LumoraCtrl2005.") + scan.member);
    std::vector<Variant> arguments;
    if (scan.folder == FolderType::Contacts) arguments.emplace_back("");
    return control.invoke(scan.member, MemberKind::Method, arguments).toString();
}

void measure(benchmark::State& state, const Scan& scan, bool floor) {
    for (auto _ : state) {
        state.PauseTiming();
        ContactsStore store;
        const int64_t folder = fill(store, scan.folder, scan.add, scan.count);
        Registry::instance().forgetRunningInstances();
        state.ResumeTiming();
        const std::string text = floor ? scan.floor(store, folder) : throughControl(scan);
        benchmark::DoNotOptimize(text.data());
        state.PauseTiming();
        Registry::instance().forgetRunningInstances();
        state.ResumeTiming();
    }
}

bool sameText(const Scan& scan) {
    ContactsStore store;
    const int64_t folder = fill(store, scan.folder, scan.add, scan.count);
    const std::string measured = throughControl(scan), floor = scan.floor(store, folder);
    Registry::instance().forgetRunningInstances();
    std::printf("%s: %zu characters, %s the floor's\n", scan.member, measured.size(),
                measured == floor ? "the same as" : "DIFFERENT FROM");
    return measured == floor;
}

long peakGrowth(const Scan& scan, bool floor) {
    return lumora::bench::peakGrowthKiB([&scan, floor] {
        auto store = std::make_shared<ContactsStore>();
        const int64_t folder = fill(*store, scan.folder, scan.add, scan.count);
        return std::function<void()>([&scan, floor, store, folder] {
            benchmark::DoNotOptimize(floor ? scan.floor(*store, folder) : throughControl(scan));
        });
    });
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    desktop::HeadlessDesktop headless;
    headless.system().pinNow(kNow);
    desktop::ScopedDesktop scope(headless);
    const bool same = sameText(kAppointmentScan) & sameText(kContactScan);

    const std::pair<const char*, std::pair<const Scan*, bool>> benchmarks[] = {
        {"getUnsyncedAppts", {&kAppointmentScan, false}}, {"apptsFloor", {&kAppointmentScan, true}},
        {"getUnsyncedContacts", {&kContactScan, false}}, {"contactsFloor", {&kContactScan, true}}};
    for (const auto& [name, which] : benchmarks)
        benchmark::RegisterBenchmark(name,
                                     [which = which](benchmark::State& s) { measure(s, *which.first, which.second); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(3);

    lumora::bench::RatioReporter reporter(lumora::bench::RatioReporter::Clock::Real);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios("apptsFloor", {"getUnsyncedAppts"});
    reporter.printRatios("contactsFloor", {"getUnsyncedContacts"});
    std::printf("getUnsyncedAppts: %.0f ms over %d appointments; getUnsyncedContacts: %.0f ms over %d contacts "
                "(targets: each under 1000 ms)\n",
                reporter.nanoseconds("getUnsyncedAppts") / 1e6, kAppointments,
                reporter.nanoseconds("getUnsyncedContacts") / 1e6, kContacts);
    lumora::bench::printPeakGrowth("getUnsyncedAppts", "apptsFloor", peakGrowth(kAppointmentScan, false),
                                   peakGrowth(kAppointmentScan, true));
    lumora::bench::printPeakGrowth("getUnsyncedContacts", "contactsFloor", peakGrowth(kContactScan, false),
                                   peakGrowth(kContactScan, true));
    benchmark::Shutdown();
    return same ? 0 : 1;
}
