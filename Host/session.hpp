#pragma once
// A session: one caller's objects, kept by id, and calls on them by member name with values in
// the shared JSON encoding. The CLI drives one session; the bridge gives each page its own,
// running on that page's worker thread with the page's Desktop.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "Automation/object.hpp"
#include "Automation/error.hpp"
#include "value_encoding.hpp"

namespace lumora::host {

struct CallResult {
    nlohmann::json result;                 // the encoded return value
    std::vector<nlohmann::json> byref;     // final values of all positional arguments, encoded
};

// Which objects a session's caller may hold handles to. The CLI runs as the local user and
// holds any object; a page holds only objects of classes it has created itself, so a document
// or a file-system object a member hands back never becomes something the page can drive.
enum class HandleRule { AnyObject, CreatedClassesOnly };

class Session {
public:
    explicit Session(HandleRule rule = HandleRule::AnyObject);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // CreateObject by ProgID or class id; returns the new object's id. Errors: lumora::Error.
    ObjectId create(const std::string& progIdOrClsid);
    // Keeps an object the caller already holds (a result) under a new id.
    ObjectId keep(const Object& object);
    // The id an object is kept under, keeping it first when it is new: an object that crosses the
    // encoding twice (passed in, written back by reference, returned again) keeps one id.
    ObjectId idOf(const Object& object);
    Object object(ObjectId id) const;  // Error 91 when the id is unknown
    void release(ObjectId id);
    void releaseAll();
    size_t objectCount() const { return m_objects.size(); }

    // args: encoded values; named: {"name": value}. kind: method, get or put (put takes the value
    // as the last argument). Errors from the member are thrown as lumora::Error.
    CallResult call(ObjectId id, const std::string& member, MemberKind kind, const nlohmann::json& args,
                    const nlohmann::json& named = nlohmann::json::object());

    // The value encoding: Variant <-> JSON. Objects are kept in this session and encoded by id.
    nlohmann::json encode(const Variant& value);
    // {"$xml": text} and {"$html": text} become documents of the XML and HTML stand-ins.
    Variant decode(const nlohmann::json& value);

private:
    ObjectBinding binding();
    std::optional<nlohmann::json> withoutHandle(const Object& object) const;
    // "ProgID.Member" for an object the caller created, "ClassName.Member" for one handed back.
    std::string describeCall(ObjectId id, const std::string& member) const;

    HandleRule m_rule;
    std::set<const TypeInfo*> m_createdClasses;
    // The documents made from the caller's {"$xml"} / {"$html"} values during the running call.
    std::vector<std::pair<Object, DocumentForm>> m_passedDocuments;

    std::map<ObjectId, Object> m_objects;
    std::map<ObjectId, std::string> m_createdAs;  // the ProgID or class id each created object was asked for by
    std::map<const Dispatch*, ObjectId> m_idsByDispatch;
    ObjectId m_nextId = 1;
};

}  // namespace lumora::host
