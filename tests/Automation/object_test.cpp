#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "Automation/object.hpp"
#include "Automation/vb/text.hpp"
#include "error_matchers.hpp"

using namespace lumora;

namespace {

// An account with a name, a greeting method, a by-reference counter, a keyed default member
// (props("ACID") = value) and a method whose library fails.
class Account : public Dispatch {
public:
    const TypeInfo& typeInfo() const override {
        static const TypeInfo info = [] {
            TypeInfo t("Account");
            t.getter<Account>("Name", 1, [](Account& a) { return Variant(a.m_name); });
            t.setter<Account>("Name", 1, [](Account& a, const Variant& v) { a.m_name = v.toString(); });
            t.method<Account>("Greet", 2, {"name", "greeting"}, 1, [](Account&, Args& args) {
                return Variant(args.valueOr(1, "Hello").toString() + ", " + args[0].toString());
            });
            t.method<Account>("Increment", 3, {"value"}, 1, [](Account&, Args& args) {
                args.ref(0) = Variant(args[0].toI4() + 1);
                return Variant();
            });
            t.defaultGetter<Account>("Value", {"key"}, 1, [](Account& a, Args& args) {
                auto it = a.m_values.find(vb::asciiLower(args[0].toString()));
                return it == a.m_values.end() ? Variant() : it->second;
            });
            t.defaultSetter<Account>({"key", "value"}, 2, [](Account& a, Args& args) {
                a.m_values[vb::asciiLower(args[0].toString())] = args[1];
                return Variant();
            });
            t.method<Account>("Fail", 4, {}, 0, [](Account&, Args&) -> Variant {
                throw std::runtime_error("disk on fire");
            });
            return t;
        }();
        return info;
    }

private:
    std::string m_name;
    std::map<std::string, Variant> m_values;
};

// A 1-based collection of texts with Count and Item.
class Names : public Dispatch {
public:
    explicit Names(std::vector<std::string> names) : m_names(std::move(names)) {}
    const TypeInfo& typeInfo() const override {
        static const TypeInfo info = [] {
            TypeInfo t("Names");
            t.getter<Names>("Count", 1, [](Names& n) { return Variant(static_cast<int32_t>(n.m_names.size())); });
            t.method<Names>("Item", kDispIdValue, {"index"}, 1, [](Names& n, Args& args) {
                int32_t index = args[0].toI4();
                if (index < 1 || index > static_cast<int32_t>(n.m_names.size())) raise(RuntimeError::SubscriptOutOfRange);
                return Variant(n.m_names[static_cast<size_t>(index - 1)]);
            });
            return t;
        }();
        return info;
    }

private:
    std::vector<std::string> m_names;
};

}  // namespace

TEST(ObjectMembers, NamesAreFoundWithoutRegardToCase) {
    Object account = makeObject<Account>();
    account.put("NAME", "Acme Ltd");
    EXPECT_EQ(account.get("name").toString(), "Acme Ltd");
    EXPECT_EQ(account.call("gReEt", "Ann").toString(), "Hello, Ann");
    EXPECT_EQ(account.idOf("GREET"), 2);
}

TEST(ObjectArguments, NamedArgumentsLandOnTheirParameters) {
    Object account = makeObject<Account>();
    EXPECT_EQ(account.call("Greet", Named{"Greeting", "Good morning"}, Named{"NAME", "Ann"}).toString(),
              "Good morning, Ann");
    EXPECT_EQ(account.call("Greet", "Bob", Named{"greeting", "Hi"}).toString(), "Hi, Bob");
    EXPECT_AUTOMATION_ERROR(account.call("Greet", "Bob", Named{"salutation", "Hi"}), 448);
}

TEST(ObjectArguments, ByRefArgumentsReceiveTheCalleesChange) {
    Object account = makeObject<Account>();
    Variant counter = 41;
    account.call("Increment", ByRef{counter});
    EXPECT_EQ(counter.toI4(), 42);
}

TEST(ObjectArguments, MissingRequiredIs449AndTooManyIs450) {
    Object account = makeObject<Account>();
    EXPECT_AUTOMATION_ERROR(account.call("Greet"), 449);
    EXPECT_AUTOMATION_ERROR(account.call("Greet", Variant::missing(), "Hi"), 449);
    EXPECT_AUTOMATION_ERROR(account.call("Greet", "Ann", "Hi", "extra"), 450);
}

TEST(ObjectMembers, DefaultMemberIsReachedByDispatchIdZero) {
    Object account = makeObject<Account>();
    account.putValue("CRM-1001", "ACID");
    EXPECT_EQ(account.value("acid").toString(), "CRM-1001");
    EXPECT_EQ(account.get("Value", "Acid").toString(), "CRM-1001");
}

TEST(ObjectMembers, UnknownMemberIs438AndNothingIs91) {
    Object account = makeObject<Account>();
    EXPECT_AUTOMATION_ERROR(account.call("Explode"), 438);
    EXPECT_AUTOMATION_ERROR(Object().call("Greet", "Ann"), 91);
}

TEST(ObjectMembers, ForeignExceptionBecomesAnError) {
    Object account = makeObject<Account>();
    try {
        account.call("Fail");
        FAIL() << "Fail returned";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 5);
        EXPECT_EQ(e.description(), "disk on fire");
    }
}

TEST(ObjectCollections, ItemsAreOneBasedAndWalkedInOrder) {
    Object names = makeObject<Names>(std::vector<std::string>{"Ann", "Bob", "Cy"});
    EXPECT_EQ(names.count(), 3);
    EXPECT_EQ(names.value(3).toString(), "Cy");
    EXPECT_AUTOMATION_ERROR(names.get("Item", 0), 9);
    std::vector<std::string> walked;
    for (const Variant& v : names.elements()) walked.push_back(v.toString());
    EXPECT_EQ(walked, (std::vector<std::string>{"Ann", "Bob", "Cy"}));
    EXPECT_AUTOMATION_ERROR(makeObject<Account>().elements(), 438);
}
