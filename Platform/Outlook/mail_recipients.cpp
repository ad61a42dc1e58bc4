#include "mail_recipients.hpp"

#include "Automation/vb/strings.hpp"
#include "pim_errors.hpp"

namespace lumora::pim {

namespace {

std::string_view trimmed(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// A display name as written: one in quotes loses them and its backslash escapes (RFC 5322's
// quoted-string), so "Bob \"the Builder\"" names Bob "the Builder".
std::string unquoted(std::string_view name) {
    if (name.size() < 2 || name.front() != '"' || name.back() != '"') return std::string(name);
    std::string plain;
    for (size_t i = 1; i + 1 < name.size(); ++i) {
        if (name[i] == '\\' && i + 2 < name.size()) ++i;
        plain += name[i];
    }
    return plain;
}

int32_t checkedType(int32_t type) {
    if (type < static_cast<int32_t>(RecipientType::To) || type > static_cast<int32_t>(RecipientType::BCC))
        raise(PimError::BadRecipientType, std::to_string(type));
    return type;
}

}  // namespace

std::optional<int32_t> addressLineType(std::string_view propertyName) {
    if (vb::equalsNoCase(propertyName, "To")) return static_cast<int32_t>(RecipientType::To);
    if (vb::equalsNoCase(propertyName, "CC")) return static_cast<int32_t>(RecipientType::CC);
    if (vb::equalsNoCase(propertyName, "BCC")) return static_cast<int32_t>(RecipientType::BCC);
    return std::nullopt;
}

std::string addressLine(const ItemRecord& mail, int32_t type) {
    std::string line;
    for (const auto& recipient : mail.recipients) {
        if (recipient->type != type) continue;
        if (!line.empty()) line += "; ";
        line += recipient->name;
    }
    return line;
}

void setAddressLine(ItemRecord& mail, int32_t type, std::string_view line) {
    std::erase_if(mail.recipients, [type](const auto& recipient) { return recipient->type == type; });
    // A campaign's list ends every address with ";": the empty piece after it adds nobody.
    size_t start = 0;
    while (start <= line.size()) {
        size_t end = line.find(';', start);
        if (end == std::string_view::npos) end = line.size();
        std::string_view name = trimmed(line.substr(start, end - start));
        if (!name.empty()) mail.recipients.push_back(std::make_shared<RecipientRow>(RecipientRow{std::string(name), type}));
        start = end + 1;
    }
    mail.mailPartsChanged = true;
}

bool isInternetAddress(std::string_view text) {
    const size_t at = text.find('@');
    if (at == std::string_view::npos || at == 0 || at + 1 >= text.size()) return false;
    if (text.find('@', at + 1) != std::string_view::npos) return false;
    return text.find_first_of(" \t\r\n<>,;\"") == std::string_view::npos;
}

NamedAddress splitAddress(std::string_view text) {
    text = trimmed(text);
    const size_t open = text.rfind('<');
    if (open != std::string_view::npos && !text.empty() && text.back() == '>') {
        std::string_view address = text.substr(open + 1, text.size() - open - 2);
        std::string_view name = trimmed(text.substr(0, open));
        if (isInternetAddress(address)) return {unquoted(name), std::string(address)};
    }
    if (isInternetAddress(text)) return {std::string(), std::string(text)};
    return {std::string(text), std::string()};
}

const TypeInfo& Recipients::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("Recipients");
        addCollectionMembers(t, kAutomationCollection);
        t.method<Recipients>("Add", 0x6f, {"Name"}, 1,
                             [](Recipients& c, Args& a) { return Variant(c.add(a[0].toString())); });
        t.method<Recipients>("Remove", 0x54, {"Index"}, 1, [](Recipients& c, Args& a) {
            c.remove(a[0].toI4());
            return Variant();
        });
        t.method<Recipients>("ResolveAll", 0x7e, {}, 0, [](Recipients& c, Args&) { return Variant(c.resolveAll()); });
        return t;
    }();
    return info;
}

int32_t Recipients::count() { return static_cast<int32_t>(m_state->mailParts().recipients.size()); }

std::optional<Variant> Recipients::at(int32_t position) {
    auto& recipients = m_state->mailParts().recipients;
    if (position < 0 || position >= static_cast<int32_t>(recipients.size())) return std::nullopt;
    return Variant(makeObject<Recipient>(m_state, recipients[position]));
}

Object Recipients::add(std::string_view name) {
    name = trimmed(name);
    if (name.empty()) raise(RuntimeError::InvalidProcedureCall);
    ItemRecord& mail = m_state->mailParts();
    auto row = std::make_shared<RecipientRow>(RecipientRow{std::string(name), static_cast<int32_t>(RecipientType::To)});
    mail.recipients.push_back(row);
    mail.mailPartsChanged = true;
    return makeObject<Recipient>(m_state, std::move(row));
}

void Recipients::remove(int32_t position) {
    ItemRecord& mail = m_state->mailParts();
    if (position < 1 || position > static_cast<int32_t>(mail.recipients.size())) raise(RuntimeError::SubscriptOutOfRange);
    mail.recipients.erase(mail.recipients.begin() + (position - 1));
    mail.mailPartsChanged = true;
}

bool Recipients::resolveAll() {
    bool all = true;
    for (const auto& row : m_state->mailParts().recipients)
        if (!Recipient(m_state, row).resolve()) all = false;
    return all;
}

const TypeInfo& Recipient::typeInfo() const {
    static const TypeInfo info = [] {
        TypeInfo t("Recipient");
        t.getter<Recipient>("Name", 0x3001, [](Recipient& r) { return Variant(r.m_row->name); });
        t.getter<Recipient>("Address", 0x3003, [](Recipient& r) { return Variant(r.address()); });
        t.getter<Recipient>("Type", 0xc15, [](Recipient& r) { return Variant(r.m_row->type); });
        t.setter<Recipient>("Type", 0xc15, [](Recipient& r, const Variant& v) { r.setType(v.toI4()); });
        t.getter<Recipient>("Resolved", 0x64, [](Recipient& r) { return Variant(r.resolved()); });
        t.method<Recipient>("Resolve", 0x71, {}, 0, [](Recipient& r, Args&) { return Variant(r.resolve()); });
        t.method<Recipient>("Delete", 0x6e, {}, 0, [](Recipient& r, Args&) {
            ItemRecord& mail = r.m_state->mailParts();
            std::erase(mail.recipients, r.m_row);
            mail.mailPartsChanged = true;
            return Variant();
        });
        return t;
    }();
    return info;
}

std::string Recipient::address() const { return splitAddress(m_row->name).address; }

bool Recipient::resolve() {
    m_resolved = !address().empty() || m_state->store->mailboxByName(trimmed(m_row->name)).has_value();
    return m_resolved;
}

void Recipient::setType(int32_t type) {
    m_row->type = checkedType(type);
    m_state->mailParts().mailPartsChanged = true;
}

}  // namespace lumora::pim
