#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "Board.h"

namespace kelvara {

// The lines of a stored-answer file (see ExperienceStore) reduced to what a look-up needs.
// A pattern is kept as two 16-bit planes, bit 4 * (y - 1) + (x - 1) for point (x, y): the
// points that must hold the side asked for (low half of a 32-bit code) and those that must hold
// its enemy (high half); a point that must be empty is in neither. Lines without '3' fit exactly
// one board code and live in a hash table by that code, only the first of them with a step the
// rules allow there; lines with '3' are kept in file order with the mask of the points they
// compare. A look-up takes the earlier of the hash entry and the first fitting masked line,
// which is the first fitting line of the file.
class ExperienceIndex {
  public:
    // AddLines reads this many bytes past the end of the data it is given.
    static constexpr std::size_t kPadding = 64;

    void Clear();

    // Indexes the lines of the next `size` bytes of the file; data[size, size + kPadding) must
    // be readable and hold no character '0' to '3'. A line cut off at the end of the data is
    // left to the next call (the return value is the number of bytes used), unless `atEnd` or
    // its first 19 characters are there; then the rest of it up to the next LF is passed over.
    std::size_t AddLines(const char* data, std::size_t size, bool atEnd);

    // The step of the first indexed line that fits the board for `side`, as
    // ExperienceStore::LookUpExperience describes it.
    bool Find(const Board& board, CellCode side, MoveRecord& move) const;

    // One line on its own, as ExperienceStore::MatchExperienceLine describes it.
    static bool MatchLine(std::string_view line, const Board& board, CellCode side,
                          MoveRecord& move);

    // The board's code for `side` in the planes above. Any code on a point other than empty
    // and the side counts as its enemy.
    static std::uint32_t BoardCode(const Board& board, CellCode side);

    std::size_t FullEntries() const { return fullCount_; }
    std::size_t MaskedEntries() const { return masked_.size(); }

  private:
    struct Slot {
        std::uint64_t line;
        std::uint8_t step;
    };
    struct Masked {
        std::uint64_t line;
        std::uint32_t mask;
        std::uint32_t value;
        std::uint8_t step;
    };

    void AddLine(const char* line, std::size_t length);
    std::size_t Home(std::uint32_t code) const;
    bool Contains(std::uint32_t code) const;
    const Slot* FindSlot(std::uint32_t code) const;
    void Insert(std::uint32_t code, std::uint8_t step);
    void Grow();

    // The hash table of full patterns, open addressing: the codes apart from the rest, so that
    // the test for a code already held reads little memory. Code 0 marks a free slot.
    std::vector<std::uint32_t> codes_;
    std::vector<Slot> slots_;
    std::size_t fullCount_ = 0;
    int shift_ = 64;
    std::size_t last_ = 0;  // the table's size less one
    std::vector<Masked> masked_;
    std::uint64_t line_ = 0;  // the number of the line being read, from 0
    bool skipping_ = false;   // the current line's entry part has been read already
};

}  // namespace kelvara
