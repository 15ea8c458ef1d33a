#include "ExperienceIndex.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kelvara {

namespace {

// Pattern, column, row and direction letter.
constexpr std::size_t kEntryLength = 19;
// Slots past the end of the table's size that a code may still be placed in.
constexpr std::size_t kSpill = 16;
constexpr std::size_t kFirstTableSize = 64;
// The lines recently read in full, by code and step characters: 2^kSeenBits of them.
constexpr int kSeenBits = 12;
// The first three characters of four read into a word.
constexpr std::uint32_t kThreeCharacters =
    std::endian::native == std::endian::big ? 0xFFFFFF00u : 0x00FFFFFFu;
// No line has it: a code never has a point in both planes.
constexpr std::uint64_t kNoLine = ~std::uint64_t{0};

// The 16 pattern characters of a line as bit planes: '1' side, '2' enemy, '3' any.
struct Pattern {
    std::uint32_t side;
    std::uint32_t enemy;
    std::uint32_t any;
};

// Each scanner reads the 16 characters at a pointer (all readable): ReadPattern gives their
// planes, false when one is no digit '0' to '3'; FullCode gives the code of a pattern without
// '3' (side plane low, enemy plane high), false for any other; FirstLineEnd gives the index of
// the first LF among them, 16 when there is none.

#if defined(__SSE2__)
struct VectorScanner {
    static __m128i Digits(const char* chars) {
        return _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(chars)),
                            _mm_set1_epi8('0'));
    }
    // Bit 0 and bit 1 of each digit moved to the top of its byte, where movemask takes it.
    static std::uint32_t LowPlane(__m128i digits) {
        return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_slli_epi16(digits, 7)));
    }
    static std::uint32_t HighPlane(__m128i digits) {
        return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_slli_epi16(digits, 6)));
    }
    static bool AllAtMost(__m128i digits, char top) {
        const __m128i limit = _mm_set1_epi8(top);
        return _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(digits, limit), limit)) == 0xFFFF;
    }

    static bool ReadPattern(const char* chars, Pattern& pattern) {
        const __m128i digits = Digits(chars);
        if (!AllAtMost(digits, 3)) return false;
        const std::uint32_t low = LowPlane(digits), high = HighPlane(digits);
        pattern = {low & ~high, high & ~low, low & high};
        return true;
    }
    static bool FullCode(const char* chars, std::uint32_t& code) {
        const __m128i digits = Digits(chars);
        if (!AllAtMost(digits, 2)) return false;
        code = LowPlane(digits) | (HighPlane(digits) << 16);
        return true;
    }
    static unsigned FirstLineEnd(const char* chars) {
        const __m128i found = _mm_cmpeq_epi8(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(chars)), _mm_set1_epi8('\n'));
        return static_cast<unsigned>(
            std::countr_zero(static_cast<unsigned>(_mm_movemask_epi8(found)) | 0x10000u));
    }
};
#endif

struct WordScanner {
    static constexpr std::uint64_t kOnes = 0x0101010101010101ull;

    // Eight characters with the first in the lowest byte, whatever the byte order.
    static std::uint64_t Load(const char* chars) {
        std::uint64_t word;
        std::memcpy(&word, chars, sizeof word);
        if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
        return word;
    }
    // Bit 0 of each byte gathered into eight bits, byte i to bit i.
    static std::uint32_t Gather(std::uint64_t bits) {
        return static_cast<std::uint32_t>(((bits & kOnes) * 0x0102040810204080ull) >> 56);
    }
    // '0' to '3' become 0 to 3; every other character has a bit above the lowest two.
    static bool Planes(const char* chars, std::uint32_t& low, std::uint32_t& high,
                       std::uint64_t& threes) {
        const std::uint64_t a = Load(chars) ^ (kOnes * '0');
        const std::uint64_t b = Load(chars + 8) ^ (kOnes * '0');
        if (((a | b) & (kOnes * 0xFC)) != 0) return false;
        low = Gather(a) | (Gather(b) << 8);
        high = Gather(a >> 1) | (Gather(b >> 1) << 8);
        threes = (a & (a >> 1)) | (b & (b >> 1));
        return true;
    }

