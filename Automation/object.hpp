#pragma once
// Late-bound automation objects: a Dispatch implementation declares its members once in a
// TypeInfo table; callers reach them by name through Object, which reads like script:
//     Object doc = word.get("Documents").call("Add", tpl);
//     doc.call("SaveAs", Named{"FileName", path}, Named{"FileFormat", 8});

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "variant.hpp"

namespace lumora {

using DispId = int32_t;
inline constexpr DispId kDispIdValue = 0;       // the default member
inline constexpr DispId kDispIdNewEnum = -4;    // for-each enumerator
inline constexpr DispId kDispIdUnknown = -1;

enum class MemberKind : uint8_t { Method = 1, PropertyGet = 2, PropertyPut = 4, PropertyPutRef = 8 };

// A named argument of a call, e.g. Named{"FileFormat", 8}.
struct Named {
    std::string name;
    Variant value;
};

// Passes a caller's variable by reference: the callee's changes are written back.
struct ByRef {
    Variant& target;
};

class Dispatch;

// The arguments of one call, positional after named arguments were placed. Every slot is by
// reference: a member may change it and the caller sees the change. Slots the caller left out
// hold Missing.
class Args {
public:
    explicit Args(std::vector<Variant>& slots) : m_slots(&slots) {}

    size_t size() const { return m_slots->size(); }
    // The slot, Missing beyond what the caller passed.
    const Variant& operator[](size_t index) const;
    // The slot for writing back; grows the list so a by-ref result always has a place.
    Variant& ref(size_t index);
    // True when the caller passed a value (not Missing) at index.
    bool has(size_t index) const;
    // The slot's value, or fallback when the caller left it out.
    Variant valueOr(size_t index, Variant fallback) const;

private:
    std::vector<Variant>* m_slots;
};

using MemberHandler = std::function<Variant(Dispatch& self, Args& args)>;

struct MemberDef {
    std::string name;
    DispId id = kDispIdUnknown;
    MemberKind kind = MemberKind::Method;
    std::vector<std::string> params;  // parameter names, for named arguments
    size_t required = 0;              // leading parameters that must be given
    bool variadic = false;            // accepts more arguments than it names
    MemberHandler handler;
};

// The member table of one class. Lookups by name ignore case and are hashed once, so a
// late-bound call costs one map lookup.
class TypeInfo {
public:
    explicit TypeInfo(std::string className) : m_className(std::move(className)) {}

    TypeInfo& add(MemberDef def);

    // Typed helpers: the handler receives the concrete class, so no table casts by hand. The
    // handler is kept as it is given (no second std::function), so a call pays one indirection.
    template <class T, class F>
    TypeInfo& method(std::string name, DispId id, std::vector<std::string> params, size_t required, F fn) {
        return add(member<T>(std::move(name), id, MemberKind::Method, std::move(params), required, std::move(fn)));
    }
    // A method that takes any number of arguments after its named ones (a parameter array).
    template <class T, class F>
    TypeInfo& variadic(std::string name, DispId id, std::vector<std::string> params, size_t required, F fn) {
        MemberDef def = member<T>(std::move(name), id, MemberKind::Method, std::move(params), required, std::move(fn));
        def.variadic = true;
        return add(std::move(def));
    }
    template <class T, class F>
    TypeInfo& getter(std::string name, DispId id, F fn) {
        return add(member<T>(std::move(name), id, MemberKind::PropertyGet, {}, 0,
                             [fn = std::move(fn)](T& self, Args&) -> Variant { return fn(self); }));
    }
    // A property read with arguments, such as Item(index).
    template <class T, class F>
    TypeInfo& indexedGetter(std::string name, DispId id, std::vector<std::string> params, size_t required, F fn) {
        return add(member<T>(std::move(name), id, MemberKind::PropertyGet, std::move(params), required, std::move(fn)));
    }
    // The default member (dispatch id 0) that coll(key) reaches, as a property or as a method.
    template <class T, class F>
    TypeInfo& defaultGetter(std::string name, std::vector<std::string> params, size_t required, F fn) {
        return indexedGetter<T>(std::move(name), kDispIdValue, std::move(params), required, std::move(fn));
    }
    template <class T, class F>
    TypeInfo& defaultMethod(std::string name, std::vector<std::string> params, size_t required, F fn) {
        return method<T>(std::move(name), kDispIdValue, std::move(params), required, std::move(fn));
    }
    // Assignment through the default member with an index, coll(key) = value: the value is the
    // last argument, after the index parameters named in params.
    template <class T, class F>
    TypeInfo& defaultSetter(std::vector<std::string> params, size_t required, F fn, std::string name = "Value") {
        return add(member<T>(std::move(name), kDispIdValue, MemberKind::PropertyPut, std::move(params), required,
                             std::move(fn)));
    }
    template <class T, class F>
    TypeInfo& setter(std::string name, DispId id, F fn) {
        return add(putMember<T>(std::move(name), id, MemberKind::PropertyPut, std::move(fn)));
    }
    // Put-by-reference (Set x.member = object).
    template <class T, class F>
    TypeInfo& setterRef(std::string name, DispId id, F fn) {
        return add(putMember<T>(std::move(name), id, MemberKind::PropertyPutRef, std::move(fn)));
    }

