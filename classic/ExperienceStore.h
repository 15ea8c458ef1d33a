#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "Board.h"

namespace kelvara {

// Stored answers of the computer, one per line of a text file: a 16-character pattern of the
// playing points (bottom row first; '0' empty, '1' the side asked for, '2' its enemy, '3'
// anything) followed by the move text of the step to make ("13R", letter in either case);
// anything after that is ignored. Lines end with CR LF or LF. The first line that fits wins.
//
// A file not yet indexed is looked through for the board's first fitting line
// (ExperienceScanner), which answers; a large one in pieces by two threads at once, each
// taking the next piece left. Then a thread of its own reads the file into an index
// (ExperienceIndex) while the caller goes on, and the next look-up waits for it. The index is
// kept while the file stays unchanged: every look-up opens the file and compares device,
// inode, size and the modification and change times with those of the read. A file modified
// less than two seconds before it was read is not indexed but looked through again at the
// next look-up, since an edit right after the read could leave every one of those unchanged.
// A file that changes while it is read answers from what was read, and is read again at the
// next look-up.
class ExperienceStore {
  public:
    static constexpr const char* kDefaultPath = "set/experience.dat";
    // Pattern, column, row and direction letter.
    static constexpr std::size_t kEntryLength = 19;
    // A file of this size or more is looked through in pieces by two threads at once.
    static constexpr std::uint64_t kSplitBytes = 8u << 20;
    // Such a file is cut into pieces of about this size.
    static constexpr std::uint64_t kPieceBytes = 4u << 20;

    ExperienceStore() : ExperienceStore(kDefaultPath) {}
    explicit ExperienceStore(std::string path);
    // A copy reads the file for itself.
    ExperienceStore(const ExperienceStore& other) : ExperienceStore(other.path_) {}
    ExperienceStore& operator=(const ExperienceStore& other);
    ~ExperienceStore();

    const std::string& Path() const { return path_; }

    // The step of the first line that fits the board, in `move`. False, leaving `move`, when
    // the file cannot be opened (also when it is no regular file) or no line fits. Safe to call
    // from several threads.
    bool LookUpExperience(const Board& board, CellCode side, MoveRecord& move) const;

    // How many times the file has been looked through or indexed since the store was made.
    std::size_t FileReads() const;

    // One line without its line end. A line fits when its pattern fits the board and its stored
    // step is a legal step of `side` there; a shorter line, or one whose step is not legal
    // (digits outside 1..4, an unknown letter, no piece of the side on the from-point, an
    // occupied or off-grid destination), fits nothing. Writes `move` only when it fits.
    static bool MatchExperienceLine(std::string_view line, const Board& board, CellCode side,
                                    MoveRecord& move);

  private:
    struct Cache;

    std::string path_;
    std::unique_ptr<Cache> cache_;
};

}  // namespace kelvara
