// The value encoding shared by the CLI and the bridge: every type survives a round trip through
// JSON text and a real call, and bad input gets a clear error instead of a crash.

#include <gtest/gtest.h>

#include <cmath>

#include "Host/host_errors.hpp"
#include "Host/session.hpp"
#include "sample_class.hpp"
#include "tests/Automation/error_matchers.hpp"

namespace lumora::host {
namespace {

using nlohmann::json;

class ValueEncoding : public ::testing::Test {
protected:
    void SetUp() override {
        tests::registerSampleClass();
        sample = session.create(tests::kSampleProgId);
    }
    // The value as it comes back from Echo, after a trip through JSON text both ways.
    json echoed(const json& value) {
        auto sent = json::parse(value.dump());
        return json::parse(session.call(sample, "Echo", MemberKind::Method, json::array({sent})).result.dump());
    }
    std::string typeOf(const json& value) {
        return session.call(sample, "TypeOf", MemberKind::Method, json::array({value})).result.get<std::string>();
    }
    Session session;
    ObjectId sample = 0;
};

TEST_F(ValueEncoding, ScalarsKeepTheirTypeThroughACall) {
    const std::vector<std::pair<json, std::string>> cases{
        {"Grüße", "String"},
        {true, "Boolean"},
        {42, "Long"},
        {-2147483648LL, "Long"},
        {2147483648LL, "Double"},
        {1.5, "Double"},
        {3.0, "Double"},
        {json{{"$i2", 7}}, "Integer"},
        {json{{"$i4", 7}}, "Long"},
        {json{{"$r8", 7}}, "Double"},
        {json{{"$empty", true}}, "Empty"},
        {nullptr, "Null"},
        {json{{"$date", "2026-12-08T09:30:15"}}, "Date"},
    };
    for (const auto& [value, type] : cases) {
        EXPECT_EQ(typeOf(value), type) << value.dump();
        json expected = value.contains("$i4") ? json(7) : value.contains("$r8") ? json(7.0) : value;
        EXPECT_EQ(echoed(value), expected) << value.dump();
    }
}

TEST_F(ValueEncoding, DatesBeforeTheEpochAndNonFiniteDoublesRoundTrip) {
    EXPECT_EQ(echoed({{"$date", "1850-06-01T12:30:00"}}), json({{"$date", "1850-06-01T12:30:00"}}));
    EXPECT_EQ(echoed({{"$date", "2024-02-29"}}), json({{"$date", "2024-02-29T00:00:00"}}));
    for (const char* text : {"NaN", "Infinity", "-Infinity"})
        EXPECT_EQ(echoed({{"$r8", text}}), json({{"$r8", text}}));
}

TEST_F(ValueEncoding, MissingArgumentReachesTheMemberAsMissing) {
    EXPECT_EQ(typeOf({{"$missing", true}}), "Error");  // script's TypeName of an omitted argument
    EXPECT_EQ(session.encode(Variant::missing()), json({{"$missing", true}}));
}

TEST_F(ValueEncoding, ArraysKeepNestingAndLowerBound) {
    json nested = json::array({1, "two", json::array({json{{"$i2", 3}}, nullptr})});
    EXPECT_EQ(echoed(nested), nested);
    json based = {{"$array", json::array({"a", "b"})}, {"$lbound", 1}};
    EXPECT_EQ(echoed(based), based);
    Variant decoded = session.decode(based);
    EXPECT_EQ(decoded.array().lowerBound, 1);
    EXPECT_EQ(decoded.array().at(2).str(), "b");
}

TEST_F(ValueEncoding, ObjectsTravelByIdAndKeepTheirIdentity) {
    json child = session.call(sample, "Child", MemberKind::Method, json::array()).result;
    ASSERT_TRUE(child["$object"].is_number_integer());
    EXPECT_NE(child["$object"], sample);
    EXPECT_EQ(echoed(child), child);
    EXPECT_EQ(echoed({{"$object", sample}}), json({{"$object", sample}}));
    EXPECT_EQ(echoed({{"$object", nullptr}}), json({{"$object", nullptr}}));
    EXPECT_EQ(typeOf({{"$object", nullptr}}), "Nothing");
}

TEST_F(ValueEncoding, IllFormedUtf8InAResultIsReplacedNotPassedOn) {
    json encoded = session.encode(Variant(std::string("caf\xE9 ok")));
    EXPECT_EQ(encoded, "caf\xEF\xBF\xBD ok");
    EXPECT_NO_THROW(encoded.dump());
}

TEST_F(ValueEncoding, UnknownShapesAreTypeMismatch) {
    for (const char* text : {R"({"$foo": 1})", R"({"name": "x"})", R"({})", R"({"$i2": "5"})", R"({"$i2": true})",
                             R"({"$empty": false})", R"({"$missing": 1})", R"({"$i2": 1, "$i4": 2})",
                             R"({"$date": "30/01/2024"})", R"({"$date": "2024-02-30T00:00:00"})",
                             R"({"$array": 5})", R"({"$object": "ctl"})"}) {
        EXPECT_AUTOMATION_ERROR(session.decode(json::parse(text)), 13);
    }
    try {
        session.decode(json::parse(R"({"$foo": 1})"));
    } catch (const Error& e) {
        EXPECT_EQ(e.description(), "Type mismatch");
    }
}

TEST_F(ValueEncoding, OutOfRangeNumbersOverflow) {
    EXPECT_AUTOMATION_ERROR(session.decode({{"$i2", 40000}}), 6);
    EXPECT_AUTOMATION_ERROR(session.decode({{"$i2", -32769}}), 6);
    EXPECT_EQ(session.encode(session.decode({{"$i2", -32768}})), json({{"$i2", -32768}}));
    EXPECT_AUTOMATION_ERROR(session.decode({{"$i4", 3000000000LL}}), 6);
    json pastLastIndex = {{"$array", json::array({1, 2})}, {"$lbound", 2147483647}};
    EXPECT_AUTOMATION_ERROR(session.decode(pastLastIndex), 6);
}

TEST_F(ValueEncoding, UnknownObjectIdIsObjectNotSet) {
    EXPECT_AUTOMATION_ERROR(session.decode({{"$object", 9999}}), 91);
}

TEST_F(ValueEncoding, DeepNestingAndHugeArraysAreRefusedClearly) {
    json deep = 1;
    for (int i = 0; i < kMaxValueDepth; ++i) deep = json::array({deep});
    EXPECT_NO_THROW(session.decode(deep));
    deep = json::array({deep});
    try {
        session.decode(deep);
        ADD_FAILURE() << "65 levels were accepted";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 5);
        EXPECT_EQ(e.description(), "Value nested more than 64 levels deep");
    }
    EXPECT_AUTOMATION_ERROR(session.decode(json::array({json::array(), json(std::vector<int>(kMaxArrayLength + 1))})),
                            5);
    // Text nested far deeper than any value is refused while parsing, before it can exhaust the stack.
    EXPECT_AUTOMATION_ERROR(parseJsonLimited(std::string(200000, '[')), 5);
    EXPECT_AUTOMATION_ERROR(parseJsonLimited("{\"a\": "), 5);
}

TEST_F(ValueEncoding, ArraysThatContainThemselvesAreRefusedOnTheWayOut) {
    Variant cyclic = Array{0, {Variant(1)}};
    cyclic.array().items.push_back(cyclic);
    EXPECT_AUTOMATION_ERROR(session.encode(cyclic), 5);
    cyclic.array().items.clear();  // break the cycle so the array can be freed
}

}  // namespace
}  // namespace lumora::host
