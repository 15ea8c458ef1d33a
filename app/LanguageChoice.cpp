#include "LanguageChoice.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace kelvara {

std::string LanguageChoice::LanguageOf(const std::string& name) {
    std::string code;
    for (const char c : name) {
        if (c == '_' || c == '-' || c == '.' || c == '@') break;
        if (!std::isalpha(static_cast<unsigned char>(c))) return {};
        code += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return code;
}

std::string LanguageChoice::Choose(const std::string& setting, const std::string& locale,
                                   const std::vector<std::string>& translated) {
    std::string code = LanguageOf(setting);
    if (code.empty()) code = LanguageOf(locale);
    const bool known = std::find(translated.begin(), translated.end(), code) != translated.end();
    return known ? code : kSource;
}

std::string LanguageChoice::MessagesLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return value;
    }
    return {};
}

}  // namespace kelvara
