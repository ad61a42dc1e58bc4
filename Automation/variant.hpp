#pragma once
// Variant: the value type of every late-bound call, with the automation coercion rules
// (CStr, CBool, CInt, CLng, CDbl, CDate) that script callers rely on.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace lumora {

class Object;
class Dispatch;
class Variant;

enum class VarType : uint8_t { Empty, Null, Missing, Bool, I2, I4, R8, Date, String, Object, Array };

// An OLE automation date: days since 1899-12-30, the fraction being the time of day. Civil local time.
struct Date {
    double days = 0;
    friend bool operator==(const Date&, const Date&) = default;
};

// A one-dimensional automation array with its lower bound. Arrays of arrays serve where a
// two-dimensional table is needed.
struct Array {
    int32_t lowerBound = 0;
    std::vector<Variant> items;

    int32_t upperBound() const;
    // Element by its script index (lowerBound-based); error 9 outside the bounds.
    Variant& at(int32_t index);
    const Variant& at(int32_t index) const;
};

class Variant {
public:
    Variant();  // Empty
    Variant(bool value);
    Variant(int16_t value);
    Variant(int32_t value);
    Variant(double value);
    Variant(Date value);
    Variant(std::string value);
    Variant(std::string_view value);
    Variant(const char* value);
    Variant(Object value);
    Variant(Array value);
    // Guards against the pointer-to-bool conversion picking the wrong constructor.
    Variant(std::nullptr_t) = delete;

    static Variant null();
    static Variant missing();

    VarType type() const;
    bool isEmpty() const { return type() == VarType::Empty; }
    bool isNull() const { return type() == VarType::Null; }
    bool isMissing() const { return type() == VarType::Missing; }
    bool isString() const { return type() == VarType::String; }
    bool isObject() const { return type() == VarType::Object; }
    bool isArray() const { return type() == VarType::Array; }
    bool isNumeric() const;
    // Missing or Empty: the caller gave nothing.
    bool isAbsent() const { return isMissing() || isEmpty(); }

    // Coercions with automation semantics. Failures throw Error: 13 type mismatch,
    // 94 invalid use of Null, 6 overflow.
    std::string toString() const;    // CStr; Empty -> ""; Bool -> "True"/"False"
    bool toBool() const;             // CBool; strings "True"/"False" or numbers
    int16_t toI2() const;            // CInt; banker's rounding of fractions
    int32_t toI4() const;            // CLng
    double toR8() const;             // CDbl
    Date toDate() const;             // CDate
    Object toObject() const;         // 13 unless an object (Nothing included)
    const Array& array() const;      // 13 unless an array
    Array& array();

    // Direct access without coercion (13 on the wrong type).
    const std::string& str() const;

    // The name of the type as TypeName() reports it: "String", "Integer", "Object", ...
    std::string typeName() const;

    friend bool operator==(const Variant& a, const Variant& b);

private:
    struct EmptyTag { bool operator==(const EmptyTag&) const = default; };
    struct NullTag { bool operator==(const NullTag&) const = default; };
    struct MissingTag { bool operator==(const MissingTag&) const = default; };
    using Storage = std::variant<EmptyTag, NullTag, MissingTag, bool, int16_t, int32_t, double, Date,
                                 std::string, std::shared_ptr<Dispatch>, std::shared_ptr<Array>>;
    friend class Object;
    explicit Variant(Storage storage);
    Storage m_value;
};

// Defined here, where Variant is complete: clang instantiates the vector's size() at once.
inline int32_t Array::upperBound() const { return lowerBound + static_cast<int32_t>(items.size()) - 1; }

// Text form of a number as CStr gives it: integers plainly, doubles with up to 15 significant digits.
std::string formatNumber(double value);

}  // namespace lumora
