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

    // How lines are split and their patterns read: 16 characters at a time in SSE2 registers
    // (where the target has them), or 8 at a time in 64-bit words. Both give the same index.
    enum class Scan { Vector, Word };
#if defined(__SSE2__)
    static constexpr Scan kDefaultScan = Scan::Vector;
#else
    static constexpr Scan kDefaultScan = Scan::Word;
#endif

    explicit ExperienceIndex(Scan scan = kDefaultScan);

    // Forgets every line; the next data given to AddLines starts at byte `offset` of the file.
    void Clear(std::uint64_t offset = 0);

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

    std::size_t FullEntries() const {
        return fullCount_;
    }
    std::size_t MaskedEntries() const {
        return masked_.size();
    }

  private:
    // Lines are ordered by the file offset of their first character.
    struct Slot {
        std::uint64_t offset;
        std::uint8_t step;
    };
    struct Masked {
        std::uint64_t offset;
        std::uint32_t mask;
        std::uint32_t value;
        std::uint8_t step;
    };

    template <class Scanner>
    std::size_t Walk(const char* data, std::size_t size, bool atEnd);
    template <class Scanner>
    void AddLine(const char* line, std::size_t length, std::uint64_t offset);
    void AddFull(const char* line, std::size_t length, std::uint32_t code, std::uint64_t offset);
    std::size_t Home(std::uint32_t code) const;
    bool Contains(std::uint32_t code) const;
    const Slot* FindSlot(std::uint32_t code) const;
    void Insert(std::uint32_t code, std::uint64_t offset, std::uint8_t step);
    bool Place(std::uint32_t code, const Slot& slot);
    void Resize(std::size_t size);

    Scan scan_;
    // The hash table of full patterns, open addressing without wrapping round: a code lives
    // at its home slot or after it, within the table's size plus kSpill slots (when it does not
    // fit there the table grows). The codes are kept apart from the rest, so that the test for
    // a code already held reads little memory. Code 0 marks a free slot.
    std::vector<std::uint32_t> codes_;
    std::vector<Slot> slots_;
    std::size_t fullCount_ = 0;
    int shift_ = 64;
    std::vector<Masked> masked_;
    // Full lines recently read, by their code and the three characters after the pattern,
    // which decide all that such a line adds: a line equal to one of them adds nothing more.
    std::vector<std::uint64_t> seen_;
    std::uint64_t offset_ = 0;  // the file offset of the next data given to AddLines
    bool skipping_ = false;     // the current line's entry part has been read already
};

}  // namespace kelvara
