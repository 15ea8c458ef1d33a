#include "PlayerBook.h"

#include <cctype>
#include <climits>

#include "SettingsFile.h"

namespace kelvara {

std::optional<int> PlayerBook::ParseNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' ||
                               text[i] == '\r' || text[i] == '\v' || text[i] == '\f'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t firstDigit = i;
    long long value = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        // Saturate instead of overflowing; such numbers mean "too many" or "no such entry".
        if (value <= INT_MAX) value = value * 10 + (text[i] - '0');
        ++i;
    }
    if (i == firstDigit) return std::nullopt;
    if (value > INT_MAX) value = INT_MAX;
    return static_cast<int>(negative ? -value : value);
}

bool PlayerBook::Load(const std::string& path) {
    names_.clear();
    for (auto& d : defaults_) d.reset();
    SettingsFile file;
    if (file.Load(path) != 1) return false;

    int count = ParseNumber(file.GetValue("playercount")).value_or(0);
    if (count > kMaxPlayers) count = kMaxPlayers;
    for (int i = 0; i < count; ++i)
        names_.push_back(file.GetValue("player" + std::to_string(i), "name"));
    for (int d = 0; d < 4; ++d)
        defaults_[d] = ParseNumber(file.GetValue("def" + std::to_string(d + 1)));
    file.Clear();
    return true;
}

std::optional<int> PlayerBook::DefaultIndex(int which) const {
    if (which < 1 || which > 4) return std::nullopt;
    return defaults_[which - 1];
}

}  // namespace kelvara
