#pragma once
// "TAPI.TAPI": the telephony object, its address collection (one address per configured
// line), an address's calls, and a call's connect and disconnect.

#include <filesystem>
#include <memory>
#include <vector>

#include "Automation/collection.hpp"
#include "line_call.hpp"
#include "line_list.hpp"

namespace lumora::telephony {

class Call : public Dispatch {
public:
    explicit Call(std::unique_ptr<LineCall> lineCall) : m_lineCall(std::move(lineCall)) {}
    const TypeInfo& typeInfo() const override;

    // Synchronous whatever the caller asks: the line's own wait bounds it.
    void connect() { m_lineCall->connect(); }
    void disconnect() { m_lineCall->disconnect(); }

private:
    std::unique_ptr<LineCall> m_lineCall;
};

class Address : public Dispatch {
public:
    Address(Line line, std::filesystem::path dataFolder) : m_line(std::move(line)), m_dataFolder(std::move(dataFolder)) {}
    const TypeInfo& typeInfo() const override;

    const std::string& name() const { return m_line.name; }
    // A voice call to a phone number, not yet connected.
    Object createCall(const std::string& number, int32_t addressType, int32_t mediaType) const;

private:
    Line m_line;
    std::filesystem::path m_dataFolder;
};

class Addresses : public Collection {
public:
    explicit Addresses(std::vector<Object> addresses) : m_addresses(std::move(addresses)) {}
    const TypeInfo& typeInfo() const override;
    int32_t count() override { return static_cast<int32_t>(m_addresses.size()); }
    std::optional<Variant> at(int32_t position) override;

private:
    std::vector<Object> m_addresses;
};

class Tapi : public Dispatch {
public:
    const TypeInfo& typeInfo() const override;

    // Reads the line list of the data folder; the addresses are fixed from then on.
    void initialize();
    Object addresses() const;

private:
    std::optional<Object> m_addresses;
};

}  // namespace lumora::telephony
