#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kelvara {

// The address book of players, set/player.information: names in file order (UTF-8; the file
// holds them in GBK) and the four default selections "def1".."def4". Plain C++; the dialog
// sorts and shows them.
class PlayerBook {
  public:
    // The most names taken from one file: a count beyond it is treated as this many, so a
    // corrupt "playercount" cannot stall the dialog.
    static constexpr int kMaxPlayers = 4096;

    // False when the file cannot be opened (nothing is kept then).
    bool Load(const std::string& path);

    // One entry per player section index 0..N-1; a missing name is SettingsFile::kNotFound.
    const std::vector<std::string>& Names() const { return names_; }
    // def1..def4 (which = 1..4); empty when the key is missing or holds no number.
    std::optional<int> DefaultIndex(int which) const;

    // "%d"-style reading: leading blanks, optional sign, digits; the rest is ignored.
    static std::optional<int> ParseNumber(const std::string& text);

  private:
    std::vector<std::string> names_;
    std::optional<int> defaults_[4];
};

}  // namespace kelvara