    // The MemberDef behind the helpers, for tables that build their own.
    template <class T, class F>
    static MemberDef member(std::string name, DispId id, MemberKind kind, std::vector<std::string> params,
                            size_t required, F fn) {
        return MemberDef{std::move(name), id, kind, std::move(params), required, false,
                         [fn = std::move(fn)](Dispatch& d, Args& a) -> Variant { return fn(static_cast<T&>(d), a); }};
    }

    const std::string& className() const { return m_className; }
    const MemberDef* find(std::string_view name, MemberKind kind) const;
    const MemberDef* find(DispId id, MemberKind kind) const;
    // Any member of that name, whatever its kind (for listing and name -> id).
    const MemberDef* findAny(std::string_view name) const;
    const std::vector<MemberDef>& members() const { return m_members; }

private:
    // A put receives the assigned value as its last argument, after any index.
    template <class T, class F>
    static MemberDef putMember(std::string name, DispId id, MemberKind kind, F fn) {
        return member<T>(std::move(name), id, kind, {"value"}, 1, [fn = std::move(fn)](T& self, Args& a) -> Variant {
            fn(self, a[a.size() - 1]);
            return Variant();
        });
    }

    std::string m_className;
    std::vector<MemberDef> m_members;
    // Members by name (folded to lower case) and by dispatch id, in open-addressed tables of a
    // power-of-two size: a late-bound call finds its member with one hash and a probe or two,
    // without a division or a node per entry. Each slot holds the key's hash and a member's
    // index; members sharing a name or an id (a get and a put) sit in one probe sequence, in the
    // order they were added.
    struct Slot {
        uint64_t hash = 0;
        uint32_t member = kNoMember;
        MemberKind kind = MemberKind::Method;  // checked before the member itself is read
    };
    static constexpr uint32_t kNoMember = UINT32_MAX;
    static uint64_t nameHash(std::string_view name) noexcept;
    static uint64_t idHash(DispId id) noexcept;
    void rebuildIndexes();
    void insert(std::vector<Slot>& slots, uint64_t hash, uint32_t member) const;
    template <class Matches>
    const MemberDef* probe(const std::vector<Slot>& slots, uint64_t hash, std::optional<MemberKind> kind,
                           Matches&& matches) const;

    std::vector<Slot> m_byName;
    std::vector<Slot> m_byId;
};

// Base of every automation object. Objects live on the thread that created them.
class Dispatch : public std::enable_shared_from_this<Dispatch> {
public:
    virtual ~Dispatch();
    virtual const TypeInfo& typeInfo() const = 0;

    // Members found at run time rather than in the table (HTML elements, expando names).
    virtual const MemberDef* findDynamic(std::string_view name, MemberKind kind) { return nullptr; }
    // The elements a for-each walks; nullopt when the object is not a collection. The default
    // walks Count and Item(1..Count).
    virtual std::optional<std::vector<Variant>> elements();
    // Live objects of all classes, for DllCanUnloadNow and leak checks.
    static int64_t liveCount();

protected:
    Dispatch();
    Dispatch(const Dispatch&) = delete;
    Dispatch& operator=(const Dispatch&) = delete;
};

// A reference to an automation object, or Nothing.
class Object {
public:
    Object() = default;
    Object(std::shared_ptr<Dispatch> dispatch) : m_dispatch(std::move(dispatch)) {}

