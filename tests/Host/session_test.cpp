// A session's calls on a real class: results, by-reference write-back, named arguments, errors
// and the objects it keeps by id.

#include <gtest/gtest.h>

#include "Host/session.hpp"
#include "Host/stand_ins.hpp"
#include "sample_class.hpp"
#include "tests/Automation/error_matchers.hpp"

namespace lumora::host {
namespace {

using nlohmann::json;

class SessionCalls : public ::testing::Test {
protected:
    void SetUp() override {
        tests::registerSampleClass();
        sample = session.create(tests::kSampleProgId);
    }
    CallResult call(const std::string& member, json args, json named = json::object()) {
        return session.call(sample, member, MemberKind::Method, args, named);
    }
    Session session;
    ObjectId sample = 0;
};

TEST_F(SessionCalls, ByReferenceArgumentsComeBackChanged) {
    CallResult result = call("Twice", json::array({21}));
    EXPECT_EQ(result.result, "doubled");
    EXPECT_EQ(result.byref, std::vector<json>{42});
}

TEST_F(SessionCalls, WorkThatCannotBeKeptWhenTheCallEndsIsTheCallsError) {
    EXPECT_AUTOMATION_ERROR(call("WriteOnAFullDisk", json::array()), 61);
    EXPECT_EQ(call("Echo", json::array({"after"})).result, "after");
}

TEST_F(SessionCalls, NamedArgumentsFindTheirParameterWhateverTheCase) {
    EXPECT_EQ(call("Greet", json::array({"Ann"}), {{"punctuation", "?"}}).result, "Hello, Ann?");
    EXPECT_EQ(call("greet", json::array({"Ann"}), {{"GREETING", "Hi"}}).result, "Hi, Ann!");
    EXPECT_EQ(call("Greet", json::array(), {{"name", "Bo"}, {"greeting", "Hey"}}).result, "Hey, Bo!");
    EXPECT_EQ(call("Greet", json::array({"Ann"})).byref, std::vector<json>{"Ann"});
}

TEST_F(SessionCalls, PropertiesArePutAndRead) {
    session.call(sample, "Caption", MemberKind::PropertyPut, json::array({"Quote 7"}));
    EXPECT_EQ(session.call(sample, "caption", MemberKind::PropertyGet, json::array()).result, "Quote 7");
}

TEST_F(SessionCalls, MemberErrorsReachTheCallerWithNumberTextAndSource) {
    try {
        call("Fail", json::array({"The template is missing"}));
        ADD_FAILURE() << "Fail returned";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), kObjectErrorBase + tests::kSampleErrorOffset);
        EXPECT_EQ(e.description(), "The template is missing");
        EXPECT_EQ(e.source(), "LumoraHostTest.Sample.Fail");
    }
    EXPECT_AUTOMATION_ERROR(call("NoSuchMember", json::array()), 438);
    EXPECT_AUTOMATION_ERROR(call("Echo", json::array()), 449);
    EXPECT_AUTOMATION_ERROR(call("Echo", json::array({1, 2})), 450);
    EXPECT_AUTOMATION_ERROR(call("Echo", json::array({json::object({{"$bad", 1}})})), 13);
}

TEST_F(SessionCalls, MalformedCallsAreRefusedWithoutRunningTheMember) {
    EXPECT_AUTOMATION_ERROR(call("Echo", json::object({{"value", 1}})), 5);
    EXPECT_AUTOMATION_ERROR(call("Echo", json::array({1}), json::array({1})), 5);
}

TEST_F(SessionCalls, UnknownClassesAndIdsFailAsScriptWouldSeeIt) {
    EXPECT_AUTOMATION_ERROR(session.create("Nobody.Home"), 429);
    EXPECT_AUTOMATION_ERROR(session.call(777, "Echo", MemberKind::Method, json::array({1})), 91);
}

TEST_F(SessionCalls, ReleasedObjectsAreGoneAndTheirIdsNeverReused) {
    ObjectId child = call("Child", json::array()).result["$object"];
    ASSERT_EQ(session.objectCount(), 2u);
    session.release(child);
    EXPECT_EQ(session.objectCount(), 1u);
    EXPECT_AUTOMATION_ERROR(session.object(child), 91);
    ObjectId next = call("Child", json::array()).result["$object"];
    EXPECT_GT(next, child);
    session.release(child);  // releasing twice is harmless
    session.releaseAll();
    EXPECT_EQ(session.objectCount(), 0u);
}

TEST_F(SessionCalls, AnObjectKeptTwiceStaysReachableAfterOneIdIsReleased) {
    Object same = session.object(sample);
    ObjectId second = session.keep(same);
    EXPECT_NE(second, sample);
    session.release(sample);
    json reference = json::object({{"$object", second}});
    EXPECT_EQ(session.call(second, "Echo", MemberKind::Method, json::array({reference})).result, reference);
}

TEST(DocumentValues, XmlTextBecomesALoadedDocumentOfTheXmlStandIn) {
    registerStandIns();
    tests::registerSampleClass();
    Session session;
    ObjectId sample = session.create(tests::kSampleProgId);
    json document = json::object({{"$xml", "<record><field name=\"ACID\">42</field></record>"}});
    EXPECT_EQ(session.call(sample, "TypeOf", MemberKind::Method, json::array({document})).result, "DOMDocument");
    json kept = session.call(sample, "Echo", MemberKind::Method, json::array({document})).result;
    Object xml = session.object(kept["$object"]);
    EXPECT_EQ(xml.call("selectSingleNode", "//field[@name='ACID']").toObject().get("text").toString(), "42");
}

TEST(DocumentValues, HtmlTextBecomesADocumentOfThePageStandIn) {
    registerStandIns();
    Session session;
    Object page = session.decode(json::object({{"$html", R"(<form><input id="LastName" value="Ng"></form>)"}})).toObject();
    EXPECT_EQ(page.call("getElementById", "LastName").toObject().get("value").toString(), "Ng");
}

TEST(DocumentValues, XmlThatDoesNotParseIsRefusedWithTheParsersReason) {
    registerStandIns();
    Session session;
    try {
        session.decode(json::object({{"$xml", "<record><field>"}}));
        ADD_FAILURE() << "an unfinished document was accepted";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 5);
        const std::string prefix = "The XML document could not be loaded: ";
        EXPECT_EQ(e.description().substr(0, prefix.size()), prefix);
        EXPECT_GT(e.description().size(), prefix.size());
    }
}

}  // namespace
}  // namespace lumora::host
