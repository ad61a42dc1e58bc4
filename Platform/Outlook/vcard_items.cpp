#include "vcard_items.hpp"

#include <algorithm>
#include <cctype>
#include <optional>

#include "Automation/vb/convert.hpp"
#include "Automation/vb/strings.hpp"
#include "content_lines.hpp"
#include "item_properties.hpp"
#include "pim_errors.hpp"
#include "pim_item.hpp"

namespace lumora::pim {

namespace {

// ---- reading ----

struct ContentLine {
    std::string name;                 // upper case, without its group
    std::vector<std::string> types;   // lower case, from TYPE= and 2.1's bare words
    bool quotedPrintable = false;
    std::string value;                // raw, escapes still in place
};

std::string upper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::vector<std::string> splitUnquoted(std::string_view text, char separator) {
    std::vector<std::string> parts(1);
    bool quoted = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (c == separator && !quoted) {
            parts.emplace_back();
            continue;
        }
        parts.back() += c;
    }
    return parts;
}

std::optional<ContentLine> contentLine(const std::string& line) {
    // The colon that ends the name and parameters is the first one outside a quoted parameter.
    const size_t valueStart = valueStartOf(line);
    if (valueStart == std::string::npos) return std::nullopt;
    const size_t colon = valueStart - 1;
    std::vector<std::string> head = splitUnquoted(std::string_view(line).substr(0, colon), ';');
    ContentLine parsed;
    std::string name = head[0];
    if (size_t dot = name.rfind('.'); dot != std::string::npos) name.erase(0, dot + 1);
    parsed.name = upper(name);
    for (size_t i = 1; i < head.size(); ++i) {
        const size_t equals = head[i].find('=');
        const std::string key = upper(head[i].substr(0, equals));
        const std::string value = equals == std::string::npos ? head[i] : head[i].substr(equals + 1);
        if (equals == std::string::npos || key == "TYPE") {
            for (const std::string& type : splitUnquoted(value, ',')) parsed.types.push_back(lower(type));
        } else if (key == "ENCODING" && upper(value) == "QUOTED-PRINTABLE") {
            parsed.quotedPrintable = true;
        }
    }
    if (std::find(parsed.types.begin(), parsed.types.end(), "quoted-printable") != parsed.types.end())
        parsed.quotedPrintable = true;
    parsed.value = line.substr(colon + 1);
    return parsed;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string decodeQuotedPrintable(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '=' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 && hexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool isUtf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xe ? 3 : (lead >> 3) == 0x1e ? 4 : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xc0) != 0x80) return false;
        i += length;
    }
    return true;
}

// Older programs write their own code page (CHARSET=ISO-8859-1, or none at all); text that is
// not UTF-8 is read as Latin-1, so the store never holds broken characters.
std::string asUtf8(std::string text) {
    if (isUtf8(text)) return text;
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xc0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3f));
        }
    }
    return out;
}

