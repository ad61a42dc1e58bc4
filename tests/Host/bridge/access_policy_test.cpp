// The allowlist as the person starting the bridge writes it, and the message screening edge
// cases the wire tests cannot reach directly.

#include <gtest/gtest.h>

#include "Host/bridge/access_policy.hpp"
#include "Host/bridge/page_message.hpp"

namespace lumora::bridge {
namespace {

TEST(AllowedOrigins, EntriesThatAreNotExactOriginsAreRejectedAtStart) {
    for (std::string entry : {"null", "*", "https://*.example.com", "https://crm.example.com/app", "crm.example.com",
                              "https://user@crm.example.com", "https://crm.example.com:99999", ""}) {
        EXPECT_THROW(AccessPolicy(8765, {entry}, "t"), std::invalid_argument) << entry;
    }
}

TEST(AllowedOrigins, DefaultPortAndLetterCaseDoNotMakeADifferentOrigin) {
    AccessPolicy policy(8765, {"https://CRM.Example.com:443"}, "t");
    EXPECT_TRUE(policy.originAllowed("https://crm.example.com"));
    EXPECT_FALSE(policy.originAllowed("https://crm.example.com:444"));
    EXPECT_EQ(policy.allowedOrigins().front().serialize(), "https://crm.example.com");
}

TEST(MessageScreening, IdOfARefusedMessageIsRecoveredFromItsStart) {
    EXPECT_EQ(recoverId(R"({"jsonrpc":"2.0","id":12,"method":"call","params":{"args":["xxxx)"), 12);
    EXPECT_EQ(recoverId(R"({"method":"call","id":"a\"b","params":{})"), "a\"b");
    // The id comes after a value cut off by the size limit: it cannot be known.
    EXPECT_TRUE(recoverId(R"({"params":{"args":["xxxxxxxx)").is_null());
    // An id nested inside params is not the request's id.
    EXPECT_TRUE(recoverId(R"({"params":{"id":3}})").is_null());
}

TEST(MessageScreening, NestingCountsOnlyStructureOutsideStrings) {
    EXPECT_FALSE(nestsDeeperThan(R"(["[[[[[[", "\"[[[["])", 2));
    EXPECT_TRUE(nestsDeeperThan("[[[1]]]", 2));
    EXPECT_FALSE(nestsDeeperThan("[[1],[2],[3]]", 2));
}

}  // namespace
}  // namespace lumora::bridge
