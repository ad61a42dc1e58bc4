#include "variant.hpp"

#include <cmath>
#include <cstdio>
#include <limits>

#include "error.hpp"
#include "object.hpp"
#include "vb/convert.hpp"

namespace lumora {

Variant& Array::at(int32_t index) {
    if (index < lowerBound || index > upperBound()) raise(RuntimeError::SubscriptOutOfRange);
    return items[static_cast<size_t>(index - lowerBound)];
}

const Variant& Array::at(int32_t index) const { return const_cast<Array*>(this)->at(index); }

Variant::Variant() : m_value(EmptyTag{}) {}
Variant::Variant(bool value) : m_value(value) {}
Variant::Variant(int16_t value) : m_value(value) {}
Variant::Variant(int32_t value) : m_value(value) {}
Variant::Variant(double value) : m_value(value) {}
Variant::Variant(Date value) : m_value(value) {}
Variant::Variant(std::string value) : m_value(std::move(value)) {}
Variant::Variant(std::string_view value) : m_value(std::string(value)) {}
Variant::Variant(const char* value) : m_value(std::string(value)) {}
Variant::Variant(Object value) : m_value(value.shared()) {}
Variant::Variant(Array value) : m_value(std::make_shared<Array>(std::move(value))) {}
Variant::Variant(Storage storage) : m_value(std::move(storage)) {}

Variant Variant::null() { return Variant(Storage(NullTag{})); }
Variant Variant::missing() { return Variant(Storage(MissingTag{})); }

VarType Variant::type() const { return static_cast<VarType>(m_value.index()); }

bool Variant::isNumeric() const {
    switch (type()) {
        case VarType::Bool:
        case VarType::I2:
        case VarType::I4:
        case VarType::R8: return true;
        default: return false;
    }
}

namespace {

// A number becomes a date only within the date range; beyond it script reports an overflow.
Date checkedDate(double days) {
    if (!vb::isInDateRange(days)) raise(RuntimeError::Overflow);
    return Date{days};
}

}  // namespace

std::string formatNumber(double value) {
    if (value == 0) return "0";  // negative zero prints as zero, as script does
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.0f", value);
        return buf;
    }
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15G", value);
    std::string text = buf;
    // Trim the trailing zeros that %G leaves in an exponent form's mantissa.
    auto e = text.find('E');
    std::string mantissa = text.substr(0, e), exponent = e == std::string::npos ? "" : text.substr(e);
    if (mantissa.find('.') != std::string::npos) {
        while (!mantissa.empty() && mantissa.back() == '0') mantissa.pop_back();
        if (!mantissa.empty() && mantissa.back() == '.') mantissa.pop_back();
    }
    return mantissa + exponent;
}

std::string Variant::toString() const {
    switch (type()) {
        case VarType::Empty: return {};
        case VarType::Null: raise(RuntimeError::InvalidUseOfNull);
        case VarType::Bool: return std::get<bool>(m_value) ? "True" : "False";
        case VarType::I2: return std::to_string(std::get<int16_t>(m_value));
        case VarType::I4: return std::to_string(std::get<int32_t>(m_value));
        case VarType::R8: return formatNumber(std::get<double>(m_value));
        case VarType::Date: return vb::defaultDateText(std::get<Date>(m_value));
        case VarType::String: return std::get<std::string>(m_value);
        default: raise(RuntimeError::TypeMismatch);
    }
}

double Variant::toR8() const {
    switch (type()) {
        case VarType::Empty: return 0;
        case VarType::Null: raise(RuntimeError::InvalidUseOfNull);
        case VarType::Bool: return std::get<bool>(m_value) ? -1 : 0;
        case VarType::I2: return std::get<int16_t>(m_value);
        case VarType::I4: return std::get<int32_t>(m_value);
        case VarType::R8: return std::get<double>(m_value);
        case VarType::Date: return std::get<Date>(m_value).days;
        case VarType::String: {
            const auto& s = std::get<std::string>(m_value);
            if (auto n = vb::parseNumber(s)) return *n;
            if (s == "True") return -1;
            if (s == "False") return 0;
            raise(RuntimeError::TypeMismatch);
        }
        default: raise(RuntimeError::TypeMismatch);
    }
}