// A value's components, split at unescaped ";" and with \n, \, \; and \\ resolved.
std::vector<std::string> components(std::string_view raw) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < raw.size(); ++i) {
        char c = raw[i];
        if (c == '\\' && i + 1 < raw.size()) {
            const char next = raw[++i];
            parts.back() += (next == 'n' || next == 'N') ? '\n' : next;
        } else if (c == ';') {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

std::string textOf(const ContentLine& line) {
    return unescapedText(asUtf8(line.quotedPrintable ? decodeQuotedPrintable(line.value) : line.value));
}

std::vector<std::string> componentsOf(const ContentLine& line) {
    return components(asUtf8(line.quotedPrintable ? decodeQuotedPrintable(line.value) : line.value));
}

bool hasType(const ContentLine& line, std::string_view type) {
    return std::find(line.types.begin(), line.types.end(), type) != line.types.end();
}

// Line breaks as the contact's fields keep them: CR LF.
std::string withCrLf(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') continue;
        if (text[i] == '\n') out += '\r';
        out += text[i];
    }
    return out;
}

void setIfEmpty(ItemRecord& contact, const std::string& field, const std::string& value) {
    if (value.empty()) return;
    auto it = contact.values.find(field);
    if (it == contact.values.end() || it->second.toString().empty()) contact.values[field] = Variant(value);
}

// The first of the fields that is still free takes the value.
void fillFirstFree(ItemRecord& contact, std::initializer_list<const char*> fields, const std::string& value) {
    if (value.empty()) return;
    for (const char* field : fields)
        if (!contact.values.contains(field)) {
            contact.values[field] = Variant(value);
            return;
        }
}

void readTelephone(ItemRecord& contact, const ContentLine& line) {
    std::string number = textOf(line);
    if (number.rfind("tel:", 0) == 0) number.erase(0, 4);
    const bool work = hasType(line, "work"), home = hasType(line, "home");
    if (hasType(line, "fax"))
        fillFirstFree(contact, {home && !work ? "HomeFaxNumber" : "BusinessFaxNumber"}, number);
    else if (hasType(line, "cell") || hasType(line, "iphone") || hasType(line, "mobile"))
        fillFirstFree(contact, {"MobileTelephoneNumber"}, number);
    else if (hasType(line, "pager"))
        fillFirstFree(contact, {"PagerNumber"}, number);
    else if (work)
        fillFirstFree(contact, {"BusinessTelephoneNumber", "Business2TelephoneNumber"}, number);
    else if (home)
        fillFirstFree(contact, {"HomeTelephoneNumber", "Home2TelephoneNumber"}, number);
    else
        fillFirstFree(contact, {"OtherTelephoneNumber", "BusinessTelephoneNumber"}, number);
}

void readAddress(ItemRecord& contact, const ContentLine& line) {
    std::vector<std::string> parts = componentsOf(line);
    parts.resize(7);
    const char* prefix = hasType(line, "work") ? "Business" : hasType(line, "home") ? "Home" : "Other";
    const std::string base = std::string(prefix) + "Address";
    if (contact.values.contains(base + "Street") || contact.values.contains(base + "City")) return;
    // Post-office box, extended address and street, each on its own line of the street field.
    std::string street;
    for (size_t i : {0u, 1u, 2u})
        if (!parts[i].empty()) street += (street.empty() ? "" : "\n") + parts[i];
    setIfEmpty(contact, base + "Street", withCrLf(street));
    setIfEmpty(contact, base + "City", parts[3]);
    setIfEmpty(contact, base + "State", parts[4]);
    setIfEmpty(contact, base + "PostalCode", parts[5]);
    setIfEmpty(contact, base + "Country", parts[6]);
}

// "1985-04-12", "19850412", "1985-04-12T00:00:00Z"; a date without a year ("--0412") has no
// place in the Birthday field and is left out.
std::optional<Date> birthdayOf(const std::string& text) {
    std::string digits;
    for (char c : text) {
        if (c == 'T') break;
        if (c >= '0' && c <= '9') digits += c;
    }
    if (digits.size() != 8 || text.rfind("--", 0) == 0) return std::nullopt;
    vb::CivilTime day{std::stoi(digits.substr(0, 4)), std::stoi(digits.substr(4, 2)), std::stoi(digits.substr(6, 2))};
    if (day.month < 1 || day.month > 12 || day.day < 1 || day.day > 31 || !vb::isInDateRange(vb::toDate(day).days))
        return std::nullopt;
    return vb::toDate(day);
}

void readProperty(ItemRecord& contact, const ContentLine& line) {
    const std::string& name = line.name;
    if (name == "N") {
        std::vector<std::string> parts = componentsOf(line);
        parts.resize(5);
        setIfEmpty(contact, "LastName", parts[0]);
        setIfEmpty(contact, "FirstName", parts[1]);
        setIfEmpty(contact, "MiddleName", parts[2]);
        setIfEmpty(contact, "Title", parts[3]);
        setIfEmpty(contact, "Suffix", parts[4]);
    } else if (name == "FN") {
        setIfEmpty(contact, "FullName", textOf(line));
    } else if (name == "ORG") {
        std::vector<std::string> parts = componentsOf(line);
        parts.resize(2);
        setIfEmpty(contact, "CompanyName", parts[0]);
        setIfEmpty(contact, "Department", parts[1]);
    } else if (name == "TITLE") {
        setIfEmpty(contact, "JobTitle", textOf(line));
    } else if (name == "NICKNAME") {
        setIfEmpty(contact, "NickName", textOf(line));
    } else if (name == "TEL") {
        readTelephone(contact, line);
    } else if (name == "EMAIL") {
        fillFirstFree(contact, {"Email1Address", "Email2Address", "Email3Address"}, textOf(line));
    } else if (name == "ADR") {
        readAddress(contact, line);
    } else if (name == "NOTE") {
        setIfEmpty(contact, "Body", withCrLf(textOf(line)));
    } else if (name == "URL") {
        fillFirstFree(contact, {hasType(line, "home") ? "PersonalHomePage" : "BusinessHomePage"}, textOf(line));
    } else if (name == "BDAY") {
        if (std::optional<Date> birthday = birthdayOf(textOf(line))) contact.values["Birthday"] = Variant(*birthday);
    } else if (name == "UID") {
        if (contact.uid.empty()) contact.uid = textOf(line);
    }
}

// ---- writing ----

std::string escaped(std::string_view text, bool structured) {
    return escapedText(text, structured ? Semicolons::Escaped : Semicolons::Kept);
}

class CardWriter {
public:
    explicit CardWriter(const ItemRecord& contact) : m_contact(contact) {}
    std::string field(const char* name) const { return textValue(m_contact, name); }

    void text(const std::string& property, const std::string& value) {
        if (!value.empty()) appendFolded(m_out, property + ":" + escaped(value, false));
    }
    void structured(const std::string& property, std::initializer_list<std::string> parts) {
        bool any = false;
        std::string line = property + ":";
        bool first = true;
        for (const std::string& part : parts) {
            if (!first) line += ';';
            first = false;
            line += escaped(part, true);
            any = any || !part.empty();
        }
        if (any) appendFolded(m_out, line);
    }
    void address(const char* type, const std::string& base) {
        std::string street = field((base + "Street").c_str());
        structured("ADR;TYPE=" + std::string(type),
                   {"", "", street, field((base + "City").c_str()), field((base + "State").c_str()),
                    field((base + "PostalCode").c_str()), field((base + "Country").c_str())});
    }
    std::string take() { return std::move(m_out); }

private:
    const ItemRecord& m_contact;
    std::string m_out;
};

// A scheme as RFC 3986 starts a URI with: a letter, then letters, digits, "+", "-" or ".", and a colon.
bool startsWithUriScheme(std::string_view text) {
    const size_t colon = text.find(':');
    if (colon == 0 || colon == std::string_view::npos || !std::isalpha(static_cast<unsigned char>(text[0]))) return false;
    return std::all_of(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(colon), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
    });
}

