// The lines of lumora serve --verbose: what was asked, what came back, how long it took, with
// long values cut so one call stays one readable line.

#include "Host/bridge/call_log.hpp"

#include <gtest/gtest.h>

namespace lumora::tests {
namespace {

using bridge::callLogLine;
using bridge::loggedValue;
using bridge::Operation;
using bridge::PageRequest;
using nlohmann::json;

PageRequest call(std::string member, json args) {
    PageRequest request;
    request.operation = Operation::Call;
    request.member = std::move(member);
    request.args = std::move(args);
    return request;
}

TEST(CallLog, ValuesAreCutAtEightyCharactersNotBytes) {
    EXPECT_EQ(loggedValue("short"), "\"short\"");
    std::string eighty = "\"" + std::string(78, 'a') + "\"";
    EXPECT_EQ(loggedValue(std::string(78, 'a')), eighty);
    EXPECT_EQ(loggedValue(std::string(79, 'a')), "\"" + std::string(78, 'a') + "…");
    // Two-byte characters count once each and are never split.
    std::string umlauts;
    for (int i = 0; i < 100; ++i) umlauts += "ü";
    std::string cut = loggedValue(umlauts);
    EXPECT_EQ(cut, "\"" + umlauts.substr(0, 78 * 2) + "…");
    EXPECT_EQ(loggedValue(json{{"$i2", 4}}), R"({"$i2":4})");
}

TEST(CallLog, LinesNameTheMemberArgumentsOutcomeAndTime) {
    EXPECT_EQ(callLogLine(2, call("GetTemplateList", {"/tmp/t/", "business"}), false,
                          {{"result", "Welcome letter.dotx\\"}, {"byref", json::array()}}, std::chrono::microseconds(1250)),
              R"(page 2: GetTemplateList("/tmp/t/", "business") -> "Welcome letter.dotx\\" (1.2 ms))");
    EXPECT_EQ(callLogLine(1, call("Fail", json::array()), true,
                          {{"code", -32000}, {"message", "Automation error: No"},
                           {"data", {{"number", 429}, {"description", "ActiveX component can't create object"}}}},
                          std::chrono::microseconds(40)),
              "page 1: Fail() -> error 429: \"ActiveX component can't create object\" (0.0 ms)");

    PageRequest create;
    create.operation = Operation::Create;
    create.progId = "LumoraControl2005.LumoraCtrl2005";
    EXPECT_EQ(callLogLine(1, create, false, {{"object", 3}}, std::chrono::microseconds(400)),
              R"(page 1: create "LumoraControl2005.LumoraCtrl2005" -> object 3 (0.4 ms))");

    PageRequest refusedShape;  // a bridge refusal carries no automation number
    refusedShape.operation = Operation::Put;
    refusedShape.member = "ServerName";
    refusedShape.value = "http://crm/";
    EXPECT_EQ(callLogLine(1, refusedShape, true, {{"code", -32602}, {"message", "Invalid params"}},
                          std::chrono::microseconds(0)),
              R"(page 1: put ServerName = "http://crm/" -> error -32602: "Invalid params" (0.0 ms))");
}

}  // namespace
}  // namespace lumora::tests
