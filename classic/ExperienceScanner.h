#pragma once

#include <cstddef>
#include <cstdint>

#include "Board.h"
#include "ExperienceIndex.h"

namespace kelvara {

// Looks through the lines of a stored-answer file (see ExperienceStore) for the first that
// fits one board, block by block, keeping nothing of the lines it passes: the quick answer to
// a file not yet indexed. Each line's pattern is compared with the board's at once, 16
// characters against the board's digits and '3'; only a line that passes is read in full.
class ExperienceScanner {
  public:
    static constexpr std::size_t kPadding = ExperienceIndex::kPadding;

    // `board` must outlive the scanner.
    ExperienceScanner(const Board& board, CellCode side,
                      ExperienceIndex::Scan scan = ExperienceIndex::kDefaultScan);

    // Takes the next `size` bytes of the file as ExperienceIndex::AddLines does (the same
    // padding, the same return value), until a line fits; after that every byte is passed over.
    std::size_t AddLines(const char* data, std::size_t size, bool atEnd);

    // A line has fitted; its step is in `move`.
    bool Found(MoveRecord& move) const;
    bool Found() const { return found_; }

  private:
    template <bool kVector>
    std::size_t Walk(const char* data, std::size_t size, bool atEnd);
    // Tries one line of `length` characters (without its LF).
    void Try(const char* line, std::size_t length);

    const Board& board_;
    CellCode side_;
    ExperienceIndex::Scan scan_;
    char digits_[16];  // the board's pattern: '1' the side, '2' its enemy, '0' empty
    bool found_ = false;
    MoveRecord move_{};
    bool skipping_ = false;  // the current line has been tried already
};

}  // namespace kelvara
