// The PIM's sync with a groupware server, against a real radicale on loopback, each measured
// form beside its floor in the same run: the same requests sent raw, their answers dropped.
//   firstSync      5,000 events and 5,000 contacts pulled into an empty store (under 30 s, within 2x)
//   unchangedSync  both collections pulled again with nothing changed (under 200 ms)
//   changePush     an appointment saved in the store, then sent as `lumora serve` sends it once a
//                  call has returned: account settings, password, pending changes, PUT with
//                  If-Match (under 100 ms)
// Before anything is timed, a first sync is checked item by item count and field by field, and
// the requests each form sends are counted, so that the floor sends as many as the sync does.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>

#include "Platform/Desktop/headless_desktop.hpp"
#include "Platform/Sync/sync_state.hpp"
#include "bench/median_reporter.hpp"
#include "bench/peak_memory.hpp"
#include "crm_resources.hpp"
#include "raw_sync_requests.hpp"
#include "sync_scene.hpp"

namespace lumora::bench {

namespace {

constexpr int kEvents = 5'000;
constexpr int kContacts = 5'000;
// The appointment the person moves in changePush.
constexpr int kMovedEvent = 1'234;

void require(bool holds, const std::string& what) {
    if (!holds) throw std::runtime_error("the sync is not right: " + what);
}

std::string userProperty(pim::ItemRecord& item, std::string_view name) {
    for (const pim::UserPropertyRow& property : item.userProperties)
        if (property.name == name) return property.value.toString();
    return {};
}

pim::ItemRecord itemWithUid(BoundStore& bound, pim::ItemClass itemClass, const std::string& uid) {
    pim::PimStore& store = bound.store();
    const std::vector<int64_t> ids = store.itemIdsByUid(store.currentMailbox().id, itemClass, uid);
    require(ids.size() == 1, uid + " arrived " + std::to_string(ids.size()) + " times");
    pim::ItemRecord item = store.loadItem(ids.front());
    store.loadUserProperties(item);
    return item;
}

// Every member arrived once, in its folder, with the fields and the CRM's mark its text carries.
void checkFirstSync(BoundStore& bound, const BothPulled& pulled) {
    require(pulled.events.created == kEvents && pulled.events.skipped.empty(),
            std::to_string(pulled.events.created) + " events created");
    require(pulled.contacts.created == kContacts && pulled.contacts.skipped.empty(),
            std::to_string(pulled.contacts.created) + " contacts created");
    require(bound.store().itemIds(bound.calendarFolder()).size() == kEvents, "the Calendar's item count");
    require(bound.store().itemIds(bound.contactsFolder()).size() == kContacts, "the Contacts' item count");

    pim::ItemRecord event = itemWithUid(bound, pim::ItemClass::Appointment, crmEventUid(kMovedEvent));
    require(event.folder == bound.calendarFolder(), "the event's folder");
    require(event.values.at("Subject").toString() == "Support escalation with Alpenblick Hotels AG",
            "the event's subject " + event.values.at("Subject").toString());
    require(event.values.at("Location").toString().find("Köln") != std::string::npos, "the event's location");
    require(event.values.at("Body").toString().find("offer 2025/2234") != std::string::npos, "the event's notes");
    require(!userProperty(event, "ACID").empty(), "the event's ACID mark");

    pim::ItemRecord contact = itemWithUid(bound, pim::ItemClass::Contact, crmContactUid(42));
    require(contact.folder == bound.contactsFolder(), "the contact's folder");
    require(contact.values.at("Email1Address").toString() == "s.contact42@customer8.example",
            "the contact's e-mail " + contact.values.at("Email1Address").toString());
    require(!userProperty(contact, "ACID").empty(), "the contact's ACID mark");
}

// The state every measurement after the first sync's works on.
struct Scene {
    SyncServer server{kEvents, kContacts};
    dav::DavClient client = server.client();
    std::optional<BoundStore> synced;
    std::vector<dav::DavRequest> firstPullFloor;
    int64_t movedItem = 0;
    uint64_t firstSyncRequests = 0;
    uint64_t unchangedSyncRequests = 0;
    uint64_t pushRequests = 0;
    double coldFirstSyncMs = 0;  // the first sync radicale answers from its caches
};

std::vector<std::string> memberPaths(const SeededCollection& collection) {
    std::vector<std::string> paths;
    for (const std::string& name : collection.names) paths.push_back(collection.path + name);
    return paths;
}

std::vector<dav::DavRequest> firstPullFloor(const SyncServer& server) {
    const SeededAccount& seeded = server.seeded();
    std::vector<dav::DavRequest> requests = firstPullRequests(
        server.url(seeded.calendar.path), dav::CollectionKind::Calendar, memberPaths(seeded.calendar));
    for (dav::DavRequest& request : firstPullRequests(server.url(seeded.addressBook.path),
                                                      dav::CollectionKind::AddressBook, memberPaths(seeded.addressBook)))
        requests.push_back(std::move(request));
    return requests;
}

std::vector<dav::DavRequest> unchangedPullFloor(Scene& scene) {
    return {listingRequest(scene.synced->calendarBinding().collectionUrl, scene.synced->calendarBinding().syncToken),
            listingRequest(scene.synced->contactsBinding().collectionUrl, scene.synced->contactsBinding().syncToken)};
}

// Moves the appointment by an hour's worth of text: a new subject, as the person's save does.
void saveMovedAppointment(Scene& scene, int round) {
    pim::PimStore& store = scene.synced->store();
    pim::ItemRecord item = store.loadItem(scene.movedItem);
    item.values["Subject"] = Variant("Support escalation, moved (" + std::to_string(round) + ")");
    store.saveItem(item, {"Subject"});
}

// The moved appointment sent as the bridge sends a call's change: exactly one item, in the Calendar.
void pushOne(Scene& scene) {
    const host::AccountSyncReport report = scene.synced->pushWaitingChanges();
    require(!report.failed(), "the push failed: " + report.error);
    require(report.result && report.result->collections.size() == 1 && report.result->collections[0].pushed == 1,
            "the push sent other than the one changed appointment");
}

// Syncs once unmeasured and checks everything arrived, then counts the requests of each
// measured form.
void prepare(Scene& scene) {
    scene.synced.emplace(scene.client);
    const uint64_t before = scene.client.requestsSent();
    const auto started = std::chrono::steady_clock::now();
    const BothPulled first = scene.synced->pullBoth(scene.client);
    scene.coldFirstSyncMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    scene.firstSyncRequests = scene.client.requestsSent() - before;
    checkFirstSync(*scene.synced, first);

    scene.firstPullFloor = firstPullFloor(scene.server);

    const uint64_t beforeAgain = scene.client.requestsSent();
    const BothPulled again = scene.synced->pullBoth(scene.client);
    scene.unchangedSyncRequests = scene.client.requestsSent() - beforeAgain;
    require(again.events.changedNothing() && again.contacts.changedNothing(), "a sync with nothing changed changed");

    scene.movedItem = itemWithUid(*scene.synced, pim::ItemClass::Appointment, crmEventUid(kMovedEvent)).id;
    scene.synced->keepAccount(scene.client, std::string(test::RadicaleServer::kAlicePassword));
    saveMovedAppointment(scene, 0);
    pushOne(scene);
    scene.pushRequests = 1;  // pushOne checks that the push sent the one appointment, and nothing else
    const sync::SyncedItem pushed = *sync::syncedItemOf(scene.synced->store(), scene.movedItem);
    const dav::DavReply onServer = scene.client.get(pushed.href);
    require(onServer.body.find("SUMMARY:Support escalation\\, moved (0)") != std::string::npos &&
                onServer.etag == pushed.etag,
            "the server's copy of the pushed appointment");
    require(scene.synced->pullBoth(scene.client).events.changedNothing(), "the pushed change came back");
}

void firstSync(benchmark::State& state, Scene& scene) {
    for (auto _ : state) {
        state.PauseTiming();
        dav::DavClient client = scene.server.client();
        auto bound = std::make_unique<BoundStore>(client);
        state.ResumeTiming();
        const BothPulled pulled = bound->pullBoth(client);
        state.PauseTiming();
        require(pulled.events.created == kEvents && pulled.contacts.created == kContacts, "a timed first sync");
        bound.reset();
        state.ResumeTiming();
    }
}

void firstSyncFloor(benchmark::State& state, Scene& scene) {
    for (auto _ : state) sendRaw(scene.client, scene.firstPullFloor);
}

void unchangedSync(benchmark::State& state, Scene& scene) {
    for (auto _ : state) benchmark::DoNotOptimize(scene.synced->pullBoth(scene.client));
}

void unchangedSyncFloor(benchmark::State& state, Scene& scene) {
    const std::vector<dav::DavRequest> requests = unchangedPullFloor(scene);
    for (auto _ : state) sendRaw(scene.client, requests);
}

void changePush(benchmark::State& state, Scene& scene) {
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        saveMovedAppointment(scene, ++round);
        state.ResumeTiming();
        pushOne(scene);
    }
}

// One PUT of the text last pushed, over its own version, which leaves the server's etag as the
// store knows it.
void changePushFloor(benchmark::State& state, Scene& scene) {
    const sync::SyncedItem pushed = *sync::syncedItemOf(scene.synced->store(), scene.movedItem);
    const std::vector<dav::DavRequest> requests{{"PUT", pushed.href, pushed.serverText,
                                                 "text/calendar; charset=utf-8", std::nullopt,
                                                 dav::WriteCondition::ifMatch(pushed.etag)}};
    for (auto _ : state) sendRaw(scene.client, requests);
}

// Measured in children forked before this process has synced anything itself, whose memory
// would otherwise be the children's from the start and hide what the sync needs.
struct SyncMemory {
    long syncKiB = -1;
    long floorKiB = -1;
};

SyncMemory measurePeakMemory(const SyncServer& server) {
    SyncMemory measured;
    measured.syncKiB = peakGrowthKiB([&server] {
        auto client = std::make_shared<dav::DavClient>(server.client());
        auto bound = std::make_shared<BoundStore>(*client);
        return std::function<void()>([client, bound] { bound->pullBoth(*client); });
    });
    measured.floorKiB = peakGrowthKiB([&server] {
        auto client = std::make_shared<dav::DavClient>(server.client());
        auto requests = std::make_shared<std::vector<dav::DavRequest>>(firstPullFloor(server));
        return std::function<void()>([client, requests] { sendRaw(*client, *requests); });
    });
    return measured;
}

}  // namespace

}  // namespace lumora::bench

