#pragma once
// Members declared the way the controls' interfaces declare them: typed parameters, optional
// parameters with their defaults, every parameter passed by reference. The caller's variants
// are converted to the declared types before the body runs, as the dispatch layer does, so a
// value that cannot be converted fails the call with "Type mismatch" (or "Overflow") before the
// member's own error trap is armed. Bodies read typed values and write by-reference results
// back through Params.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "error.hpp"
#include "object.hpp"

namespace lumora {

enum class ParamType : uint8_t { Variant, String, Bool, I2, I4, R8, Date, Object };

struct ParamSpec {
    std::string name;
    ParamType type = ParamType::Variant;
    bool optional = false;
    Variant defaultValue;  // taken by an optional parameter the caller leaves out
};

inline ParamSpec param(std::string name, ParamType type = ParamType::Variant) {
    return ParamSpec{std::move(name), type, false, Variant()};
}

// An optional parameter. Without an explicit default a typed parameter takes its type's empty
// value ("" or False or 0) and a Variant parameter stays Missing, as script declares them.
inline ParamSpec optionalParam(std::string name, ParamType type = ParamType::Variant,
                               std::optional<Variant> defaultValue = std::nullopt) {
    Variant value = Variant::missing();
    if (defaultValue) {
        value = std::move(*defaultValue);
    } else {
        switch (type) {
            case ParamType::String: value = Variant(""); break;
            case ParamType::Bool: value = Variant(false); break;
            case ParamType::I2: value = Variant(int16_t{0}); break;
            case ParamType::I4: value = Variant(int32_t{0}); break;
            case ParamType::R8: value = Variant(0.0); break;
            case ParamType::Date: value = Variant(Date{}); break;
            case ParamType::Object: value = Variant(Object()); break;
            case ParamType::Variant: break;
        }
    }
    return ParamSpec{std::move(name), type, true, std::move(value)};
}

// A value converted to a declared type as the dispatch layer converts arguments: every failed
// conversion is a type mismatch, except a number too large for its type (overflow).
Variant coerce(const Variant& value, ParamType type);

// The arguments of one call, converted to their declared types, with defaults in place.
class Params {
public:
    Params(Args& args, const std::vector<ParamSpec>& specs) : m_args(&args) {
        m_values.reserve(specs.size());
        for (size_t i = 0; i < specs.size(); ++i) {
            const Variant& given = args[i];
            if (given.isMissing() && specs[i].optional) {
                m_values.push_back(specs[i].defaultValue);
            } else {
                m_values.push_back(coerce(given, specs[i].type));
            }
        }
    }

    size_t size() const { return m_values.size(); }
    const Variant& operator[](size_t index) const { return m_values.at(index); }
    const std::string& str(size_t index) const { return m_values.at(index).str(); }
    bool boolean(size_t index) const { return m_values.at(index).toBool(); }
    int16_t i2(size_t index) const { return m_values.at(index).toI2(); }
    // True when the caller passed a value at index (not left out).
    bool given(size_t index) const { return m_args->has(index); }

    // A by-reference result: the body's own view and the caller's variable both change. A
    // parameter the caller left out has no variable to write to.
    void writeBack(size_t index, Variant value) {
        if (m_args->has(index)) m_args->ref(index) = value;
        m_values.at(index) = std::move(value);
    }

private:
    Args* m_args;
    std::vector<Variant> m_values;
};

template <class T>
using TypedBody = Variant (*)(T& self, Params& params);

// One member of an interface table: name, dispatch id, kind and typed parameters; the leading
// parameters that are not optional are required.
template <class T>
MemberDef typedMember(std::string name, DispId id, MemberKind kind, std::vector<ParamSpec> params,
                      TypedBody<T> body) {
    MemberDef def;
    def.name = std::move(name);
    def.id = id;
    def.kind = kind;
    for (const auto& p : params) def.params.push_back(p.name);
    while (def.required < params.size() && !params[def.required].optional) ++def.required;
    def.handler = [params = std::move(params), body](Dispatch& self, Args& args) {
        Params typed(args, params);
        return body(static_cast<T&>(self), typed);
    };
    return def;
}

}  // namespace lumora
