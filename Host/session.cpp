#include "session.hpp"

#include "Automation/registry.hpp"
#include "Automation/top_level_call.hpp"
#include "host_errors.hpp"

namespace lumora::host {

Session::Session(HandleRule rule) : m_rule(rule) {}

Session::~Session() { releaseAll(); }

ObjectId Session::create(const std::string& progIdOrClsid) {
    TopLevelCall unitOfWork("create " + progIdOrClsid);
    return asError([&] {
        Object created = Registry::instance().createObject(progIdOrClsid);
        unitOfWork.finish();
        m_createdClasses.insert(&created.dispatch()->typeInfo());
        const ObjectId id = idOf(created);
        m_createdAs.try_emplace(id, progIdOrClsid);
        return id;
    });
}

std::string Session::describeCall(ObjectId id, const std::string& member) const {
    if (auto created = m_createdAs.find(id); created != m_createdAs.end()) return created->second + "." + member;
    if (auto kept = m_objects.find(id); kept != m_objects.end())
        return kept->second.dispatch()->typeInfo().className() + "." + member;
    return member;
}

ObjectId Session::keep(const Object& object) {
    if (object.isNothing()) raise(RuntimeError::ObjectNotSet);
    if (m_objects.size() >= kMaxSessionObjects) raise(HostError::TooManyObjects);
    ObjectId id = m_nextId++;
    m_objects.emplace(id, object);
    m_idsByDispatch.try_emplace(object.dispatch(), id);
    return id;
}

ObjectId Session::idOf(const Object& object) {
    auto it = m_idsByDispatch.find(object.dispatch());
    if (it != m_idsByDispatch.end()) return it->second;
    return keep(object);
}

Object Session::object(ObjectId id) const {
    auto it = m_objects.find(id);
    if (it == m_objects.end()) raise(RuntimeError::ObjectNotSet);
    return it->second;
}

void Session::release(ObjectId id) {
    auto it = m_objects.find(id);
    if (it == m_objects.end()) return;
    m_createdAs.erase(id);
    const Dispatch* dispatch = it->second.dispatch();
    m_objects.erase(it);
    auto byDispatch = m_idsByDispatch.find(dispatch);
    if (byDispatch == m_idsByDispatch.end() || byDispatch->second != id) return;
    m_idsByDispatch.erase(byDispatch);
    // Another id kept through keep() may still hold the same object; it answers for it now.
    for (const auto& [otherId, other] : m_objects)
        if (other.dispatch() == dispatch) {
            m_idsByDispatch.emplace(dispatch, otherId);
            break;
        }
}

void Session::releaseAll() {
    m_idsByDispatch.clear();
    m_createdAs.clear();
    // Objects are released one at a time, newest first, so an object's children go before it
    // as they would when a script's variables go out of scope.
    while (!m_objects.empty()) m_objects.erase(std::prev(m_objects.end()));
}

ObjectBinding Session::binding() {
    ObjectBinding objects{[this](const Object& o) { return idOf(o); }, [this](ObjectId id) { return object(id); }};
    if (m_rule == HandleRule::CreatedClassesOnly) {
        objects.asValue = [this](const Object& o) { return withoutHandle(o); };
        objects.documentMade = [this](const Object& o, DocumentForm form) { m_passedDocuments.emplace_back(o, form); };
    }
    return objects;
}

std::optional<nlohmann::json> Session::withoutHandle(const Object& object) const {
    const TypeInfo& type = object.dispatch()->typeInfo();
    if (m_createdClasses.count(&type)) return std::nullopt;
    for (const auto& [document, form] : m_passedDocuments) {
        if (!document.sameAs(object)) continue;
        // The document goes back as the caller sent it, with what the member made of it.
        if (form == DocumentForm::Xml) return nlohmann::json{{"$xml", document.get("xml").toString()}};
        return nlohmann::json{{"$html", document.getObject("documentElement").get("outerHTML").toString()}};
    }
    return nlohmann::json{{"$class", type.className()}};
}

nlohmann::json Session::encode(const Variant& value) {
    return asError([&] { return encodeValue(value, binding()); });
}

Variant Session::decode(const nlohmann::json& value) {
    return asError([&] { return decodeValue(value, binding()); });
}

CallResult Session::call(ObjectId id, const std::string& member, MemberKind kind, const nlohmann::json& args,
                         const nlohmann::json& named) {
    // Whatever the member writes to a store is one unit of work with it (top_level_call.hpp).
    TopLevelCall unitOfWork(describeCall(id, member));
    m_passedDocuments.clear();
    // The documents are the call's own; they go with it whichever way it ends.
    struct ForgetDocuments {
        std::vector<std::pair<Object, DocumentForm>>& documents;
        ~ForgetDocuments() { documents.clear(); }
    } forget{m_passedDocuments};
    return asError([&] {
        Object target = object(id);
        if (!args.is_array()) raise(HostError::ArgumentsNotArray);
        if (!named.is_null() && !named.is_object()) raise(HostError::NamedNotObject);
        if (args.size() > kMaxArrayLength) raise(HostError::ArrayTooLarge);

        ObjectBinding objects = binding();
        std::vector<Variant> slots;
        slots.reserve(args.size());
        for (const auto& arg : args) slots.push_back(decodeValue(arg, objects));
        std::vector<Named> namedArgs;
        if (named.is_object())
            for (const auto& [name, value] : named.items()) namedArgs.push_back({name, decodeValue(value, objects)});

        Variant result = target.invoke(member, kind, slots, namedArgs);
        // What the member wrote is durable before its answer says so.
        unitOfWork.finish();

        CallResult out;
        out.result = encodeValue(result, objects);
        // Named arguments are placed among the slots by the call; the caller's own positions come
        // first, and those are the ones written back.
        out.byref.reserve(args.size());
        for (size_t i = 0; i < args.size(); ++i) out.byref.push_back(encodeValue(slots[i], objects));
        return out;
    });
}

}  // namespace lumora::host