// RFC 6350 section 6.7.6: a UID is a URI ("urn:uuid:..."); one from another program that is
// no URI is written as text, escaped like any, so that no value starts a line of its own.
std::string uidLine(const std::string& uid) {
    const bool plain = std::none_of(uid.begin(), uid.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
    return plain && startsWithUriScheme(uid) ? "UID:" + uid : "UID;VALUE=text:" + escaped(uid, false);
}

// RFC 6350 requires a formatted name: the name given, else the one composed of its parts, the
// organisation, or the first e-mail address, so that a card of an address alone still names it.
std::string formattedName(const CardWriter& card, const ItemRecord& contact) {
    std::string fullName = card.field("FullName");
    if (fullName.empty()) fullName = composedFullName(contact);
    for (const char* fallback : {"CompanyName", "Email1Address", "Email2Address", "Email3Address"})
        if (fullName.empty()) fullName = card.field(fallback);
    return fullName;
}

}  // namespace

std::string vcardPropertiesOf(const ItemRecord& contact) {
    CardWriter card(contact);
    std::string out;
    if (!contact.uid.empty()) appendFolded(out, uidLine(contact.uid));
    appendFolded(out, "FN:" + escaped(formattedName(card, contact), false));
    card.structured("N", {card.field("LastName"), card.field("FirstName"), card.field("MiddleName"),
                          card.field("Title"), card.field("Suffix")});
    card.text("NICKNAME", card.field("NickName"));
    card.structured("ORG", {card.field("CompanyName"), card.field("Department")});
    card.text("TITLE", card.field("JobTitle"));
    struct Phone {
        const char* field;
        const char* type;
    };
    static constexpr Phone kPhones[] = {
        {"BusinessTelephoneNumber", "work,voice"}, {"Business2TelephoneNumber", "work,voice"},
        {"HomeTelephoneNumber", "home,voice"},     {"Home2TelephoneNumber", "home,voice"},
        {"MobileTelephoneNumber", "cell"},         {"BusinessFaxNumber", "work,fax"},
        {"HomeFaxNumber", "home,fax"},             {"PagerNumber", "pager"},
        {"OtherTelephoneNumber", "voice"}};
    for (const Phone& phone : kPhones)
        // A TYPE list unquoted: quoted, readers of vCard 3.0 take "work,voice" for one type.
        card.text(std::string("TEL;VALUE=text;TYPE=") + phone.type, card.field(phone.field));
    for (const char* email : {"Email1Address", "Email2Address", "Email3Address"}) card.text("EMAIL", card.field(email));
    card.address("work", "BusinessAddress");
    card.address("home", "HomeAddress");
    card.address("other", "OtherAddress");
    card.text("URL;TYPE=work", card.field("BusinessHomePage"));
    card.text("URL;TYPE=home", card.field("PersonalHomePage"));
    const Variant birthday = storedValue(contact, "Birthday");
    if (birthday.toDate().days != kNoDate.days) card.text("BDAY", vb::formatDate(birthday.toDate(), "yyyyMMdd"));
    card.text("NOTE", card.field("Body"));
    return out + card.take();
}

