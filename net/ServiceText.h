#pragma once

#include <string>
#include <vector>

namespace kelvara {

// What a player's DNS-SD service says of it: the service name and the TXT record's
// name= (UTF-8), version= and busy=0|1. Plain C++.
class ServiceText {
  public:
    // The DNS-SD service type of the game.
    static constexpr const char* kServiceType = "_kelvara._tcp";
    // Longest service name (one DNS label) and longest TXT string, in bytes.
    static constexpr std::size_t kMaxServiceName = 63;
    static constexpr std::size_t kMaxTxtString = 255;

    std::string name;
    std::string version;
    bool busy = false;

    // The TXT strings, each within kMaxTxtString bytes (a long name is cut at a character
    // boundary).
    std::vector<std::string> Strings() const;
    // Reads TXT strings: keys in any letter case, the first of a key counts, unknown keys and
    // strings without '=' are skipped; busy is true only for "1".
    static ServiceText Parse(const std::vector<std::string>& strings);

    // `name` as a service name: cut to kMaxServiceName bytes at a character boundary;
    // `fallback` when nothing is left.
    static std::string ServiceName(const std::string& name, const std::string& fallback);
    // The longest start of `text` of at most `bytes` bytes that ends at a UTF-8 character
    // boundary.
    static std::string CutUtf8(const std::string& text, std::size_t bytes);
};

}  // namespace kelvara
