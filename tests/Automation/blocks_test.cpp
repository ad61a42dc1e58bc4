// The building blocks object models are declared on: property tables over pluggable storage,
// the collection base, the member helpers and the shape of error tables.

#include <gtest/gtest.h>

#include <map>
#include <span>

#include "Automation/collection.hpp"
#include "Automation/error_table.hpp"
#include "Automation/property_table.hpp"
#include "error_matchers.hpp"

using namespace lumora;

namespace {

// A store that keeps rows by property name, as a database row would, and counts its writes.
class RowStore : public PropertyStore {
public:
    std::optional<Variant> load(const PropertyDef& property) override {
        auto it = row.find(property.name);
        return it == row.end() ? std::nullopt : std::optional<Variant>(it->second);
    }
    void store(const PropertyDef& property, Variant value) override {
        row[property.name] = std::move(value);
        ++writes;
    }
    std::map<std::string, Variant> row;
    int writes = 0;
};

const PropertyTable kTaskProperties{
    {"Subject", 0x37, ParamType::String, ""},
    {"Importance", 0x17, ParamType::I2, int16_t{1}},
    {"DueDate", 0x8105, ParamType::Date, Variant(Date{949998.0})},
    {"EntryID", 0xf01e, ParamType::String, "", Access::ReadOnly},
    {"Sensitivity", 0x36, ParamType::I4, int32_t{0}, Access::ReadOnly, Error(-2147352567, "Not now", "Lumora.PIM")},
    {"Class", 0xf000, ParamType::I4, int32_t{48}, Access::GetOnly},
};

class Task : public Dispatch {
public:
    PropertyStore& properties() { return m_row; }
    RowStore& row() { return m_row; }
    const TypeInfo& typeInfo() const override {
        static const TypeInfo info = [] {
            TypeInfo t("TaskItem");
            kTaskProperties.addTo<Task>(t);
            return t;
        }();
        return info;
    }

private:
    RowStore m_row;
};

TEST(PropertyTable, UnstoredPropertiesReadTheirDefaultsAndPutsStoreCoercedValues) {
    Object task = makeObject<Task>();
    EXPECT_EQ(task.get("subject").toString(), "");
    EXPECT_EQ(task.get("Importance"), Variant(int16_t{1}));
    EXPECT_EQ(task.get("DueDate"), Variant(Date{949998.0}));

    task.put("Subject", 42);
    task.put("Importance", "2");
    EXPECT_EQ(task.get("Subject"), Variant("42"));
    EXPECT_EQ(task.get("Importance"), Variant(int16_t{2}));
    // The values went to the object's own store, under the property's name.
    EXPECT_EQ(task.as<Task>()->row().row.at("Subject"), Variant("42"));
    std::vector<Variant> none;
    EXPECT_EQ(task.invoke(0x17, MemberKind::PropertyGet, none), Variant(int16_t{2}));
}

TEST(PropertyTable, FailedCoercionsAndReadOnlyPutsStoreNothing) {
    Object task = makeObject<Task>();
    EXPECT_AUTOMATION_ERROR(task.put("Importance", "high"), 13);
    EXPECT_AUTOMATION_ERROR(task.put("Importance", 40000), 6);
    EXPECT_AUTOMATION_ERROR(task.put("DueDate", "not a date"), 13);
    EXPECT_AUTOMATION_ERROR(task.put("EntryID", "forged"), 383);
    EXPECT_AUTOMATION_ERROR(task.put("Sensitivity", 2), -2147352567);
    EXPECT_AUTOMATION_ERROR(task.put("Class", 43), 438);
    EXPECT_EQ(task.as<Task>()->row().writes, 0);
    EXPECT_EQ(task.get("Class"), Variant(int32_t{48}));
}

TEST(PropertyTable, MemoryStoreKeepsEachObjectsValuesApart) {
    MemoryPropertyStore first, second;
    const PropertyDef& subject = kTaskProperties.properties()[0];
    PropertyTable::put(first, subject, "Call Ann");
    EXPECT_EQ(PropertyTable::get(first, subject), Variant("Call Ann"));
    EXPECT_EQ(PropertyTable::get(second, subject), Variant(""));
}

// Folders in a fixed order, found by position (1-based) and by name.
class Folders : public Collection {
public:
    explicit Folders(std::vector<std::string> names) : m_names(std::move(names)) {}
    int32_t count() override { return static_cast<int32_t>(m_names.size()); }
    std::optional<Variant> at(int32_t position) override {
        if (position >= count()) return std::nullopt;
        return Variant(m_names[static_cast<size_t>(position)]);
    }
    std::optional<Variant> named(std::string_view name) override {
        for (const auto& folder : m_names)
            if (folder == name) return Variant(folder);
        raise(RuntimeError::ObjectNotSet);
    }
    const TypeInfo& typeInfo() const override {
        static const TypeInfo info = collectionTypeInfo("Folders", kAutomationCollection);
        return info;
    }

private:
    std::vector<std::string> m_names;
};

TEST(CollectionBase, ItemCountsFromOneFindsNamesAndRefusesPositionsOutsideTheCollection) {
    Object folders = makeObject<Folders>(std::vector<std::string>{"Inbox", "Tasks", "Contacts"});
    EXPECT_EQ(folders.count(), 3);
    EXPECT_EQ(folders.get("Item", 1).toString(), "Inbox");
    EXPECT_EQ(folders.value(3).toString(), "Contacts");
    EXPECT_EQ(folders.value("Tasks").toString(), "Tasks");
    EXPECT_AUTOMATION_ERROR(folders.value(0), 9);
    EXPECT_AUTOMATION_ERROR(folders.value(4), 9);
    EXPECT_AUTOMATION_ERROR(folders.value("Drafts"), 91);
    std::vector<std::string> walked;
    for (const Variant& v : folders.elements()) walked.push_back(v.toString());
    EXPECT_EQ(walked, (std::vector<std::string>{"Inbox", "Tasks", "Contacts"}));
}

TEST(CollectionBase, DomListsCountFromZeroAndGiveNothingOutsideTheList) {
    auto folders = std::make_shared<Folders>(std::vector<std::string>{"a", "b"});
    EXPECT_EQ(folders->atPosition(0, kDomNodeList).toString(), "a");
    EXPECT_TRUE(folders->atPosition(2, kDomNodeList).toObject().isNothing());
    EXPECT_TRUE(folders->atPosition(-1, kDomNodeList).toObject().isNothing());
    EXPECT_TRUE(folders->atPosition(int64_t{1} << 40, kDomNodeList).toObject().isNothing());
}

// Member helpers: a parameter array, put-by-reference, and the default member.
class Printer : public Dispatch {
public:
    const TypeInfo& typeInfo() const override {
        static const TypeInfo info = [] {
            TypeInfo t("Printer");
            t.variadic<Printer>("Print", 1, {"first"}, 1, [](Printer& p, Args& a) {
                for (size_t i = 0; i < a.size(); ++i) p.m_text += a[i].toString();
                return Variant(p.m_text);
            });
            t.setterRef<Printer>("Target", 2, [](Printer& p, const Variant& v) { p.m_target = v.toObject(); });
            t.defaultGetter<Printer>("Text", {}, 0, [](Printer& p, Args&) { return Variant(p.m_text); });
            return t;
        }();
        return info;
    }

private:
    std::string m_text;
    Object m_target;
};

TEST(MemberHelpers, VariadicMethodsTakeEveryArgumentAndPutRefAndTheDefaultMemberAreReached) {
    Object printer = makeObject<Printer>();
    EXPECT_EQ(printer.call("Print", "a", 1, "b", 2).toString(), "a1b2");
    EXPECT_AUTOMATION_ERROR(printer.call("Print"), 449);
    EXPECT_EQ(printer.value().toString(), "a1b2");
    printer.putRef("Target", makeObject<Printer>());
    EXPECT_EQ(printer.idOf("Text"), kDispIdValue);
}

// An error table in the shape every deliverable uses.
enum class SampleError { Plain, WithPlace, Standard };
constexpr ErrorEntry<SampleError> kSampleErrors[] = {
    {SampleError::Plain, kObjectErrorBase + 1, "Lumora.Sample", "The folder could not be opened."},
    {SampleError::WithPlace, kObjectErrorBase + 2, "Lumora.Sample", "More than {} items"},
    {SampleError::Standard, RuntimeError::ActionNotSupported, "Lumora.Sample", ""},
};
constexpr std::span<const ErrorEntry<SampleError>> errorTable(SampleError) { return kSampleErrors; }

TEST(ErrorTables, EntriesGiveNumberSourceAndTextWithTheDetailInItsPlace) {
    Error plain = errorOf(SampleError::Plain);
    EXPECT_EQ(plain.number(), kObjectErrorBase + 1);
    EXPECT_EQ(plain.source(), "Lumora.Sample");
    EXPECT_EQ(plain.description(), "The folder could not be opened.");
    EXPECT_EQ(errorOf(SampleError::Plain, "Inbox").description(), "The folder could not be opened: Inbox");
    EXPECT_EQ(errorOf(SampleError::WithPlace, "500").description(), "More than 500 items");
    EXPECT_EQ(errorOf(SampleError::Standard).description(), "Object doesn't support this action");
    EXPECT_AUTOMATION_ERROR(raise(SampleError::WithPlace, "1"), kObjectErrorBase + 2);
}

TEST(ErrorTables, RuntimeErrorsCarryTheirStandardDescriptions) {
    EXPECT_EQ(Error(RuntimeError::ActionNotSupported).description(), "Object doesn't support this action");
    EXPECT_EQ(Error(RuntimeError::DiskFull).description(), "Disk full");
    EXPECT_EQ(Error::standardDescription(5904), "Cannot edit Range.");
    EXPECT_EQ(Error::standardDescription(1), "");
}

}  // namespace
