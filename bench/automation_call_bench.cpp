// The price of late binding: one call of the same member function made directly in C++, late
// bound by name through Object (the name found in the class's hashed member table), and late
// bound through a dispatch id resolved once beforehand. The class declares as many members as
// the desktop control does, so the tables are of a realistic size. The same is measured for the
// building blocks the object models are declared on: a property read through a property table
// against reading the field directly, and Item(index) through the collection base against
// indexing the vector directly. The ratios of the late-bound forms to the direct calls are
// printed after the results.

#include <benchmark/benchmark.h>

#include <string>

#include "Automation/collection.hpp"
#include "Automation/object.hpp"
#include "Automation/property_table.hpp"
#include "bench/ratio_reporter.hpp"

namespace {

using namespace lumora;

constexpr int kMembersLikeTheDesktopControl = 54;

class Counter : public Dispatch {
public:
    // The member function every variant ends in. Kept out of line so the direct call is a call.
    [[gnu::noinline]] int32_t add(int32_t amount) {
        m_total += amount;
        return m_total;
    }

    const TypeInfo& typeInfo() const override {
        static const TypeInfo info = [] {
            TypeInfo t("Counter");
            for (int i = 1; i < kMembersLikeTheDesktopControl; ++i)
                t.method<Counter>("Member" + std::to_string(i), i, {}, 0, [](Counter&, Args&) { return Variant(); });
            t.method<Counter>("Add", kMembersLikeTheDesktopControl, {"amount"}, 1,
                              [](Counter& c, Args& args) { return Variant(c.add(args[0].toI4())); });
            return t;
        }();
        return info;
    }

private:
    int32_t m_total = 0;
};

void directCall(benchmark::State& state) {
    auto counter = std::make_shared<Counter>();
    for (auto _ : state) benchmark::DoNotOptimize(counter->add(1));
}
BENCHMARK(directCall);

void lateBoundByName(benchmark::State& state) {
    Object counter = makeObject<Counter>();
    for (auto _ : state) benchmark::DoNotOptimize(counter.call("Add", 1));
}
BENCHMARK(lateBoundByName);

void lateBoundByDispatchId(benchmark::State& state) {
    Object counter = makeObject<Counter>();
    const DispId add = counter.idOf("Add");
    std::vector<Variant> slots;
    for (auto _ : state) {
        slots.assign(1, Variant(1));
        benchmark::DoNotOptimize(counter.invoke(add, MemberKind::Method, slots));
    }
}
BENCHMARK(lateBoundByDispatchId);

// An item with as many plain properties as a contact, served by a property table in memory.
constexpr int kPropertiesLikeAContact = 60;

const PropertyTable& itemProperties() {
    static const PropertyTable table = [] {
        std::vector<PropertyDef> defs;
        for (int i = 1; i < kPropertiesLikeAContact; ++i)
            defs.push_back({"Field" + std::to_string(i), 0x8000 + i, ParamType::String, ""});
        defs.push_back({"FirstName", 0x3a06, ParamType::String, ""});
        return PropertyTable(std::move(defs));
    }();
    return table;
}

class Item : public Dispatch {
public:
    Item() { PropertyTable::put(m_values, itemProperties().properties().back(), Variant("Ada")); }
    PropertyStore& properties() { return m_values; }
    const TypeInfo& typeInfo() const override {
        static const TypeInfo info = [] {
            TypeInfo t("Item");
            itemProperties().addTo<Item>(t);
            return t;
        }();
        return info;
    }

private:
    MemoryPropertyStore m_values;
};

// The same field as a plain C++ member, for the direct read.
struct PlainItem {
    std::string firstName = "Ada";
    [[gnu::noinline]] const std::string& FirstName() const { return firstName; }
};

void directPropertyRead(benchmark::State& state) {
    PlainItem item;
    for (auto _ : state) benchmark::DoNotOptimize(Variant(item.FirstName()));
}
BENCHMARK(directPropertyRead);

// A property read late bound by name, and by a dispatch id resolved once beforehand, on any
// class; registered in main() under the names the ratios are printed for.
template <class T, class... A>
void getByName(benchmark::State& state, const char* member, A... args) {
    Object object = makeObject<T>();
    for (auto _ : state) benchmark::DoNotOptimize(object.get(member, args...));
}

template <class T, class... A>
void getByDispatchId(benchmark::State& state, const char* member, A... args) {
    Object object = makeObject<T>();
    const DispId id = object.idOf(member);
    std::vector<Variant> slots;
    for (auto _ : state) {
        slots = {Variant(args)...};
        benchmark::DoNotOptimize(object.invoke(id, MemberKind::PropertyGet, slots));
    }
}

// A collection of counters on the collection base.
class Counters : public Collection {
public:
    Counters() {
        for (int i = 0; i < 100; ++i) m_items.emplace_back(int32_t{i});
    }
    int32_t count() override { return static_cast<int32_t>(m_items.size()); }
    std::optional<Variant> at(int32_t position) override {
        return position < count() ? std::optional<Variant>(m_items[static_cast<size_t>(position)]) : std::nullopt;
    }
    [[gnu::noinline]] Variant itemDirect(int32_t index) { return m_items.at(static_cast<size_t>(index - 1)); }
    const TypeInfo& typeInfo() const override {
        static const TypeInfo info = collectionTypeInfo("Counters", kAutomationCollection);
        return info;
    }

private:
    std::vector<Variant> m_items;
};

void directCollectionItem(benchmark::State& state) {
    auto counters = std::make_shared<Counters>();
    for (auto _ : state) benchmark::DoNotOptimize(counters->itemDirect(50));
}
BENCHMARK(directCollectionItem);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RegisterBenchmark("propertyTableByName", getByName<Item>, "FirstName");
    benchmark::RegisterBenchmark("propertyTableByDispatchId", getByDispatchId<Item>, "FirstName");
    benchmark::RegisterBenchmark("collectionItemByName", getByName<Counters, int32_t>, "Item", 50);
    benchmark::RegisterBenchmark("collectionItemByDispatchId", getByDispatchId<Counters, int32_t>, "Item", 50);
    lumora::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios("directCall", {"lateBoundByName", "lateBoundByDispatchId"});
    reporter.printRatios("directPropertyRead", {"propertyTableByName", "propertyTableByDispatchId"});
    reporter.printRatios("directCollectionItem", {"collectionItemByName", "collectionItemByDispatchId"});
    benchmark::Shutdown();
    return 0;
}
