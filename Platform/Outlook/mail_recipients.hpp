#pragma once
// A mail item's addressees. The To, CC and BCC lines are views of one recipient list: reading a
// line joins the names of its type with "; ", and setting it replaces that type's recipients with
// the names the text lists between semicolons. Recipients.Add(name) adds a To recipient; its Type
// may change to CC or BCC; Resolve checks the name against the store's mailboxes and the form of
// an Internet address.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "Automation/collection.hpp"
#include "pim_item.hpp"

namespace lumora::pim {

enum class RecipientType : int32_t { To = 1, CC = 2, BCC = 3 };

// The recipient type a mail property stands for: To 1, CC 2, BCC 3; nullopt for other names.
std::optional<int32_t> addressLineType(std::string_view propertyName);
std::string addressLine(const ItemRecord& mail, int32_t type);
void setAddressLine(ItemRecord& mail, int32_t type, std::string_view line);

// The parts of "Name <someone@example.com>", or of a bare address; an empty address when the
// text holds none.
struct NamedAddress {
    std::string displayName;
    std::string address;
};
NamedAddress splitAddress(std::string_view text);
// someone@example.com: one "@" with text on both sides and no blanks or angle brackets.
bool isInternetAddress(std::string_view text);

class Recipients final : public Collection {
public:
    explicit Recipients(std::shared_ptr<ItemState> state) : m_state(std::move(state)) {}
    const TypeInfo& typeInfo() const override;
    int32_t count() override;
    std::optional<Variant> at(int32_t position) override;
    Object add(std::string_view name);
    void remove(int32_t position);
    bool resolveAll();

private:
    std::shared_ptr<ItemState> m_state;
};

class Recipient final : public Dispatch {
public:
    Recipient(std::shared_ptr<ItemState> state, std::shared_ptr<RecipientRow> row)
        : m_state(std::move(state)), m_row(std::move(row)) {}
    const TypeInfo& typeInfo() const override;
    std::string address() const;
    bool resolve();
    bool resolved() const { return m_resolved; }
    void setType(int32_t type);

private:
    std::shared_ptr<ItemState> m_state;
    std::shared_ptr<RecipientRow> m_row;
    bool m_resolved = false;
};

}  // namespace lumora::pim
