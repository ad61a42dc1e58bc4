#include "value_encoding.hpp"

#include <cmath>
#include <limits>
#include <string>

#include "Automation/class_ids.hpp"
#include "Automation/registry.hpp"
#include "Automation/traps.hpp"
#include "Automation/vb/convert.hpp"
#include "Automation/vb/utf8.hpp"
#include "host_errors.hpp"

namespace lumora::host {

namespace {

using nlohmann::json;

constexpr const char* kDatePattern = "yyyy-MM-ddTHH:mm:ss";

[[noreturn]] void typeMismatch() { raise(RuntimeError::TypeMismatch); }

void checkDepth(int depth) {
    if (depth > kMaxValueDepth) raise(HostError::ValueNestedTooDeep);
}

void checkLength(size_t length) {
    if (length > kMaxArrayLength) raise(HostError::ArrayTooLarge);
}

// ---- encoding -------------------------------------------------------------------------------

json encodeAt(const Variant& value, const ObjectBinding& objects, int depth);

json encodeDouble(double value) {
    if (std::isfinite(value)) return value;
    if (std::isnan(value)) return {{"$r8", "NaN"}};
    return {{"$r8", value > 0 ? "Infinity" : "-Infinity"}};
}

json encodeArray(const Array& array, const ObjectBinding& objects, int depth) {
    checkDepth(depth + 1);
    checkLength(array.items.size());
    json items = json::array();
    for (const Variant& item : array.items) items.push_back(encodeAt(item, objects, depth + 1));
    if (array.lowerBound == 0) return items;
    return {{"$array", std::move(items)}, {"$lbound", array.lowerBound}};
}

json encodeAt(const Variant& value, const ObjectBinding& objects, int depth) {
    switch (value.type()) {
        case VarType::Empty: return {{"$empty", true}};
        case VarType::Null: return nullptr;
        case VarType::Missing: return {{"$missing", true}};
        case VarType::Bool: return value.toBool();
        case VarType::I2: return {{"$i2", value.toI2()}};
        case VarType::I4: return value.toI4();
        case VarType::R8: return encodeDouble(value.toR8());
        case VarType::Date: return {{"$date", vb::formatDate(value.toDate(), kDatePattern)}};
        case VarType::String: return vb::utf8::wellFormed(value.str());
        case VarType::Object: {
            Object object = value.toObject();
            if (object.isNothing()) return {{"$object", nullptr}};
            if (objects.asValue)
                if (auto substitute = objects.asValue(object)) return std::move(*substitute);
            return {{"$object", objects.idOf(object)}};
        }
        case VarType::Array: return encodeArray(value.array(), objects, depth);
    }
    typeMismatch();
}

// ---- decoding -------------------------------------------------------------------------------

Variant decodeAt(const json& value, const ObjectBinding& objects, int depth);

Variant numberVariant(const json& number) {
    if (number.is_number_integer()) {
        // Integers within the 32-bit range are Longs; larger ones only fit a Double.
        if (number.is_number_unsigned()) {
            auto n = number.get<uint64_t>();
            if (n <= static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) return static_cast<int32_t>(n);
            return static_cast<double>(n);
        }
        auto n = number.get<int64_t>();
        if (n >= std::numeric_limits<int32_t>::min() && n <= std::numeric_limits<int32_t>::max())
            return static_cast<int32_t>(n);
        return static_cast<double>(n);
    }
    return number.get<double>();
}

double decodeDouble(const json& value) {
    if (value.is_number()) return value.get<double>();
    if (value == "NaN") return std::numeric_limits<double>::quiet_NaN();
    if (value == "Infinity") return std::numeric_limits<double>::infinity();
    if (value == "-Infinity") return -std::numeric_limits<double>::infinity();
    typeMismatch();
}

Date decodeDate(const json& value) {
    if (!value.is_string()) typeMismatch();
    const auto& text = value.get_ref<const std::string&>();
    auto date = parseEncodedDate(text);
    if (!date) raise(HostError::BadDateText, text);
    return *date;
}

Variant decodeArray(const json& items, const json* lowerBound, const ObjectBinding& objects, int depth) {
    checkDepth(depth + 1);
    checkLength(items.size());
    Array array;
    if (lowerBound) {
        if (!lowerBound->is_number_integer()) typeMismatch();
        // The upper bound must stay a Long as well.
        auto lb = lowerBound->get<int64_t>();
        auto ub = lb + static_cast<int64_t>(items.size()) - 1;
        if (lb < std::numeric_limits<int32_t>::min() || ub > std::numeric_limits<int32_t>::max())
            raise(RuntimeError::Overflow);
        array.lowerBound = static_cast<int32_t>(lb);
    }
    array.items.reserve(items.size());
    for (const json& item : items) array.items.push_back(decodeAt(item, objects, depth + 1));
    return array;
}

Variant decodeXml(const json& text, const ObjectBinding& objects) {
    if (!text.is_string()) typeMismatch();
    Object document = Registry::instance().createObject(progid::XmlDocument);
    if (document.call("loadXML", text.get<std::string>()).toBool()) {
        if (objects.documentMade) objects.documentMade(document, DocumentForm::Xml);
        return document;
    }
    // The parser's reason tells the caller what is wrong with the text.
    std::string reason;
    tryLocal([&] { reason = document.get("parseError").toObject().get("reason").toString(); });
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' ')) reason.pop_back();
    raise(HostError::XmlNotLoaded, reason);
}