bool Variant::toBool() const {
    if (type() == VarType::Bool) return std::get<bool>(m_value);
    if (type() == VarType::String) {
        const auto& s = std::get<std::string>(m_value);
        if (s.size() == 4 && (s[0] | 32) == 't' && (s[1] | 32) == 'r' && (s[2] | 32) == 'u' && (s[3] | 32) == 'e')
            return true;
        if (s.size() == 5 && (s[0] | 32) == 'f' && (s[1] | 32) == 'a' && (s[2] | 32) == 'l' && (s[3] | 32) == 's' &&
            (s[4] | 32) == 'e')
            return false;
    }
    return toR8() != 0;
}

int32_t Variant::toI4() const {
    if (type() == VarType::I4) return std::get<int32_t>(m_value);
    if (type() == VarType::I2) return std::get<int16_t>(m_value);
    double rounded = vb::bankersRound(toR8());
    if (!(rounded >= std::numeric_limits<int32_t>::min() && rounded <= std::numeric_limits<int32_t>::max()))
        raise(RuntimeError::Overflow);
    return static_cast<int32_t>(rounded);
}

int16_t Variant::toI2() const {
    if (type() == VarType::I2) return std::get<int16_t>(m_value);
    double rounded = vb::bankersRound(toR8());
    if (!(rounded >= std::numeric_limits<int16_t>::min() && rounded <= std::numeric_limits<int16_t>::max()))
        raise(RuntimeError::Overflow);
    return static_cast<int16_t>(rounded);
}

Date Variant::toDate() const {
    switch (type()) {
        case VarType::Date: return std::get<Date>(m_value);
        case VarType::Null: raise(RuntimeError::InvalidUseOfNull);
        case VarType::String: {
            if (auto d = vb::parseDate(std::get<std::string>(m_value))) return *d;
            if (auto n = vb::parseNumber(std::get<std::string>(m_value))) return checkedDate(*n);
            raise(RuntimeError::TypeMismatch);
        }
        default: return checkedDate(toR8());
    }
}

Object Variant::toObject() const {
    if (type() != VarType::Object) raise(RuntimeError::TypeMismatch);
    return Object(std::get<std::shared_ptr<Dispatch>>(m_value));
}

const Array& Variant::array() const {
    if (type() != VarType::Array) raise(RuntimeError::TypeMismatch);
    return *std::get<std::shared_ptr<Array>>(m_value);
}

Array& Variant::array() {
    if (type() != VarType::Array) raise(RuntimeError::TypeMismatch);
    auto& shared = std::get<std::shared_ptr<Array>>(m_value);
    // Arrays have value semantics in script: copy before the first write to a shared one.
    if (shared.use_count() > 1) shared = std::make_shared<Array>(*shared);
    return *shared;
}

const std::string& Variant::str() const {
    if (type() != VarType::String) raise(RuntimeError::TypeMismatch);
    return std::get<std::string>(m_value);
}

std::string Variant::typeName() const {
    switch (type()) {
        case VarType::Empty: return "Empty";
        case VarType::Null: return "Null";
        case VarType::Missing: return "Error";
        case VarType::Bool: return "Boolean";
        case VarType::I2: return "Integer";
        case VarType::I4: return "Long";
        case VarType::R8: return "Double";
        case VarType::Date: return "Date";
        case VarType::String: return "String";
        case VarType::Object: {
            auto& d = std::get<std::shared_ptr<Dispatch>>(m_value);
            return d ? d->typeInfo().className() : "Nothing";
        }
        case VarType::Array: return "Variant()";
    }
    return "Unknown";
}

bool operator==(const Variant& a, const Variant& b) {
    if (a.type() == VarType::Array && b.type() == VarType::Array) {
        const Array& x = a.array();
        const Array& y = b.array();
        return x.lowerBound == y.lowerBound && x.items == y.items;
    }
    return a.m_value == b.m_value;
}

}  // namespace lumora
