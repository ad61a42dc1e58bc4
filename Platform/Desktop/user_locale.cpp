#include "user_locale.hpp"

#include <unicode/datefmt.h>
#include <unicode/dcfmtsym.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/uloc.h>
#include <unicode/ures.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <optional>

namespace lumora::desktop::locale {

namespace {

const char* nonEmptyVariable(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// POSIX modifiers that name a script or a currency; the rest ("@valencia") add nothing ICU
// would use for dates or money.
std::string scriptOfModifier(std::string_view modifier) {
    if (modifier == "latin") return "Latn";
    if (modifier == "cyrillic") return "Cyrl";
    if (modifier == "devanagari") return "Deva";
    return {};
}

// True when ICU has data for the locale itself or a parent of it, rather than falling back
// to the process's default locale.
bool icuKnows(const std::string& id) {
    UErrorCode status = U_ZERO_ERROR;
    UResourceBundle* bundle = ures_open(nullptr, id.c_str(), &status);
    const bool known = U_SUCCESS(status) && status != U_USING_DEFAULT_WARNING;
    if (bundle) ures_close(bundle);
    return known;
}

std::string fromLanguageTag(std::string_view tag) {
    std::array<char, ULOC_FULLNAME_CAPACITY> id{};
    UErrorCode status = U_ZERO_ERROR;
    int32_t parsed = 0;
    const std::string text(tag);
    uloc_forLanguageTag(text.c_str(), id.data(), static_cast<int32_t>(id.size()), &parsed, &status);
    if (U_FAILURE(status) || parsed != static_cast<int32_t>(text.size())) return {};
    return id.data();
}

}  // namespace

std::string userLocaleName(const std::optional<std::string>& override, Category category) {
    if (override && !override->empty()) return *override;
    const char* categoryVariable = category == Category::Time ? "LC_TIME" : "LC_MONETARY";
    for (const char* name : {"LC_ALL", categoryVariable, "LANG"}) {
        if (const char* value = nonEmptyVariable(name)) return value;
    }
    return "C";
}

std::string icuLocaleId(std::string_view name) {
    name = trimmed(name);
    std::string_view modifier;
    if (const size_t at = name.find('@'); at != std::string_view::npos) {
        modifier = name.substr(at + 1);
        name = name.substr(0, at);
    }
    if (const size_t dot = name.find('.'); dot != std::string_view::npos) name = name.substr(0, dot);
    if (name.empty()) return {};
    if (name == "C" || name == "POSIX") return "en_US_POSIX";

    const std::string canonicalInput =
        name.find('-') != std::string_view::npos ? fromLanguageTag(name) : std::string(name);
    if (canonicalInput.empty()) return {};
    const icu::Locale parsed = icu::Locale::createCanonical(canonicalInput.c_str());
    if (parsed.isBogus() || *parsed.getLanguage() == '\0') return {};

    std::string id = parsed.getLanguage();
    std::string script = parsed.getScript();
    if (const std::string fromModifier = scriptOfModifier(modifier); !fromModifier.empty()) script = fromModifier;
    if (!script.empty()) id += "_" + script;
    if (*parsed.getCountry()) id += std::string("_") + parsed.getCountry();
    if (*parsed.getVariant()) id += std::string("_") + parsed.getVariant();
    if (modifier == "euro") id += "@currency=EUR";
    return icuKnows(id) ? id : std::string{};
}

std::string dateOrderOfPattern(std::u16string_view pattern) {
    size_t year = std::u16string_view::npos, month = year, day = year;
    bool quoted = false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char16_t c = pattern[i];
        // Text between apostrophes is literal; two apostrophes stand for one.
        if (c == u'\'') {
            quoted = !quoted;
            continue;
        }
        if (quoted) continue;
        if ((c == u'y' || c == u'Y' || c == u'u' || c == u'U' || c == u'r') && year == std::u16string_view::npos) year = i;
        if ((c == u'M' || c == u'L') && month == std::u16string_view::npos) month = i;
        if (c == u'd' && day == std::u16string_view::npos) day = i;
    }
    if (year == std::u16string_view::npos || month == std::u16string_view::npos || day == std::u16string_view::npos)
        return {};
    if (month < day && day < year) return "0";
    if (day < month && month < year) return "1";
    if (year < month && month < day) return "2";
    return {};
}

std::string shortDateOrder(const std::string& icuId) {
    if (icuId.empty()) return {};
    std::unique_ptr<icu::DateFormat> format(icu::DateFormat::createDateInstance(icu::DateFormat::kShort, icu::Locale(icuId.c_str())));
    const auto* simple = dynamic_cast<const icu::SimpleDateFormat*>(format.get());
    if (!simple) return {};
    icu::UnicodeString pattern;
    simple->toPattern(pattern);
    return dateOrderOfPattern(std::u16string_view(pattern.getBuffer(), static_cast<size_t>(pattern.length())));
}

namespace {

// The locale with a country: a language alone ("de") names no country and so no currency;
// take the country its speakers most likely live in, as a desktop would.
std::optional<icu::Locale> withCountry(const std::string& icuId) {
    icu::Locale locale(icuId.c_str());
    if (*locale.getCountry() == '\0') {
        UErrorCode status = U_ZERO_ERROR;
        locale.addLikelySubtags(status);
        if (U_FAILURE(status)) return std::nullopt;
    }
    return locale;
}

std::string symbolText(const icu::DecimalFormatSymbols& symbols, icu::DecimalFormatSymbols::ENumberFormatSymbol which) {
    std::string text;
    symbols.getConstSymbol(which).toUTF8String(text);
    return text;
}

}  // namespace

std::string currencySymbol(const std::string& icuId) { return numberConventions(icuId).currencySymbol; }

NumberConventions numberConventions(const std::string& icuId) {
    if (icuId.empty()) return {};
    const std::optional<icu::Locale> locale = withCountry(icuId);
    if (!locale) return {};
    UErrorCode status = U_ZERO_ERROR;
    const icu::DecimalFormatSymbols symbols(*locale, status);
    if (U_FAILURE(status)) return {};
    using S = icu::DecimalFormatSymbols;
    return NumberConventions{symbolText(symbols, S::kDecimalSeparatorSymbol),
                             symbolText(symbols, S::kGroupingSeparatorSymbol),
                             symbolText(symbols, S::kCurrencySymbol)};
}

}  // namespace lumora::desktop::locale