int main(int argc, char** argv) {
    using namespace lumora;
    using namespace lumora::bench;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    desktop::HeadlessDesktop headless;
    desktop::ScopedDesktop scope(headless);
    // The account's password is read from the owner's file, as where no desktop keyring runs.
    unsetenv("DBUS_SESSION_BUS_ADDRESS");

    Scene scene;
    SyncMemory memory;
    try {
        scene.server.warmUp();
        memory = measurePeakMemory(scene.server);
        prepare(scene);
    } catch (const Error& e) {
        std::fprintf(stderr, "could not prepare the sync: %s\n", e.description().c_str());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "could not prepare the sync: %s\n", e.what());
        return 1;
    }
    std::printf("requests per run: firstSync %llu (floor %zu), unchangedSync %llu (floor 2), changePush %llu "
                "(floor 1)\n",
                static_cast<unsigned long long>(scene.firstSyncRequests), scene.firstPullFloor.size(),
                static_cast<unsigned long long>(scene.unchangedSyncRequests),
                static_cast<unsigned long long>(scene.pushRequests));
    std::printf("the unmeasured first sync: %.0f ms\n", scene.coldFirstSyncMs);

    auto add = [&scene](const char* name, void (*measure)(benchmark::State&, Scene&), int iterations,
                        int repetitions) {
        benchmark::RegisterBenchmark(name, [&scene, measure](benchmark::State& s) { measure(s, scene); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(iterations)
            ->Repetitions(repetitions);
    };
    add("firstSync", firstSync, 1, 3);
    add("firstSyncFloor", firstSyncFloor, 1, 3);
    add("unchangedSync", unchangedSync, 5, 5);
    add("unchangedSyncFloor", unchangedSyncFloor, 5, 5);
    add("changePush", changePush, 20, 5);
    add("changePushFloor", changePushFloor, 20, 5);

    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio("firstSync", "firstSyncFloor");
    reporter.printRatio("unchangedSync", "unchangedSyncFloor");
    reporter.printRatio("changePush", "changePushFloor");
    std::printf("targets: firstSync under 30000 ms and within 2x; unchangedSync under 200 ms; changePush under "
                "100 ms\n");
    printPeakGrowth("firstSync", "firstSyncFloor", memory.syncKiB, memory.floorKiB);
    benchmark::Shutdown();
    return 0;
}
