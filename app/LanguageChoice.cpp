#include "LanguageChoice.h"

#include <cctype>
#include <cstdlib>

namespace kelvara {

bool LanguageChoice::Named(const std::string& name, Language& language) {
    // The language part of language[_territory][.codeset][@modifier], in either case.
    std::string word;
    for (const char c : name) {
        if (c == '_' || c == '-' || c == '.' || c == '@') break;
        if (!std::isalpha(static_cast<unsigned char>(c))) return false;
        word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (word.empty()) return false;
    language = word == "en" ? Language::English : Language::Chinese;
    return true;
}

Language LanguageChoice::Choose(const std::string& setting, const std::string& locale) {
    Language language = Language::Chinese;
    if (Named(setting, language)) return language;
    if (Named(locale, language)) return language;
    return Language::Chinese;
}

std::string LanguageChoice::MessagesLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return value;
    }
    return {};
}

const char* LanguageChoice::Code(Language language) {
    return language == Language::English ? "en" : "zh";
}

}  // namespace kelvara