    bool isNothing() const { return !m_dispatch; }
    explicit operator bool() const { return !isNothing(); }
    Dispatch* dispatch() const { return m_dispatch.get(); }
    const std::shared_ptr<Dispatch>& shared() const { return m_dispatch; }
    void release() { m_dispatch.reset(); }
    bool sameAs(const Object& other) const { return m_dispatch == other.m_dispatch; }

    // The concrete object behind the reference, or nullptr when it is of another class.
    template <class T>
    T* as() const { return dynamic_cast<T*>(m_dispatch.get()); }

    // Late-bound calls. Arguments are values, Named{…} or ByRef{variable}.
    template <class... A>
    Variant call(std::string_view member, A&&... args) const {
        return invokeWith(member, MemberKind::Method, std::forward<A>(args)...);
    }
    template <class... A>
    Variant get(std::string_view member, A&&... args) const {
        return invokeWith(member, MemberKind::PropertyGet, std::forward<A>(args)...);
    }
    template <class... A>
    Object getObject(std::string_view member, A&&... args) const {
        return get(member, std::forward<A>(args)...).toObject();
    }
    void put(std::string_view member, Variant value) const;
    template <class... A>
    void putIndexed(std::string_view member, Variant value, A&&... index) const {
        invokeWith(member, MemberKind::PropertyPut, std::forward<A>(index)..., std::move(value));
    }
    void putRef(std::string_view member, Object value) const;

    // The general form: slots are by reference and receive the callee's changes. Method calls
    // also reach property getters (script makes no difference), and a get reaches a method.
    Variant invoke(std::string_view member, MemberKind kind, std::vector<Variant>& positional,
                   const std::vector<Named>& named = {}) const;
    Variant invoke(DispId id, MemberKind kind, std::vector<Variant>& positional) const;

    // The default member (dispatch id 0), e.g. coll("ACID") or coll("ACID") = value.
    template <class... A>
    Variant value(A&&... args) const {
        std::vector<Variant> slots{Variant(std::forward<A>(args))...};
        return invoke(kDispIdValue, MemberKind::PropertyGet, slots);
    }

    // Assigns through the default member, e.g. props("ACID") = value.
    template <class... A>
    void putValue(Variant value, A&&... index) const {
        std::vector<Variant> slots{Variant(std::forward<A>(index))..., std::move(value)};
        invoke(kDispIdValue, MemberKind::PropertyPut, slots);
    }

    // Collection helpers: Count, Item(i) and for-each.
    int32_t count() const;
    Object item(const Variant& index) const;
    std::vector<Variant> elements() const;

    // Name -> dispatch id, as GetIDsOfNames; kDispIdUnknown when the member does not exist.
    DispId idOf(std::string_view member) const;
    const TypeInfo& typeInfo() const;

private:
    template <class... A>
    Variant invokeWith(std::string_view member, MemberKind kind, A&&... args) const {
        std::vector<Variant> positional;
        std::vector<Named> named;
        std::vector<std::pair<size_t, Variant*>> refs;
        positional.reserve(sizeof...(A));
        (collect(positional, named, refs, std::forward<A>(args)), ...);
        Variant result = invoke(member, kind, positional, named);
        for (auto& [index, target] : refs) *target = positional[index];
        return result;
    }
    template <class V>
    static void collect(std::vector<Variant>& p, std::vector<Named>& n, std::vector<std::pair<size_t, Variant*>>& r,
                        V&& v) {
        using D = std::decay_t<V>;
        if constexpr (std::is_same_v<D, Named>) {
            n.push_back(std::forward<V>(v));
        } else if constexpr (std::is_same_v<D, ByRef>) {
            r.emplace_back(p.size(), &v.target);
            p.push_back(v.target);
        } else {
            p.emplace_back(std::forward<V>(v));
        }
    }

    std::shared_ptr<Dispatch> m_dispatch;
};

// A value as script reads it where plain data is wanted: an object stands for its default
// member's value (a range for its text, a field for its code); anything else for itself.
// Errors: ObjectDoesNotSupport for an object without a default member.
Variant plainValue(const Variant& value);

// Creates a Dispatch-derived object and returns it as an Object.
template <class T, class... A>
Object makeObject(A&&... args) {
    return Object(std::make_shared<T>(std::forward<A>(args)...));
}

}  // namespace lumora
