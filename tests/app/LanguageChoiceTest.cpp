#include <gtest/gtest.h>

#include <cstdlib>

#include "LanguageChoice.h"
#include "SettingsFile.h"

namespace kelvara {
namespace {

TEST(LanguageChoiceTest, LocaleAndSetting) {
    constexpr Language zh = Language::Chinese;
    constexpr Language en = Language::English;
    const struct {
        std::string setting;
        const char* locale;
        Language expected;
    } cases[] = {
        // The locale alone.
        {"", "zh_CN.UTF-8", zh},
        {"", "zh_TW.Big5", zh},
        {"", "en_US.UTF-8", en},
        {"", "en_GB.ISO-8859-1@euro", en},
        {"", "EN_au", en},
        {"", "en", en},
        {"", "C", zh},
        {"", "C.UTF-8", zh},
        {"", "POSIX", zh},
        {"", "", zh},
        {"", "de_DE.UTF-8", zh},  // no German translation
        {"", "eng", zh},          // not English's code
        // A setting overrides the locale, in either case; markers of a missing key do not.
        {"en", "zh_CN.UTF-8", en},
        {"EN", "C", en},
        {"en_US", "de_DE", en},
        {"zh", "en_US.UTF-8", zh},
        {"fr", "en_US.UTF-8", zh},
        {SettingsFile::kNotFound, "en_US.UTF-8", en},
        {SettingsFile::kNotLoaded, "en_US.UTF-8", en},
        {" en", "zh_CN", zh},  // not a language name: the locale decides
    };
    for (const auto& c : cases)
        EXPECT_EQ(LanguageChoice::Choose(c.setting, c.locale), c.expected)
            << "setting '" << c.setting << "' locale '" << c.locale << "'";
}

TEST(LanguageChoiceTest, MessagesLocaleTakesTheFirstSetVariable) {
    setenv("LANG", "zh_CN.UTF-8", 1);
    setenv("LC_MESSAGES", "", 1);
    setenv("LC_ALL", "en_US.UTF-8", 1);
    EXPECT_EQ(LanguageChoice::MessagesLocale(), "en_US.UTF-8");
    unsetenv("LC_ALL");
    EXPECT_EQ(LanguageChoice::MessagesLocale(), "zh_CN.UTF-8");  // empty LC_MESSAGES skipped
    setenv("LC_MESSAGES", "C", 1);
    EXPECT_EQ(LanguageChoice::MessagesLocale(), "C");
}

}  // namespace
}  // namespace kelvara
