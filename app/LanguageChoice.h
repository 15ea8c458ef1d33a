#pragma once

#include <string>

namespace kelvara {

// The languages the interface speaks. Chinese is the language the texts are written in.
enum class Language { Chinese, English };

// Which language the interface speaks: key `language` of section "UI" in set/kelvara.ini when
// it is set, else the locale of the messages. English for a name beginning with "en"; Chinese
// for "zh", for C and POSIX and for every language without a translation.
class LanguageChoice {
  public:
    // `setting` is the settings value (SettingsFile's markers for a missing key or file count
    // as unset), `locale` a locale name such as "en_US.UTF-8", "zh_CN" or "C".
    static Language Choose(const std::string& setting, const std::string& locale);
    // The locale that names the messages' language: LC_ALL, else LC_MESSAGES, else LANG, the
    // first that is set and not empty.
    static std::string MessagesLocale();
    // "zh" or "en".
    static const char* Code(Language language);

  private:
    // The language a locale or settings name asks for; false when it names none.
    static bool Named(const std::string& name, Language& language);
};

}  // namespace kelvara