void readVCardLine(ItemRecord& contact, const std::string& line) {
    if (std::optional<ContentLine> parsed = contentLine(line)) readProperty(contact, *parsed);
}

std::string vcardText(const std::vector<const ItemRecord*>& contacts) {
    std::string out;
    for (const ItemRecord* contact : contacts)
        if (contact->itemClass == ItemClass::Contact)
            out += "BEGIN:VCARD\r\nVERSION:4.0\r\n" + vcardPropertiesOf(*contact) + "END:VCARD\r\n";
    return out;
}

std::span<const std::string_view> vcardFields() {
    static constexpr std::string_view kFields[] = {
        "LastName", "FirstName", "MiddleName", "Title", "Suffix", "FullName", "CompanyName", "Department", "JobTitle",
        "NickName", "BusinessTelephoneNumber", "Business2TelephoneNumber", "HomeTelephoneNumber",
        "Home2TelephoneNumber", "MobileTelephoneNumber", "BusinessFaxNumber", "HomeFaxNumber", "PagerNumber",
        "OtherTelephoneNumber", "Email1Address", "Email2Address", "Email3Address", "BusinessAddressStreet",
        "BusinessAddressCity", "BusinessAddressState", "BusinessAddressPostalCode", "BusinessAddressCountry",
        "HomeAddressStreet", "HomeAddressCity", "HomeAddressState", "HomeAddressPostalCode", "HomeAddressCountry",
        "OtherAddressStreet", "OtherAddressCity", "OtherAddressState", "OtherAddressPostalCode",
        "OtherAddressCountry", "Body", "BusinessHomePage", "PersonalHomePage", "Birthday"};
    return kFields;
}

std::vector<ItemRecord> readVCards(std::string_view text) {
    std::vector<ItemRecord> contacts;
    std::optional<ItemRecord> open;
    for (const LogicalLine& line : logicalLines(text, SoftBreaks::Joined)) {
        std::optional<ContentLine> parsed = contentLine(line.text);
        if (!parsed) continue;  // a stray line is no property: skipped, as mail programs do
        if (parsed->name == "BEGIN" && upper(parsed->value) == "VCARD") {
            if (open) raise(PimError::BadImportFile, "a vCard starts inside another");
            open.emplace();
            open->itemClass = ItemClass::Contact;
        } else if (parsed->name == "END" && upper(parsed->value) == "VCARD") {
            if (!open) raise(PimError::BadImportFile, "END:VCARD without BEGIN:VCARD");
            // A formatted name that only repeats the name's parts is not kept apart from them, so
            // that it follows them when they change, as it did before the card was written.
            if (auto name = open->values.find("FullName");
                name != open->values.end() && name->second.toString() == composedFullName(*open))
                open->values.erase(name);
            contacts.push_back(std::move(*open));
            open.reset();
        } else if (open) {
            readProperty(*open, *parsed);
        }
    }
    if (open) raise(PimError::BadImportFile, "the last vCard has no END:VCARD");
    if (contacts.empty()) raise(PimError::BadImportFile, "no vCard");
    return contacts;
}

}  // namespace lumora::pim
