#include "telephony_objects.hpp"

#include "Automation/registry.hpp"
#include "line_agent.hpp"
#include "phone_number.hpp"
#include "telephony_errors.hpp"

namespace lumora::telephony {

namespace {

// The telephony constants of a voice call to a telephone number, the only kind a line places.
constexpr int32_t kAddressTypePhoneNumber = 1;
constexpr int32_t kMediaTypeAudio = 8;

}  // namespace

const TypeInfo& Call::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("BasicCallControl");
        t.method<Call>("Connect", 0x60020000, {"fSync"}, 1, [](Call& c, Args&) {
            c.connect();
            return Variant();
        });
        t.method<Call>("Disconnect", 0x60020008, {"code"}, 1, [](Call& c, Args&) {
            c.disconnect();
            return Variant();
        });
        return t;
    }();
    return info;
}

Object Address::createCall(const std::string& number, int32_t addressType, int32_t mediaType) const {
    if (addressType != kAddressTypePhoneNumber || mediaType != kMediaTypeAudio) raise(TelephonyError::UnknownCallType);
    checkNumber(number);
    return makeObject<Call>(openCall(m_line, number, m_dataFolder));
}

const TypeInfo& Address::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("Address");
        t.getter<Address>("AddressName", 0x60020002, [](Address& a) { return Variant(a.name()); });
        t.method<Address>("CreateCall", 0x60020011, {"pDestAddress", "lAddressType", "lMediaTypes"}, 3,
                          [](Address& a, Args& args) {
                              return Variant(a.createCall(args[0].toString(), args[1].toI4(), args[2].toI4()));
                          });
        return t;
    }();
    return info;
}

std::optional<Variant> Addresses::at(int32_t position) {
    if (position < 0 || position >= count()) return std::nullopt;
    return Variant(m_addresses[static_cast<size_t>(position)]);
}

const TypeInfo& Addresses::typeInfo() const {
    static const TypeInfo info = collectionTypeInfo("Addresses", kAutomationCollection);
    return info;
}

void Tapi::initialize() {
    const std::filesystem::path dataFolder = Registry::instance().dataFolder();
    std::vector<Line> lines = readLines(dataFolder);
    // A line removed or changed since its agent started no longer keeps that agent.
    keepOnlyAgentsOf(lines);
    std::vector<Object> addresses;
    for (Line& line : lines) addresses.push_back(makeObject<Address>(std::move(line), dataFolder));
    m_addresses = makeObject<Addresses>(std::move(addresses));
}

Object Tapi::addresses() const {
    if (!m_addresses) raise(TelephonyError::NotInitialized);
    return *m_addresses;
}

const TypeInfo& Tapi::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("TAPI");
        t.method<Tapi>("Initialize", 0x60020000, {}, 0, [](Tapi& tapi, Args&) {
            tapi.initialize();
            return Variant();
        });
        t.getter<Tapi>("Addresses", 0x60020003, [](Tapi& tapi) { return Variant(tapi.addresses()); });
        return t;
    }();
    return info;
}

}  // namespace lumora::telephony