    static bool ReadPattern(const char* chars, Pattern& pattern) {
        std::uint32_t low = 0, high = 0;
        std::uint64_t threes = 0;
        if (!Planes(chars, low, high, threes)) return false;
        pattern = {low & ~high, high & ~low, low & high};
        return true;
    }
    static bool FullCode(const char* chars, std::uint32_t& code) {
        std::uint32_t low = 0, high = 0;
        std::uint64_t threes = 0;
        if (!Planes(chars, low, high, threes) || (threes & kOnes) != 0) return false;
        code = low | (high << 16);
        return true;
    }
    // The lowest byte that is zero is marked exactly; marks above it may be wrong.
    static unsigned FirstZeroByte(std::uint64_t word) {
        const std::uint64_t marks = (word - kOnes) & ~word & (kOnes * 0x80);
        return static_cast<unsigned>(std::countr_zero(marks | (std::uint64_t{1} << 63))) / 8;
    }
    static unsigned FirstLineEnd(const char* chars) {
        const unsigned first = FirstZeroByte(Load(chars) ^ (kOnes * '\n'));
        if (first < 7 || chars[7] == '\n') return first;
        const unsigned second = FirstZeroByte(Load(chars + 8) ^ (kOnes * '\n'));
        return second < 7 || chars[15] == '\n' ? 8 + second : 16;
    }
};

#if defined(__SSE2__)
using DefaultScanner = VectorScanner;
#else
using DefaultScanner = WordScanner;
#endif

int DirectionOfLetter(char c) {
    switch (c) {
        case 'U':
        case 'u':
            return Up;
        case 'D':
        case 'd':
            return Down;
        case 'L':
        case 'l':
            return Left;
        case 'R':
        case 'r':
            return Right;
        default:
            return None;
    }
}

constexpr std::uint32_t PointBit(int x, int y) {
    return 1u << (4 * (y - 1) + (x - 1));
}

constexpr std::uint8_t PackStep(int x, int y, int direction) {
    return static_cast<std::uint8_t>(x | (y << 3) | (direction << 6));
}

constexpr MoveRecord UnpackStep(std::uint8_t step) {
    return MoveRecord{step & 7, (step >> 3) & 7, step >> 6};
}

// The step at offsets 16 to 18 of a line of at least 19 characters, packed. False when no
// board that fits the pattern allows it: a column or row outside 1..4, an unknown letter, a
// destination off the grid, a from-point that cannot hold the side's piece or a destination
// that cannot be empty. For a pattern without '3' a true answer means the step is legal.
bool ReadStep(const char* line, const Pattern& pattern, std::uint8_t& step) {
    const int x = line[16] - '0';
    const int y = line[17] - '0';
    const int direction = DirectionOfLetter(line[18]);
    if (x < 1 || x > 4 || y < 1 || y > 4 || direction == None) return false;
    const int toX = x + (direction == Right) - (direction == Left);
    const int toY = y + (direction == Up) - (direction == Down);
    if (toX < 1 || toX > 4 || toY < 1 || toY > 4) return false;
    if (((pattern.side | pattern.any) & PointBit(x, y)) == 0) return false;
    if (((pattern.side | pattern.enemy) & PointBit(toX, toY)) != 0) return false;
    step = PackStep(x, y, direction);
    return true;
}

std::uint32_t MaskOf(const Pattern& pattern) {
    const std::uint32_t compared = ~pattern.any & 0xFFFFu;
    return compared | (compared << 16);
}

std::uint32_t ValueOf(const Pattern& pattern) {
    return pattern.side | (pattern.enemy << 16);
}

}  // namespace

ExperienceIndex::ExperienceIndex(Scan scan) : scan_(scan) {
    Clear();
}

void ExperienceIndex::Clear(std::uint64_t offset) {
    codes_.assign(kFirstTableSize + kSpill, 0);
    slots_.assign(kFirstTableSize + kSpill, Slot{0, 0});
    shift_ = 64 - std::countr_zero(kFirstTableSize);
    fullCount_ = 0;
    masked_.clear();
    seen_.assign(std::size_t{1} << kSeenBits, kNoLine);
    offset_ = offset;
    skipping_ = false;
}

