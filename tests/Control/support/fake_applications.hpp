#pragma once
// Stand-ins for outside applications that the tests inject where the real one is not built or a
// failure must be provoked: an object whose members the test defines, recording every call.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Automation/object.hpp"
#include "Automation/registry.hpp"

namespace lumora::testing {

class FakeObject : public Dispatch {
public:
    using Handler = std::function<Variant(Args&)>;

    explicit FakeObject(std::string className) : m_info(std::move(className)) {}

    // Adds a member that accepts any arguments.
    FakeObject& on(std::string name, Handler handler = {}, MemberKind kind = MemberKind::Method) {
        auto shared = std::make_shared<Handler>(std::move(handler));
        m_info.add(MemberDef{name, static_cast<DispId>(m_info.members().size() + 1), kind, {}, 0, true,
                             [this, name, shared](Dispatch&, Args& args) {
                                 std::vector<Variant> given;
                                 for (size_t i = 0; i < args.size(); ++i) given.push_back(args[i]);
                                 calls.push_back({name, given});
                                 return *shared ? (*shared)(args) : Variant();
                             }});
        return *this;
    }

    const TypeInfo& typeInfo() const override { return m_info; }

    struct Call {
        std::string member;
        std::vector<Variant> args;
    };
    std::vector<Call> calls;

private:
    TypeInfo m_info;
};

inline std::shared_ptr<FakeObject> fake(std::string className) { return std::make_shared<FakeObject>(className); }

// Registers `make` as the application of that ProgID; single-instance like Outlook when asked.
inline void registerFake(const std::string& progId, std::function<Object()> make, bool singleInstance = false) {
    ClassInfo info;
    info.progId = progId;
    info.factory = std::move(make);
    info.singleInstance = singleInstance;
    Registry::instance().registerBuiltin(std::move(info));
}

// A telephony object whose addresses carry the given names. Calls made on any of its objects are
// recorded in `log` as "member(args)".
inline Object fakeTelephony(const std::vector<std::string>& addressNames, std::shared_ptr<std::vector<std::string>> log) {
    auto collection = fake("ITCollection");
    std::vector<Object> addresses;
    for (const auto& name : addressNames) {
        auto address = fake("ITAddress");
        address->on("AddressName", [name](Args&) { return Variant(name); });
        address->on("CreateCall", [log, name](Args& a) {
            log->push_back("CreateCall(" + name + "," + a[0].toString() + "," + a[1].toString() + "," +
                           a[2].toString() + ")");
            auto call = fake("ITBasicCallControl");
            call->on("Connect", [log](Args& c) {
                log->push_back("Connect(" + c[0].toString() + ")");
                return Variant();
            });
            return Variant(Object(call));
        });
        addresses.push_back(Object(address));
    }
    collection->on("Count", [addresses](Args&) { return Variant(static_cast<int32_t>(addresses.size())); });
    collection->on("Item", [addresses](Args& a) { return Variant(addresses.at(a[0].toI4() - 1)); });
    auto tapi = fake("TAPI");
    tapi->on("Initialize", [log](Args&) {
        log->push_back("Initialize()");
        return Variant();
    });
    tapi->on("Addresses", [collection](Args&) { return Variant(Object(collection)); });
    return Object(tapi);
}

}  // namespace lumora::testing