Variant decodeHtml(const json& text, const ObjectBinding& objects) {
    if (!text.is_string()) typeMismatch();
    Object document = Registry::instance().createObject(progid::HtmlDocument);
    document.call("write", text.get<std::string>());
    if (objects.documentMade) objects.documentMade(document, DocumentForm::Html);
    return document;
}

Variant decodeObjectRef(const json& id, const ObjectBinding& objects) {
    if (id.is_null()) return Object();
    if (!id.is_number_integer()) typeMismatch();
    return objects.objectOf(id.get<ObjectId>());
}

// {"$…": …} forms. Every form has exactly its own keys; anything else is a type mismatch.
Variant decodeTagged(const json& value, const ObjectBinding& objects, int depth) {
    if (value.size() == 2 && value.contains("$array") && value.contains("$lbound")) {
        if (!value["$array"].is_array()) typeMismatch();
        return decodeArray(value["$array"], &value["$lbound"], objects, depth);
    }
    if (value.size() != 1) typeMismatch();
    auto only = value.begin();
    const std::string& key = only.key();
    const json& inner = only.value();
    if (key == "$i2") {
        if (!inner.is_number()) typeMismatch();
        return numberVariant(inner).toI2();
    }
    if (key == "$i4") {
        if (!inner.is_number()) typeMismatch();
        return numberVariant(inner).toI4();
    }
    if (key == "$r8") return decodeDouble(inner);
    if (key == "$empty" && inner == true) return Variant();
    if (key == "$missing" && inner == true) return Variant::missing();
    if (key == "$date") return decodeDate(inner);
    if (key == "$array" && inner.is_array()) return decodeArray(inner, nullptr, objects, depth);
    if (key == "$object") return decodeObjectRef(inner, objects);
    if (key == "$xml") return decodeXml(inner, objects);
    if (key == "$html") return decodeHtml(inner, objects);
    typeMismatch();
}

Variant decodeAt(const json& value, const ObjectBinding& objects, int depth) {
    switch (value.type()) {
        case json::value_t::null: return Variant::null();
        case json::value_t::boolean: return value.get<bool>();
        case json::value_t::number_integer:
        case json::value_t::number_unsigned:
        case json::value_t::number_float: return numberVariant(value);
        case json::value_t::string: return value.get<std::string>();
        case json::value_t::array: return decodeArray(value, nullptr, objects, depth);
        case json::value_t::object: return decodeTagged(value, objects, depth);
        default: typeMismatch();
    }
}

}  // namespace

json encodeValue(const Variant& value, const ObjectBinding& objects) { return encodeAt(value, objects, 0); }

Variant decodeValue(const json& value, const ObjectBinding& objects) { return decodeAt(value, objects, 0); }

std::optional<Date> parseEncodedDate(std::string_view text) {
    // Only the ISO order belongs to the encoding; the other orders CDate reads are ambiguous.
    bool isoShape = text.size() >= 10 && text[4] == '-' && text.find(' ') == std::string_view::npos;
    return isoShape ? vb::parseDate(text) : std::nullopt;
}

json parseJsonLimited(std::string_view text, int extraLevels) {
    const int limit = kMaxValueDepth + extraLevels;
    json::parser_callback_t guard = [limit](int depth, json::parse_event_t, json&) {
        if (depth > limit) raise(HostError::ValueNestedTooDeep);
        return true;
    };
    try {
        return json::parse(text.begin(), text.end(), guard);
    } catch (const json::exception& e) {
        throw Error(static_cast<int32_t>(RuntimeError::InvalidProcedureCall), e.what());
    }
}

}  // namespace lumora::host
