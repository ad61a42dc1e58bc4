#include "typed_members.hpp"

namespace lumora {

Variant coerce(const Variant& value, ParamType type) {
    try {
        switch (type) {
            case ParamType::Variant: return value;
            case ParamType::String: return Variant(value.toString());
            case ParamType::Bool: return Variant(value.toBool());
            case ParamType::I2: return Variant(value.toI2());
            case ParamType::I4: return Variant(value.toI4());
            case ParamType::R8: return Variant(value.toR8());
            case ParamType::Date: return Variant(value.toDate());
            case ParamType::Object: return Variant(value.toObject());
        }
    } catch (const Error& e) {
        if (e.number() == static_cast<int32_t>(RuntimeError::Overflow)) throw;
        throw Error(RuntimeError::TypeMismatch);
    }
    return value;
}

}  // namespace lumora
