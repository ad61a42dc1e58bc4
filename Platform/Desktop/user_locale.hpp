#pragma once
// The user's locale as the operating system names it, turned into the answers the controls
// ask for: the order of day, month and year in a short date, and the currency symbol.
// Internal to the desktop library.

#include <optional>
#include <string>
#include <string_view>

#include "desktop.hpp"

namespace lumora::desktop::locale {

// The POSIX categories whose environment variables choose a locale.
enum class Category { Time, Monetary };

// The locale name in force for the category: the override when given, else the first
// non-empty of LC_ALL, the category's own variable and LANG, else "C".
std::string userLocaleName(const std::optional<std::string>& override, Category category);

// Turns a POSIX locale name ("en_GB.UTF-8", "sr_RS@latin", "C") or a BCP 47 tag ("en-GB")
// into an ICU locale id. "C" and "POSIX" become "en_US_POSIX". "" when the name is not one
// ICU knows, so that a typing error never silently borrows another locale's conventions.
std::string icuLocaleId(std::string_view name);

// "0" month-day-year, "1" day-month-year, "2" year-month-day, read from a date pattern in the
// Unicode (LDML) notation; "" for any other order or when a part is missing.
std::string dateOrderOfPattern(std::u16string_view pattern);

// The order of the locale's short date ("" when it cannot be told) and its currency symbol
// ("" for an unknown locale).
std::string shortDateOrder(const std::string& icuId);
std::string currencySymbol(const std::string& icuId);
// The decimal and group separators and the currency symbol; all empty for an unknown locale.
NumberConventions numberConventions(const std::string& icuId);

}  // namespace lumora::desktop::locale