std::uint32_t ExperienceIndex::BoardCode(const Board& board, CellCode side) {
    std::uint32_t code = 0;
    for (int y = 1; y <= 4; ++y) {
        for (int x = 1; x <= 4; ++x) {
            const std::int32_t cell = board.Code(x, y);
            if (cell == side)
                code |= PointBit(x, y);
            else if (cell != Empty)
                code |= PointBit(x, y) << 16;
        }
    }
    return code;
}

std::size_t ExperienceIndex::Home(std::uint32_t code) const {
    // A 64-bit product, so that codes one point apart land far apart in every table size.
    return static_cast<std::size_t>((code * 0x9E3779B97F4A7C15ull) >> shift_);
}

const ExperienceIndex::Slot* ExperienceIndex::FindSlot(std::uint32_t code) const {
    if (code == 0) return nullptr;
    for (std::size_t at = Home(code); at < codes_.size() && codes_[at] != 0; ++at) {
        if (codes_[at] == code) return &slots_[at];
    }
    return nullptr;
}

bool ExperienceIndex::Contains(std::uint32_t code) const {
    return FindSlot(code) != nullptr;
}

bool ExperienceIndex::Place(std::uint32_t code, const Slot& slot) {
    for (std::size_t at = Home(code); at < codes_.size(); ++at) {
        if (codes_[at] == 0) {
            codes_[at] = code;
            slots_[at] = slot;
            return true;
        }
    }
    return false;
}

void ExperienceIndex::Resize(std::size_t size) {
    const std::vector<std::uint32_t> oldCodes = std::move(codes_);
    const std::vector<Slot> oldSlots = std::move(slots_);
    for (bool placed = false; !placed; size *= 2) {
        codes_.assign(size + kSpill, 0);
        slots_.assign(size + kSpill, Slot{0, 0});
        shift_ = 64 - std::countr_zero(size);
        placed = true;
        for (std::size_t i = 0; i < oldCodes.size() && placed; ++i) {
            if (oldCodes[i] != 0) placed = Place(oldCodes[i], oldSlots[i]);
        }
    }
}

void ExperienceIndex::Insert(std::uint32_t code, std::uint64_t offset, std::uint8_t step) {
    std::size_t size = codes_.size() - kSpill;
    if ((fullCount_ + 1) * 4 > size) Resize(size *= 2);
    while (!Place(code, Slot{offset, step})) Resize(size *= 2);
    ++fullCount_;
}

void ExperienceIndex::AddFull(const char* line, std::size_t length, std::uint32_t code,
                              std::uint64_t offset) {
    // An earlier line of the same code with a legal step always wins over this one. (Code 0,
    // all points empty, is never stored: no step is legal there.)
    if (Contains(code) || length < kEntryLength) return;
    const Pattern pattern{code & 0xFFFFu, code >> 16, 0};
    std::uint8_t step = 0;
    if (ReadStep(line, pattern, step)) Insert(code, offset, step);
}

template <class Scanner>
void ExperienceIndex::AddLine(const char* line, std::size_t length, std::uint64_t offset) {
    Pattern pattern;
    if (!Scanner::ReadPattern(line, pattern)) return;
    if (pattern.any == 0) {
        AddFull(line, length, ValueOf(pattern), offset);
        return;
    }
    std::uint8_t step = 0;
    if (length < kEntryLength || !ReadStep(line, pattern, step)) return;
    masked_.push_back(Masked{offset, MaskOf(pattern), ValueOf(pattern), step});
}

