#include "ServiceText.h"

#include <algorithm>
#include <cctype>

namespace kelvara {

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

std::string ServiceText::CutUtf8(const std::string& text, std::size_t bytes) {
    if (text.size() <= bytes) return text;
    std::size_t end = bytes;
    // Step back over continuation bytes to the start of the character that does not fit.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

std::vector<std::string> ServiceText::Strings() const {
    return {CutUtf8("name=" + name, kMaxTxtString), CutUtf8("version=" + version, kMaxTxtString),
            busy ? "busy=1" : "busy=0"};
}

ServiceText ServiceText::Parse(const std::vector<std::string>& strings) {
    ServiceText text;
    bool seenName = false, seenVersion = false, seenBusy = false;
    for (const std::string& s : strings) {
        const std::size_t eq = s.find('=');
        if (eq == std::string::npos || eq == 0) continue;
        const std::string key = Lower(s.substr(0, eq));
        const std::string value = s.substr(eq + 1);
        if (key == "name" && !seenName) {
            text.name = value;
            seenName = true;
        } else if (key == "version" && !seenVersion) {
            text.version = value;
            seenVersion = true;
        } else if (key == "busy" && !seenBusy) {
            text.busy = value == "1";
            seenBusy = true;
        }
    }
    return text;
}

std::string ServiceText::ServiceName(const std::string& name, const std::string& fallback) {
    std::string cut = CutUtf8(name, kMaxServiceName);
    return cut.empty() ? CutUtf8(fallback, kMaxServiceName) : cut;
}

}  // namespace kelvara
