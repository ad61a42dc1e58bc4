#pragma once
// Runs one page request on the page's session: create, call, get, put, release. Throws
// lumora::Error as the session does; the page turns that into the error answer.

#include <nlohmann/json.hpp>

#include "Host/session.hpp"
#include "page_message.hpp"

namespace lumora::bridge {

// A class the bridge does not create for pages. Its answer names the class and the option that
// allows it, and still carries 429 in data, as a blocked creation always gave.
struct NotCreatable {
    std::string progId;
};

// The result object of the answer: create {object}, call {result, byref}, get {result},
// put and release {}.
// create throws NotCreatable for any class not in `creatable`.
nlohmann::json runPageRequest(host::Session& session, const PageRequest& request,
                              const std::vector<std::string>& creatable);

nlohmann::json notCreatableResponse(const nlohmann::json& id, const NotCreatable& refusal);

// The JSON-RPC error answer for a member's failure: the message is the description, data
// carries number, description and source as script's Err object has them.
nlohmann::json automationErrorResponse(const nlohmann::json& id, const Error& error);

}  // namespace lumora::bridge
