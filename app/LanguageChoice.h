#pragma once

#include <string>
#include <vector>

namespace kelvara {

// Which language the interface speaks: key `language` of section "UI" in set/kelvara.ini when
// it names one, else the locale of the messages. A language is its code ("en"); the texts are
// written in Chinese ("zh"), which is also the answer for C, POSIX and every language that has
// no translation.
class LanguageChoice {
  public:
    static constexpr const char* kSource = "zh";

    // `setting` is the settings value (SettingsFile's markers for a missing key or file name no
    // language), `locale` a locale name such as "en_US.UTF-8", "zh_CN" or "C", `translated` the
    // codes that have a translation. The result is one of them or kSource.
    static std::string Choose(const std::string& setting, const std::string& locale,
                              const std::vector<std::string>& translated);
    // The locale that names the messages' language: LC_ALL, else LC_MESSAGES, else LANG, the
    // first that is set and not empty.
    static std::string MessagesLocale();

  private:
    // The language part of language[_territory][.codeset][@modifier], in lower case; empty
    // when `name` is none.
    static std::string LanguageOf(const std::string& name);
};

}  // namespace kelvara
