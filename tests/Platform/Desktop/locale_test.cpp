// The user's date order and currency symbol, read from the locale the way the controls'
// dateFormatOrder and currencyFormat need them.

#include <gtest/gtest.h>

#include "Platform/Desktop/system_services.hpp"
#include "environment_guard.hpp"

using namespace lumora::desktop;

namespace {

SystemServices inLocale(const std::string& name) {
    SystemConfig config;
    config.locale = name;
    return SystemServices(config);
}

}  // namespace

TEST(DateOrder, ShortDateOrderOfCommonLocales) {
    EXPECT_EQ(inLocale("en_GB").dateOrder(), "1");
    EXPECT_EQ(inLocale("en_US").dateOrder(), "0");
    EXPECT_EQ(inLocale("ja_JP").dateOrder(), "2");
    EXPECT_EQ(inLocale("sv_SE").dateOrder(), "2");
    EXPECT_EQ(inLocale("de_DE.UTF-8").dateOrder(), "1");
    EXPECT_EQ(inLocale("en-GB").dateOrder(), "1");
    EXPECT_EQ(inLocale("C").dateOrder(), "0");
}

TEST(DateOrder, UnknownLocaleCannotBeToldRatherThanBorrowingAnother) {
    EXPECT_EQ(inLocale("xx_YY").dateOrder(), "");
    EXPECT_EQ(inLocale("@@@").dateOrder(), "");
}

TEST(LocaleEnvironment, LcAllThenTheCategoryThenLangThenC) {
    EnvironmentGuard env;
    env.set("LC_ALL", std::nullopt);
    env.set("LC_TIME", "ja_JP.UTF-8");
    env.set("LC_MONETARY", "de_CH.UTF-8");
    env.set("LANG", "en_US.UTF-8");
    EXPECT_EQ(SystemServices().dateOrder(), "2");
    EXPECT_EQ(SystemServices().currencySymbol(), "CHF");
    env.set("LC_ALL", "en_GB.UTF-8");
    EXPECT_EQ(SystemServices().dateOrder(), "1");
    EXPECT_EQ(SystemServices().currencySymbol(), "£");
    env.set("LC_ALL", "");  // empty counts as unset
    env.set("LC_TIME", std::nullopt);
    EXPECT_EQ(SystemServices().dateOrder(), "0");
    env.set("LANG", std::nullopt);
    EXPECT_EQ(SystemServices().dateOrder(), "0");
}

TEST(CurrencySymbol, SymbolOfTheLocaleReturnedWhole) {
    EXPECT_EQ(inLocale("en_GB").currencySymbol(), "£");
    EXPECT_EQ(inLocale("en_US").currencySymbol(), "$");
    EXPECT_EQ(inLocale("de_DE@euro").currencySymbol(), "€");
    EXPECT_EQ(inLocale("de_CH").currencySymbol(), "CHF");
    EXPECT_EQ(inLocale("de").currencySymbol(), "€");  // a language alone: its most likely country
    EXPECT_EQ(inLocale("xx_YY").currencySymbol(), "");
}
