#include "cell_number.hpp"

#include <array>
#include <charconv>

namespace lumora::excel {

namespace {

// A number cell holds 15 significant digits exactly; longer digit strings (account and card
// numbers, long references) would come back changed, so they stay text.
constexpr size_t kMaxDigits = 15;

// The spaces a page puts around or between the parts of an amount: the plain one, the
// no-break space and the narrow no-break space some locales group digits with.
constexpr std::array<std::string_view, 3> kSpaces = {" ", "\u00A0", "\u202F"};

bool isSpace(std::string_view separator) {
    for (std::string_view space : kSpaces)
        if (separator == space) return true;
    return false;
}

// Takes one space of any kind off the front of the text; false when there is none.
bool takeSpace(std::string_view& text) {
    for (std::string_view space : kSpaces) {
        if (text.starts_with(space)) {
            text.remove_prefix(space.size());
            return true;
        }
    }
    return false;
}

bool takeSpaceAtEnd(std::string_view& text) {
    for (std::string_view space : kSpaces) {
        if (text.ends_with(space)) {
            text.remove_suffix(space.size());
            return true;
        }
    }
    return false;
}

std::string_view trimmed(std::string_view text) {
    while (takeSpace(text)) {
    }
    while (takeSpaceAtEnd(text)) {
    }
    return text;
}

// A formula, or text a spreadsheet program would start reading as one (OWASP: CSV and formula
// injection). A plain negative amount such as "-5" is among them: "-" leads injections like
// "-2+3+cmd|' /C calc'!A0" as much as "=" does, and a reading that let "-5" through would have
// to decide where a number ends and a formula begins. Such a cell stays text as the page wrote
// it, and the person sees it and can make it a number; the rest of the export is unaffected.
bool hasFormulaLead(std::string_view text) {
    return !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

// Takes the locale's group separator off the front; any kind of space stands for a space
// separator and an apostrophe for the typographic one, as people type them.
bool takeGroupSeparator(std::string_view& text, std::string_view separator) {
    if (separator.empty()) return false;
    if (isSpace(separator)) return takeSpace(text);
    if (text.starts_with(separator)) {
        text.remove_prefix(separator.size());
        return true;
    }
    if (separator == "\u2019" && text.starts_with('\'')) {
        text.remove_prefix(1);
        return true;
    }
    return false;
}

std::string takeDigits(std::string_view& text) {
    size_t count = 0;
    while (count < text.size() && text[count] >= '0' && text[count] <= '9') ++count;
    std::string digits(text.substr(0, count));
    text.remove_prefix(count);
    return digits;
}

// The plain number at the heart of the text: its digits, and how it was written.
struct Digits {
    std::string whole;
    std::string fraction;
    bool grouped = false;
};

std::optional<Digits> readDigits(std::string_view text, const desktop::NumberConventions& conventions) {
    Digits digits;
    digits.whole = takeDigits(text);
    while (!digits.whole.empty() && takeGroupSeparator(text, conventions.groupSeparator)) {
        // The first group has one to three digits, each later one exactly three.
        if (!digits.grouped && digits.whole.size() > 3) return std::nullopt;
        const std::string group = takeDigits(text);
        if (group.size() != 3) return std::nullopt;
        digits.whole += group;
        digits.grouped = true;
    }
    if (text.starts_with(conventions.decimalSeparator)) {
        text.remove_prefix(conventions.decimalSeparator.size());
        digits.fraction = takeDigits(text);
        if (digits.fraction.empty()) return std::nullopt;
    }
    if (!text.empty() || (digits.whole.empty() && digits.fraction.empty())) return std::nullopt;
    if (digits.whole.size() > 1 && digits.whole.front() == '0') return std::nullopt;
    if (digits.whole.size() + digits.fraction.size() > kMaxDigits) return std::nullopt;
    return digits;
}

// The symbol around the number, and whether a space stood between them.
struct Affix {
    enum class Kind { None, CurrencyBefore, CurrencyAfter, Percent } kind = Kind::None;
    bool spaced = false;
};

// Takes a currency symbol or a percent sign off the text; at most one of them.
Affix takeAffix(std::string_view& text, std::string_view currency) {
    Affix affix;
    if (!currency.empty() && text.starts_with(currency)) {
        text.remove_prefix(currency.size());
        affix.kind = Affix::Kind::CurrencyBefore;
        affix.spaced = takeSpace(text);
    } else if (!currency.empty() && text.ends_with(currency)) {
        text.remove_suffix(currency.size());
        affix.kind = Affix::Kind::CurrencyAfter;
        affix.spaced = takeSpaceAtEnd(text);
    } else if (text.ends_with('%')) {
        text.remove_suffix(1);
        affix.kind = Affix::Kind::Percent;
        affix.spaced = takeSpaceAtEnd(text);
    }
    return affix;
}

std::string formatOf(const Digits& digits, const Affix& affix, std::string_view currency) {
    std::string format = digits.grouped ? "#,##0" : "0";
    if (!digits.fraction.empty()) format += "." + std::string(digits.fraction.size(), '0');
    const std::string space = affix.spaced ? " " : "";
    // The symbol is quoted: the format shows it literally, whatever characters it has.
    const std::string symbol = "\"" + std::string(currency) + "\"";
    switch (affix.kind) {
        case Affix::Kind::None: return digits.grouped || !digits.fraction.empty() ? format : std::string();
        case Affix::Kind::CurrencyBefore: return symbol + space + format;
        case Affix::Kind::CurrencyAfter: return format + space + symbol;
        case Affix::Kind::Percent: return format + space + "%";
    }
    return format;
}

}  // namespace

std::optional<CellNumber> readCellNumber(std::string_view text, const desktop::NumberConventions& conventions) {
    if (!conventions.known() || hasFormulaLead(text)) return std::nullopt;
    const std::string_view currency = conventions.currencySymbol.find('"') == std::string::npos
                                          ? std::string_view(conventions.currencySymbol)
                                          : std::string_view();
    std::string_view body = trimmed(text);
    const Affix affix = takeAffix(body, currency);
    const std::optional<Digits> digits = readDigits(body, conventions);
    if (!digits) return std::nullopt;

    // Read from the digits in plain notation, so that the value is the double nearest to what
    // was typed; a percent moves the decimal point, never divides an inexact value.
    std::string plain = (digits->whole.empty() ? "0" : digits->whole) + "." + digits->fraction + "0";
    if (affix.kind == Affix::Kind::Percent) plain += "e-2";
    CellNumber number;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), number.value);
    if (error != std::errc() || end != plain.data() + plain.size()) return std::nullopt;
    number.format = formatOf(*digits, affix, currency);
    return number;
}

}  // namespace lumora::excel
