#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "Board.h"

namespace kelvara {

// Stored answers of the computer, one per line of a text file read afresh at every look-up:
// a 16-character pattern of the playing points (bottom row first; '0' empty, '1' the side asked
// for, '2' its enemy, '3' anything) followed by the move text of the step to make ("13R", letter
// in either case); anything after that is ignored. Lines end with CR LF or LF. The file is
// mapped into memory for each look-up, not copied, and each line start is compared with the
// board's pattern 16 characters at a time.
class ExperienceStore {
  public:
    static constexpr const char* kDefaultPath = "set/experience.dat";
    // Pattern, column, row and direction letter.
    static constexpr std::size_t kEntryLength = 19;

    ExperienceStore() : path_(kDefaultPath) {}
    explicit ExperienceStore(std::string path) : path_(std::move(path)) {}

    const std::string& Path() const { return path_; }

    // The step of the first line that fits the board, in `move`. False, leaving `move`, when
    // the file cannot be opened or mapped (also when it is no regular file) or no line fits.
    bool LookUpExperience(const Board& board, CellCode side, MoveRecord& move) const;

    // One line without its line end. A line fits when its pattern fits the board and its stored
    // step is a legal step of `side` there; a shorter line, or one whose step is not legal
    // (digits outside 1..4, an unknown letter, no piece of the side on the from-point, an
    // occupied or off-grid destination), fits nothing. Writes `move` only when it fits.
    static bool MatchExperienceLine(std::string_view line, const Board& board, CellCode side,
                                    MoveRecord& move);

  private:
    std::string path_;
};

}  // namespace kelvara
