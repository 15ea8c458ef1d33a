#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "LanguageChoice.h"
#include "SettingsFile.h"

namespace kelvara {
namespace {

TEST(LanguageChoiceTest, LocaleAndSetting) {
    const std::vector<std::string> english = {"en"};
    const std::vector<std::string> more = {"de", "en"};
    const struct {
        std::string setting;
        const char* locale;
        const std::vector<std::string>& translated;
        const char* expected;
    } cases[] = {
        // The locale alone.
        {"", "zh_CN.UTF-8", english, "zh"},
        {"", "zh_TW.Big5", english, "zh"},
        {"", "en_US.UTF-8", english, "en"},
        {"", "en_GB.ISO-8859-1@euro", english, "en"},
        {"", "EN_au", english, "en"},
        {"", "en", english, "en"},
        {"", "C", english, "zh"},
        {"", "C.UTF-8", english, "zh"},
        {"", "POSIX", english, "zh"},
        {"", "", english, "zh"},
        {"", "de_DE.UTF-8", english, "zh"},  // no German translation
        {"", "de_DE.UTF-8", more, "de"},     // until there is one
        {"", "eng", english, "zh"},          // not English's code
        // A setting overrides the locale, in either case; markers of a missing key do not.
        {"en", "zh_CN.UTF-8", english, "en"},
        {"EN", "C", english, "en"},
        {"en_US", "de_DE", more, "en"},
        {"zh", "en_US.UTF-8", english, "zh"},
        {"fr", "en_US.UTF-8", english, "zh"},
        {SettingsFile::kNotFound, "en_US.UTF-8", english, "en"},
        {SettingsFile::kNotLoaded, "en_US.UTF-8", english, "en"},
        {" en", "zh_CN", english, "zh"},  // not a language name: the locale decides
    };
    for (const auto& c : cases)
        EXPECT_EQ(LanguageChoice::Choose(c.setting, c.locale, c.translated), c.expected)
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
