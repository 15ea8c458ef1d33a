#include "Translation.h"

#include <vector>

namespace kelvara {

std::atomic<Translation::Function> Translation::function_{nullptr};

void Translation::Install(Function function) {
    function_.store(function, std::memory_order_release);
}

std::string Translation::Text(const char* context, const char* text, int count) {
    if (const Function function = function_.load(std::memory_order_acquire))
        return function(context, text, count);
    std::string result = text;
    if (count < 0) return result;
    const std::string number = std::to_string(count);
    for (std::size_t at = result.find("%n"); at != std::string::npos;
         at = result.find("%n", at + number.size()))
        result.replace(at, 2, number);
    return result;
}

std::string Translation::Fill(std::string_view pattern,
                              std::initializer_list<std::string_view> args) {
    const std::vector<std::string_view> values(args);
    std::string result;
    result.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        if (pattern[i] == '%' && next >= '1' && next <= '9' &&
            static_cast<std::size_t>(next - '1') < values.size()) {
            result += values[next - '1'];
            ++i;
        } else {
            result += pattern[i];
        }
    }
    return result;
}

}  // namespace kelvara