// Most files have lines of one length, so each line is taken to end where the one before it
// did: the next line's start is then known before this one is read, and the lines are read one
// after another without waiting for each other. A full pattern whose code the table already
// holds (the usual line of a large file) costs one look at the table. Any other line, and one
// that ends elsewhere, is read on its own.
template <class Scanner>
std::size_t ExperienceIndex::Walk(const char* data, std::size_t size, bool atEnd) {
    std::size_t start = 0;
    if (skipping_) {
        const void* end = std::memchr(data, '\n', size);
        if (end == nullptr) {
            offset_ += size;
            return size;
        }
        start = static_cast<std::size_t>(static_cast<const char*>(end) - data) + 1;
        skipping_ = false;
    }
    unsigned expected = 4;  // where the line end is in the characters after the pattern
    std::uint64_t* const seen = seen_.data();
    while (start + 32 <= size) {
        const char* line = data + start;
        std::uint32_t code = 0;
        if (Scanner::FullCode(line, code) && Scanner::FirstLineEnd(line + 16) == expected)
            [[likely]] {
            // The code and the three characters after the pattern decide what the line adds.
            std::uint32_t tail = 0;
            std::memcpy(&tail, line + 16, 4);
            tail &= kThreeCharacters;
            const std::uint64_t key = code | (std::uint64_t{tail} << 32);
            std::uint64_t& held = seen[(key * 0x9E3779B97F4A7C15ull) >> (64 - kSeenBits)];
            if (held != key) [[unlikely]] {
                AddFull(line, 16 + expected, code, offset_ + start);
                held = key;
            }
            start += 17 + expected;
            continue;
        }
        const void* found = std::memchr(line, '\n', size - start);
        if (found == nullptr) break;
        const auto length = static_cast<std::size_t>(static_cast<const char*>(found) - line);
        AddLine<Scanner>(line, length, offset_ + start);
        if (length >= 16 && length < 32) expected = static_cast<unsigned>(length - 16);
        start += length + 1;
    }
    for (;;) {
        const void* found = std::memchr(data + start, '\n', size - start);
        if (found == nullptr) break;
        const auto end = static_cast<std::size_t>(static_cast<const char*>(found) - data);
        AddLine<Scanner>(data + start, end - start, offset_ + start);
        start = end + 1;
    }
    const std::size_t rest = size - start;
    std::size_t used = start;
    if (atEnd) {
        if (rest > 0) AddLine<Scanner>(data + start, rest, offset_ + start);
        used = size;
    } else if (rest >= kEntryLength) {
        AddLine<Scanner>(data + start, rest, offset_ + start);
        skipping_ = true;
        used = size;
    }
    offset_ += used;
    return used;
}

std::size_t ExperienceIndex::AddLines(const char* data, std::size_t size, bool atEnd) {
#if defined(__SSE2__)
    if (scan_ == Scan::Vector) return Walk<VectorScanner>(data, size, atEnd);
#endif
    return Walk<WordScanner>(data, size, atEnd);
}

bool ExperienceIndex::Find(const Board& board, CellCode side, MoveRecord& move) const {
    if (side != Black && side != White) return false;
    const std::uint32_t code = BoardCode(board, side);
    const Slot* slot = FindSlot(code);
    const std::uint64_t before = slot ? slot->offset : std::numeric_limits<std::uint64_t>::max();
    for (const Masked& entry : masked_) {
        if (entry.offset >= before) break;
        if ((code & entry.mask) != entry.value) continue;
        const MoveRecord step = UnpackStep(entry.step);
        if (board.IsLegalStep(side, step)) {
            move = step;
            return true;
        }
    }
    if (slot == nullptr) return false;
    const MoveRecord step = UnpackStep(slot->step);
    if (!board.IsLegalStep(side, step)) return false;
    move = step;
    return true;
}

bool ExperienceIndex::MatchLine(std::string_view line, const Board& board, CellCode side,
                                MoveRecord& move) {
    if (side != Black && side != White) return false;
    Pattern pattern;
    std::uint8_t packed = 0;
    if (line.size() < kEntryLength || !DefaultScanner::ReadPattern(line.data(), pattern) ||
        (BoardCode(board, side) & MaskOf(pattern)) != ValueOf(pattern) ||
        !ReadStep(line.data(), pattern, packed))
        return false;
    const MoveRecord step = UnpackStep(packed);
    if (!board.IsLegalStep(side, step)) return false;
    move = step;
    return true;
}

}  // namespace kelvara
