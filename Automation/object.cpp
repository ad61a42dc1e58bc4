#include "object.hpp"

#include <atomic>

#include "error.hpp"
#include "vb/text.hpp"

namespace lumora {

namespace {

std::atomic<int64_t> g_liveDispatches{0};


bool sameName(std::string_view a, std::string_view b) { return vb::asciiEqualsNoCase(a, b); }

// Places named arguments at their parameters' positions; unnamed gaps become Missing.
void placeNamed(const MemberDef& def, std::vector<Variant>& positional, const std::vector<Named>& named) {
    for (const Named& arg : named) {
        size_t index = 0;
        while (index < def.params.size() && !sameName(def.params[index], arg.name)) ++index;
        if (index == def.params.size()) throw Error(RuntimeError::NamedArgumentNotFound);
        if (positional.size() <= index) positional.resize(index + 1, Variant::missing());
        positional[index] = arg.value;
    }
}

void checkArity(const MemberDef& def, const std::vector<Variant>& positional) {
    if (!def.variadic && positional.size() > def.params.size()) throw Error(RuntimeError::WrongNumberOfArguments);
    for (size_t i = 0; i < def.required; ++i)
        if (i >= positional.size() || positional[i].isMissing()) throw Error(RuntimeError::ArgumentNotOptional);
}

Variant run(Dispatch& self, const MemberDef& def, std::vector<Variant>& positional) {
    checkArity(def, positional);
    Args args(positional);
    return asError([&] { return def.handler(self, args); });
}

// The kinds a request may be served by, in order: script does not distinguish a method from a
// property get, and a put of an object may go to a put-by-reference.
std::initializer_list<MemberKind> kindsFor(MemberKind kind) {
    static const std::initializer_list<MemberKind> method{MemberKind::Method, MemberKind::PropertyGet};
    static const std::initializer_list<MemberKind> getter{MemberKind::PropertyGet, MemberKind::Method};
    static const std::initializer_list<MemberKind> put{MemberKind::PropertyPut, MemberKind::PropertyPutRef};
    static const std::initializer_list<MemberKind> putRef{MemberKind::PropertyPutRef, MemberKind::PropertyPut};
    switch (kind) {
        case MemberKind::Method: return method;
        case MemberKind::PropertyGet: return getter;
        case MemberKind::PropertyPut: return put;
        case MemberKind::PropertyPutRef: return putRef;
    }
    return method;
}

}  // namespace

const Variant& Args::operator[](size_t index) const {
    static const Variant kMissing = Variant::missing();
    return index < m_slots->size() ? (*m_slots)[index] : kMissing;
}

Variant& Args::ref(size_t index) {
    if (index >= m_slots->size()) m_slots->resize(index + 1, Variant::missing());
    return (*m_slots)[index];
}

bool Args::has(size_t index) const { return index < m_slots->size() && !(*m_slots)[index].isMissing(); }

Variant Args::valueOr(size_t index, Variant fallback) const { return has(index) ? (*m_slots)[index] : fallback; }

uint64_t TypeInfo::nameHash(std::string_view name) noexcept {
    // FNV-1a over the ASCII-folded bytes: names are found without regard to case.
    uint64_t h = 1469598103934665603ull;
    for (char c : name) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    return h;
}

uint64_t TypeInfo::idHash(DispId id) noexcept {
    // Fibonacci hashing spreads the small, often consecutive ids over the table.
    return static_cast<uint64_t>(static_cast<uint32_t>(id)) * 11400714819323198485ull;
}

void TypeInfo::insert(std::vector<Slot>& slots, uint64_t hash, uint32_t member) const {
    const size_t mask = slots.size() - 1;
    size_t i = hash & mask;
    while (slots[i].member != kNoMember) i = (i + 1) & mask;
    slots[i] = Slot{hash, member, m_members[member].kind};
}

void TypeInfo::rebuildIndexes() {
    size_t size = 8;
    while (size < m_members.size() * 2) size *= 2;
    m_byName.assign(size, Slot{});
    m_byId.assign(size, Slot{});
    for (uint32_t i = 0; i < m_members.size(); ++i) {
        insert(m_byName, nameHash(m_members[i].name), i);
        insert(m_byId, idHash(m_members[i].id), i);
    }
}

TypeInfo& TypeInfo::add(MemberDef def) {
    m_members.push_back(std::move(def));
    // Kept at most half full, so probe sequences stay short.
    if (m_members.size() * 2 > m_byName.size()) {
        rebuildIndexes();
    } else {
        const auto index = static_cast<uint32_t>(m_members.size() - 1);
        insert(m_byName, nameHash(m_members.back().name), index);
        insert(m_byId, idHash(m_members.back().id), index);
    }
    return *this;
}

template <class Matches>
const MemberDef* TypeInfo::probe(const std::vector<Slot>& slots, uint64_t hash, std::optional<MemberKind> kind,
                                 Matches&& matches) const {
    if (slots.empty()) return nullptr;
    const size_t mask = slots.size() - 1;
    for (size_t i = hash & mask; slots[i].member != kNoMember; i = (i + 1) & mask) {
        const Slot& slot = slots[i];
        if (slot.hash == hash && (!kind || slot.kind == *kind) && matches(m_members[slot.member]))
            return &m_members[slot.member];
    }
    return nullptr;
}

const MemberDef* TypeInfo::find(std::string_view name, MemberKind kind) const {
    return probe(m_byName, nameHash(name), kind, [&](const MemberDef& m) { return sameName(m.name, name); });
}

const MemberDef* TypeInfo::find(DispId id, MemberKind kind) const {
    return probe(m_byId, idHash(id), kind, [&](const MemberDef& m) { return m.id == id; });
}

const MemberDef* TypeInfo::findAny(std::string_view name) const {
    return probe(m_byName, nameHash(name), std::nullopt, [&](const MemberDef& m) { return sameName(m.name, name); });
}

Dispatch::Dispatch() { ++g_liveDispatches; }
Dispatch::~Dispatch() { --g_liveDispatches; }
int64_t Dispatch::liveCount() { return g_liveDispatches.load(); }

std::optional<std::vector<Variant>> Dispatch::elements() {
    const TypeInfo& info = typeInfo();
    if (!info.findAny("Count") || !info.findAny("Item")) return std::nullopt;
    Object self(shared_from_this());
    std::vector<Variant> out;
    int32_t n = self.count();
    out.reserve(static_cast<size_t>(n));
    for (int32_t i = 1; i <= n; ++i) out.push_back(self.get("Item", i));
    return out;
}

Variant Object::invoke(std::string_view member, MemberKind kind, std::vector<Variant>& positional,
                       const std::vector<Named>& named) const {
    if (!m_dispatch) throw Error(RuntimeError::ObjectNotSet);
    const TypeInfo& info = m_dispatch->typeInfo();
    for (MemberKind candidate : kindsFor(kind)) {
        const MemberDef* def = info.find(member, candidate);
        if (!def) def = m_dispatch->findDynamic(member, candidate);
        if (!def) continue;
        if (!named.empty()) placeNamed(*def, positional, named);
        return run(*m_dispatch, *def, positional);
    }
    throw Error(RuntimeError::ObjectDoesNotSupport);
}

Variant Object::invoke(DispId id, MemberKind kind, std::vector<Variant>& positional) const {
    if (!m_dispatch) throw Error(RuntimeError::ObjectNotSet);
    for (MemberKind candidate : kindsFor(kind))
        if (const MemberDef* def = m_dispatch->typeInfo().find(id, candidate)) return run(*m_dispatch, *def, positional);
    throw Error(RuntimeError::ObjectDoesNotSupport);
}

void Object::put(std::string_view member, Variant value) const {
    std::vector<Variant> slots{std::move(value)};
    invoke(member, MemberKind::PropertyPut, slots);
}

void Object::putRef(std::string_view member, Object value) const {
    std::vector<Variant> slots{Variant(std::move(value))};
    invoke(member, MemberKind::PropertyPutRef, slots);
}

int32_t Object::count() const { return get("Count").toI4(); }

Object Object::item(const Variant& index) const { return get("Item", index).toObject(); }

std::vector<Variant> Object::elements() const {
    if (!m_dispatch) throw Error(RuntimeError::ObjectNotSet);
    auto items = m_dispatch->elements();
    if (!items) throw Error(RuntimeError::ObjectDoesNotSupport);
    return std::move(*items);
}

DispId Object::idOf(std::string_view member) const {
    if (!m_dispatch) return kDispIdUnknown;
    const MemberDef* def = m_dispatch->typeInfo().findAny(member);
    return def ? def->id : kDispIdUnknown;
}

const TypeInfo& Object::typeInfo() const {
    if (!m_dispatch) throw Error(RuntimeError::ObjectNotSet);
    return m_dispatch->typeInfo();
}

Variant plainValue(const Variant& value) {
    // A default member may itself answer an object (a field's code is a range): a few steps on
    // reach the data, and an object whose default is itself cannot loop.
    constexpr int kMostSteps = 8;
    Variant current = value;
    for (int step = 0; step < kMostSteps && current.isObject(); ++step) current = current.toObject().value();
    if (current.isObject()) throw Error(RuntimeError::TypeMismatch);
    return current;
}

}  // namespace lumora
