#include "page_requests.hpp"

#include <algorithm>

#include "Automation/vb/text.hpp"
#include "bridge_errors.hpp"

namespace lumora::bridge {

using nlohmann::json;

json runPageRequest(host::Session& session, const PageRequest& request, const std::vector<std::string>& creatable) {
    switch (request.operation) {
    case Operation::Create: {
        bool allowed = std::any_of(creatable.begin(), creatable.end(), [&](const std::string& name) {
            return vb::asciiEqualsNoCase(name, request.progId);
        });
        if (!allowed) throw NotCreatable{request.progId};
        return {{"object", session.create(request.progId)}};
    }
    case Operation::Call: {
        host::CallResult call = session.call(request.object, request.member, MemberKind::Method, request.args,
                                             request.named);
        return {{"result", std::move(call.result)}, {"byref", std::move(call.byref)}};
    }
    case Operation::Get:
        return {{"result", session.call(request.object, request.member, MemberKind::PropertyGet, request.args,
                                        request.named)
                               .result}};
    case Operation::Put: {
        json args = request.args;
        args.push_back(request.value);
        // An object assigned to a property is a Set, not a Let.
        bool isObject = request.value.is_object() && request.value.contains("$object");
        session.call(request.object, request.member, isObject ? MemberKind::PropertyPutRef : MemberKind::PropertyPut,
                     args, request.named);
        return json::object();
    }
    case Operation::Release:
        session.release(request.object);
        return json::object();
    case Operation::ItemSave:
    case Operation::ItemClose:
        break;  // the page's Desktop holds item windows (Page::run)
    }
    return json::object();
}

json notCreatableResponse(const json& id, const NotCreatable& refusal) {
    Error error(RuntimeError::CantCreateObject);
    json data{{"number", error.number()}, {"description", error.description()}, {"source", error.source()}};
    return errorResponse(id, BridgeError::NotCreatable,
                         "'" + refusal.progId + "'; start lumora serve with --allow-progid " + refusal.progId +
                             " to allow it",
                         data);
}

json automationErrorResponse(const json& id, const Error& error) {
    json data{{"number", error.number()}, {"description", error.description()}, {"source", error.source()}};
    json response = errorResponse(id, BridgeError::Automation, error.description(), data);
    return response;
}

}  // namespace lumora::bridge
