#include "draft_addresses.hpp"

#include <unicode/uidna.h>

#include <algorithm>
#include <memory>

#include "Automation/vb/utf8.hpp"
#include "draft_parts.hpp"
#include "gobject_handle.hpp"
#include "mail_recipients.hpp"
#include "pim_item.hpp"

namespace lumora::pim {

namespace {

constexpr size_t kMaxDomainBytes = 253;  // RFC 1035: what DNS can carry

struct UidnaClose {
    void operator()(UIDNA* idna) const noexcept { uidna_close(idna); }
};

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::optional<std::string> asciiDomain(std::string_view domain) {
    if (isAscii(domain)) return std::string(domain);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UIDNA, UidnaClose> idna(
        uidna_openUTS46(UIDNA_NONTRANSITIONAL_TO_ASCII | UIDNA_CHECK_BIDI | UIDNA_CHECK_CONTEXTJ, &status));
    if (U_FAILURE(status)) return std::nullopt;
    char labels[kMaxDomainBytes + 1];
    UIDNAInfo info = UIDNA_INFO_INITIALIZER;
    const int32_t length = uidna_nameToASCII_UTF8(idna.get(), domain.data(), static_cast<int32_t>(domain.size()), labels,
                                                  static_cast<int32_t>(sizeof labels), &info, &status);
    if (U_FAILURE(status) || info.errors != 0 || length <= 0 || length > static_cast<int32_t>(kMaxDomainBytes))
        return std::nullopt;
    return std::string(labels, static_cast<size_t>(length));
}

GMimeAddressType lineOf(int32_t type) {
    switch (static_cast<RecipientType>(type)) {
    case RecipientType::CC: return GMIME_ADDRESS_TYPE_CC;
    case RecipientType::BCC: return GMIME_ADDRESS_TYPE_BCC;
    case RecipientType::To: break;
    }
    return GMIME_ADDRESS_TYPE_TO;
}

GObjectHandle<InternetAddress> inUtf8(InternetAddress* address) {
    internet_address_set_charset(address, "utf-8");
    return owned(address);
}

// A recipient as the draft writes it. A name that is no address (a placeholder for the person
// to replace) stays visible as an empty group of that name. So does an address whose local part
// is not ASCII: RFC 6532 would allow it only in a message all of whose headers are UTF-8, which
// the mail programs this draft is for do not all read, and servers without SMTPUTF8 would refuse
// it after the person pressed Send. As a group it shows in the To line for the person to correct,
// and no header holds anything but ASCII.
GObjectHandle<InternetAddress> recipientAddress(const std::string& text) {
    // Bytes that are no UTF-8 would go into the header as they are: they become U+FFFD.
    const std::string line = vb::utf8::wellFormed(oneLine(text));
    const NamedAddress named = splitAddress(line);
    if (!named.address.empty())
        if (std::optional<std::string> address = asciiAddress(named.address))
            return inUtf8(internet_address_mailbox_new(named.displayName.c_str(), address->c_str()));
    return inUtf8(internet_address_group_new(named.address.empty() ? named.displayName.c_str() : line.c_str()));
}

// RFC 2047 (section 5) wants white space between an encoded word and a special character after
// it. GMime writes a group whose name ends in one as "=?UTF-8?q?...?=: ;", which readers flag,
// so the colon of such a group moves one space away.
std::string spacedGroupColons(std::string_view header) {
    std::string out;
    out.reserve(header.size() + 8);
    bool quoted = false;
    for (size_t i = 0; i < header.size(); ++i) {
        const char c = header[i];
        out += c;
        if (c == '\\' && quoted && i + 1 < header.size()) out += header[++i];
        else if (c == '"') quoted = !quoted;
        else if (!quoted && c == '=' && i > 0 && header[i - 1] == '?' && i + 1 < header.size() && header[i + 1] == ':')
            out += ' ';
    }
    return out;
}

// GMime folds between addresses but not inside a name, and a placeholder may be longer than a
// line may be (RFC 5322: 998 characters). Lines longer than 78 break before a blank in them
// (folding white space, which unfolding takes back out), never inside a quoted pair.
std::string foldedLines(std::string_view header, size_t nameLength) {
    constexpr size_t kFoldAt = 78;
    std::string out;
    size_t column = nameLength + 1;  // "To:"
    size_t lastBlank = std::string::npos;
    for (size_t i = 0; i < header.size(); ++i) {
        const char c = header[i];
        if (c == '\n') {
            out += c;
            column = 0;
            lastBlank = std::string::npos;
            continue;
        }
        if ((c == ' ' || c == '\t') && i > 0 && header[i - 1] != '\\' && header[i - 1] != '\n') {
            if (column >= kFoldAt && lastBlank != std::string::npos) {
                out.insert(lastBlank, "\n");
                column = out.size() - lastBlank - 1;
            }
            lastBlank = out.size();
        }
        out += c;
        ++column;
    }
    return out;
}

void tidyAddressHeaders(GMimeMessage* message) {
    GMimeHeaderList* headers = g_mime_object_get_header_list(GMIME_OBJECT(message));
    for (std::string_view name : {"To", "Cc", "Bcc"})
        if (GMimeHeader* header = g_mime_header_list_get_header(headers, name.data()))
            if (const char* raw = g_mime_header_get_raw_value(header))
                g_mime_header_set_raw_value(header, foldedLines(spacedGroupColons(raw), name.size()).c_str());
}

}  // namespace

std::optional<std::string> asciiAddress(std::string_view address) {
    const size_t at = address.rfind('@');
    if (at == std::string_view::npos || !isAscii(address.substr(0, at))) return std::nullopt;
    std::optional<std::string> domain = asciiDomain(address.substr(at + 1));
    if (!domain) return std::nullopt;
    return std::string(address.substr(0, at + 1)) + *domain;
}

void addSender(GMimeMessage* message, const ItemRecord& mail) {
    const std::string sender = textValue(mail, "SenderEmailAddress");
    if (!isInternetAddress(sender)) return;
    const std::optional<std::string> address = asciiAddress(sender);
    if (!address) return;
    const std::string name = vb::utf8::wellFormed(oneLine(textValue(mail, "SenderName")));
    auto from = inUtf8(internet_address_mailbox_new(name.c_str(), address->c_str()));
    internet_address_list_add(g_mime_message_get_from(message), from.get());
}

// Each line is gathered in a list of its own and appended to the message's once: the message
// re-encodes a line's header on every change, which made a campaign's thousands of BCC
// addresses cost time in the square of their number.
void addRecipients(GMimeMessage* message, const ItemRecord& mail) {
    for (int32_t type : {int32_t(RecipientType::To), int32_t(RecipientType::CC), int32_t(RecipientType::BCC)}) {
        auto line = owned(internet_address_list_new());
        for (const auto& recipient : mail.recipients)
            if (recipient->type == type) internet_address_list_add(line.get(), recipientAddress(recipient->name).get());
        if (internet_address_list_length(line.get()) > 0)
            internet_address_list_append(g_mime_message_get_addresses(message, lineOf(type)), line.get());
    }
    tidyAddressHeaders(message);
}

}  // namespace lumora::pim
