#pragma once
// The one JSON encoding of automation values that the CLI, the bridge and lumora.js share:
//   string -> "text"            Bool -> true/false          I4 -> 12      R8 -> 1.5
//   I2 -> {"$i2": n}            Empty -> {"$empty": true}   Null -> null  Missing -> {"$missing": true}
//   Date -> {"$date": "yyyy-MM-ddTHH:mm:ss"}
//   array -> [ … ], or {"$array": [ … ], "$lbound": n} when it does not start at 0
//   object -> {"$object": id} (Nothing: {"$object": null}); to a holder that may not have a
//             handle to it: {"$xml": "<…>"} / {"$html": "<…>"} for a document it passed in, else
//             {"$class": "ClassName"}, which no call accepts back
// Accepted on the way in as well: {"$i4": n}, {"$r8": n} ("NaN", "Infinity", "-Infinity" as
// texts), and {"$xml": "<…>"} / {"$html": "<…>"}, which become new documents of the XML and
// HTML stand-ins. Anything else shaped like an object is a type mismatch (13).

#include <cstdint>
#include <functional>
#include <optional>
#include <nlohmann/json.hpp>
#include <string_view>

#include "Automation/object.hpp"

namespace lumora::host {

using ObjectId = int64_t;

enum class DocumentForm { Xml, Html };

// How objects cross the encoding: the owner of the ids (a session) turns objects into ids and
// back. objectOf raises 91 for an id it does not know. The two optional hooks let the owner
// keep handles from a holder that must not have them: asValue gives the value an object is
// encoded as instead of {"$object": id} (nullopt: a handle after all), and documentMade hears
// of every document that {"$xml": …} or {"$html": …} made.
struct ObjectBinding {
    std::function<ObjectId(const Object&)> idOf;
    std::function<Object(ObjectId)> objectOf;
    std::function<std::optional<nlohmann::json>(const Object&)> asValue;
    std::function<void(const Object&, DocumentForm)> documentMade;
};

nlohmann::json encodeValue(const Variant& value, const ObjectBinding& objects);
Variant decodeValue(const nlohmann::json& value, const ObjectBinding& objects);

// The date of a "$date" text: "yyyy-MM-ddTHH:mm:ss", also without seconds or without the time.
std::optional<Date> parseEncodedDate(std::string_view text);

// Parses JSON text from outside (a script file, a command-line argument, a bridge message),
// refusing nesting deeper than the encoding allows plus `extraLevels` of envelope around the
// values. Throws Error: 5 for too deep, and for text that is not JSON (with the parser's reason).
nlohmann::json parseJsonLimited(std::string_view text, int extraLevels = 8);

}  // namespace lumora::host
