#include "pim_item.hpp"

#include <algorithm>

#include "Automation/vb/convert.hpp"
#include "Automation/vb/dates.hpp"
#include "Platform/Desktop/desktop.hpp"
#include "contact_forwarding.hpp"
#include "item_properties.hpp"
#include "mail_recipients.hpp"
#include "mail_attachments.hpp"
#include "pim_folder.hpp"
#include "pim_view.hpp"
#include "user_properties.hpp"

namespace lumora::pim {

namespace {

// Close(SaveMode): olSave 0 saves, olDiscard 1 and olPromptForSave 2 leave the item as stored.
constexpr int32_t kCloseSave = 0;

constexpr double kNewAppointmentMinutes = 30;

// The next full or half hour after the time, as a person's calendar offers a new appointment.
Date nextHalfHour(Date now) {
    vb::CivilTime slot = vb::toCivil(now);
    const int minutesToAdd = slot.minute < 30 ? 30 : 60;
    slot.minute = 0;
    slot.second = 0;
    return vb::dateAdd("n", minutesToAdd, vb::toDate(slot));
}

void moveEndWithStart(ItemRecord& record, Date newStart) {
    auto start = record.values.find("Start");
    auto end = record.values.find("End");
    if (start == record.values.end() || end == record.values.end()) return;
    // In whole seconds: dates are fractions of days, whose difference is no exact count of minutes.
    const int64_t length = vb::dateDiff("s", start->second.toDate(), end->second.toDate());
    if (!vb::isInDateRange(newStart.days + static_cast<double>(length) / 86400)) return;  // past the year 9999
    end->second = Variant(vb::dateAdd("s", static_cast<double>(length), newStart));
}

void joinWord(std::string& into, const std::string& word, std::string_view separator) {
    if (word.empty()) return;
    if (!into.empty()) into += separator;
    into += word;
}

TypeInfo itemTypeInfo(std::string className, const PropertyTable& table) {
    TypeInfo t(std::move(className));
    table.addTo<PimItem>(t);
    t.getter<PimItem>("EntryID", 0xf01e, [](PimItem& i) { return Variant(i.record().entryId); });
    t.getter<PimItem>("Class", 0xf00a, [](PimItem& i) { return Variant(static_cast<int32_t>(i.record().itemClass)); });
    t.getter<PimItem>("Parent", 0xf090, [](PimItem& i) { return Variant(i.parent()); });
    t.getter<PimItem>("UserProperties", 0xf816, [](PimItem& i) { return Variant(i.userProperties()); });
    t.getter<PimItem>("Saved", 0xf0a3, [](PimItem& i) { return Variant(i.record().id != 0); });
    t.method<PimItem>("Save", 0xf048, {}, 0, [](PimItem& i, Args&) {
        i.save();
        return Variant();
    });
    t.method<PimItem>("Delete", 0xf04a, {}, 0, [](PimItem& i, Args&) {
        i.remove();
        return Variant();
    });
    t.method<PimItem>("Display", 0xf0a6, {"Modal"}, 0, [](PimItem& i, Args&) {
        i.display();
        return Variant();
    });
    t.method<PimItem>("Close", 0xf023, {"SaveMode"}, 1, [](PimItem& i, Args& a) {
        if (a[0].toI4() == kCloseSave) i.save();
        return Variant();
    });
    return t;
}

}  // namespace

void ItemState::markChanged(const std::string& name) {
    if (std::find(changed.begin(), changed.end(), name) == changed.end()) changed.push_back(name);
}

ItemRecord& ItemState::mailParts() {
    if (record.mailPartsLoaded) return record;
    requireInView(*store, record.folder);
    store->loadMailParts(record);
    // A mail saved before recipients were kept apart holds its address lines as plain values;
    // they become its recipients, written as such by its next save.
    if (record.recipients.empty())
        for (std::string_view line : {"To", "CC", "BCC"}) {
            auto value = record.values.find(std::string(line));
            if (value != record.values.end() && value->second.isString() && !value->second.str().empty())
                setAddressLine(record, *addressLineType(line), value->second.str());
        }
    return record;
}

std::vector<UserPropertyRow>& ItemState::userProperties() {
    if (!record.userPropertiesLoaded) requireInView(*store, record.folder);
    store->loadUserProperties(record);
    return record.userProperties;
}

PimItem::PimItem(std::shared_ptr<PimStore> store, ItemRecord record)
    : m_store(store), m_state(std::make_shared<ItemState>(ItemState{std::move(store), std::move(record), {}})),
      m_values(*m_state) {}

PimItem::PimItem(std::shared_ptr<ItemState> state) : m_store(state->store), m_state(std::move(state)), m_values(*m_state) {}

Object PimItem::sharing(std::shared_ptr<ItemState> state) { return makeObject<PimItem>(std::move(state)); }

Object PimItem::create(std::shared_ptr<PimStore> store, int64_t folder, ItemClass itemClass) {
    // The identity comes first, so that whatever shows or exports the item before its first
    // save names the item it will be.
    ItemRecord record;
    record.folder = folder;
    record.itemClass = itemClass;
    record.entryId = newHexId(24);
    record.uid = newUid(itemClass);
    auto state = std::make_shared<ItemState>(ItemState{std::move(store), std::move(record), {}});
    if (itemClass == ItemClass::Appointment) {
        const Date start = nextHalfHour(desktop::current().now());
        state->record.values["Start"] = Variant(start);
        state->record.values["End"] = Variant(vb::dateAdd("n", kNewAppointmentMinutes, start));
        state->markChanged("Start");
        state->markChanged("End");
        state->endFollowsStart = true;
    }
    return makeObject<PimItem>(std::move(state));
}

Object PimItem::load(std::shared_ptr<PimStore> store, int64_t id) {
    ItemRecord record = store->loadItem(id);
    requireInView(*store, record.folder);
    return makeObject<PimItem>(std::move(store), std::move(record));
}

const TypeInfo& PimItem::typeInfo() const {
    static const TypeInfo mail = [] {
        TypeInfo t = itemTypeInfo("MailItem", propertiesOf(ItemClass::Mail));
        t.getter<PimItem>("Recipients", 0xf814, [](PimItem& i) { return Variant(makeObject<Recipients>(i.m_state)); });
        t.getter<PimItem>("Attachments", 0xf815,
                          [](PimItem& i) { return Variant(makeObject<Attachments>(i.m_state)); });
        return t;
    }();
    static const TypeInfo appointment = itemTypeInfo("AppointmentItem", propertiesOf(ItemClass::Appointment));
    static const TypeInfo contact = [] {
        TypeInfo t = itemTypeInfo("ContactItem", propertiesOf(ItemClass::Contact));
        t.method<PimItem>("ForwardAsVcard", 0xf8a1, {}, 0,
                          [](PimItem& i, Args&) { return Variant(forwardAsVcard(i)); });
        return t;
    }();
    static const TypeInfo task = itemTypeInfo("TaskItem", propertiesOf(ItemClass::Task));
    static const TypeInfo list = itemTypeInfo("DistListItem", propertiesOf(ItemClass::DistributionList));
    switch (m_state->record.itemClass) {
    case ItemClass::Appointment: return appointment;
    case ItemClass::Contact: return contact;
    case ItemClass::Task: return task;
    case ItemClass::DistributionList: return list;
    case ItemClass::Mail: break;
    }
    return mail;
}

Object PimItem::parent() const { return folderObject(m_store, m_store->folder(m_state->record.folder)); }

Object PimItem::userProperties() const { return makeObject<UserProperties>(m_state); }

void PimItem::save() {
    // Checked at every save: the item may have been read while its folder was still shared.
    requireInView(*m_store, m_state->record.folder);
    m_store->saveItem(m_state->record, m_state->changed);
    m_state->changed.clear();
}

void PimItem::remove() {
    if (m_state->record.id == 0) return;  // never saved: nothing stored to delete
    requireInView(*m_store, m_state->record.folder);
    m_store->deleteItem(m_state->record.id);
    // Saved again, it is a new item (its first save names it): the deleted one keeps its
    // identity in Deleted Items.
    m_state->record.id = 0;
    m_state->record.entryId.clear();
    m_state->record.uid.clear();
}

std::optional<Variant> PimItem::Values::load(const PropertyDef& property) {
    const ItemRecord& record = m_state.record;
    if (record.itemClass == ItemClass::Mail)
        if (std::optional<int32_t> type = addressLineType(property.name))
            return Variant(addressLine(m_state.mailParts(), *type));
    auto it = record.values.find(property.name);
    if (it != record.values.end()) return it->second;
    if (record.itemClass == ItemClass::Contact) {
        if (property.name == "FullName") return Variant(composedFullName(record));
        if (property.name == "FileAs") return Variant(composedFileAs(record));
    }
    return std::nullopt;
}

void PimItem::Values::store(const PropertyDef& property, Variant value) {
    if (m_state.record.itemClass == ItemClass::Mail)
        if (std::optional<int32_t> type = addressLineType(property.name))
            return setAddressLine(m_state.mailParts(), *type, value.str());
    if (m_state.record.itemClass == ItemClass::Appointment) {
        if (property.name == "End") m_state.endFollowsStart = false;
        if (property.name == "Start" && m_state.endFollowsStart) {
            moveEndWithStart(m_state.record, value.toDate());
            m_state.markChanged("End");
        }
    }
    m_state.record.values[property.name] = std::move(value);
    m_state.markChanged(property.name);
}

std::string textValue(const ItemRecord& record, std::string_view name) {
    auto it = record.values.find(std::string(name));
    return it == record.values.end() ? std::string() : it->second.toString();
}

Variant storedValue(const ItemRecord& record, std::string_view name) {
    auto it = record.values.find(std::string(name));
    if (it != record.values.end()) return it->second;
    for (const PropertyDef& property : propertiesOf(record.itemClass).properties())
        if (property.name == name) return property.defaultValue;
    return Variant();
}

std::string composedFullName(const ItemRecord& record) {
    std::string name;
    for (const char* part : {"Title", "FirstName", "MiddleName", "LastName", "Suffix"})
        joinWord(name, textValue(record, part), " ");
    return name;
}

std::string composedFileAs(const ItemRecord& record) {
    std::string last = textValue(record, "LastName");
    std::string first = textValue(record, "FirstName");
    std::string fileAs = last;
    joinWord(fileAs, first, ", ");
    if (fileAs.empty()) fileAs = textValue(record, "CompanyName");
    return fileAs;
}

}  // namespace lumora::pim
