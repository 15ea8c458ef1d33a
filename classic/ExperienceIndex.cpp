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
// Line ends are collected over this many characters before the lines are read.
constexpr std::size_t kBatchBytes = 4096;

// The 16 pattern characters of a line as bit planes: '1' side, '2' enemy, '3' any.
struct Pattern {
    std::uint32_t side;
    std::uint32_t enemy;
    std::uint32_t any;
};

// False when one of the 16 characters at `chars` (all readable) is no digit '0' to '3'.
bool ReadPattern(const char* chars, Pattern& pattern) {
#if defined(__SSE2__)
    const __m128i digits =
        _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(chars)), _mm_set1_epi8('0'));
    const __m128i three = _mm_set1_epi8(3);
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(digits, three), three)) != 0xFFFF)
        return false;
    // Bit 0 and bit 1 of each digit moved to the top of its byte, where movemask takes it.
    const auto low = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_slli_epi16(digits, 7)));
    const auto high = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_slli_epi16(digits, 6)));
#else
    std::uint32_t low = 0, high = 0;
    for (int i = 0; i < 16; ++i) {
        const unsigned digit = static_cast<unsigned char>(chars[i]) - unsigned{'0'};
        if (digit > 3) return false;
        low |= (digit & 1u) << i;
        high |= (digit >> 1) << i;
    }
#endif
    pattern = {low & ~high, high & ~low, low & high};
    return true;
}

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

// The portable build has no population-count instruction, and the library call costs more.
constexpr std::size_t CountBits(std::uint64_t bits) {
    bits -= (bits >> 1) & 0x5555555555555555ull;
    bits = (bits & 0x3333333333333333ull) + ((bits >> 2) & 0x3333333333333333ull);
    bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<std::size_t>((bits * 0x0101010101010101ull) >> 56);
}

std::uint32_t MaskOf(const Pattern& pattern) {
    const std::uint32_t compared = ~pattern.any & 0xFFFFu;
    return compared | (compared << 16);
}

std::uint32_t ValueOf(const Pattern& pattern) {
    return pattern.side | (pattern.enemy << 16);
}

}  // namespace

void ExperienceIndex::Clear() {
    codes_.clear();
    slots_.clear();
    fullCount_ = 0;
    shift_ = 64;
    last_ = 0;
    masked_.clear();
    line_ = 0;
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
    if (codes_.empty() || code == 0) return nullptr;
    for (std::size_t at = Home(code);; at = (at + 1) & last_) {
        if (codes_[at] == code) return &slots_[at];
        if (codes_[at] == 0) return nullptr;
    }
}

void ExperienceIndex::Grow() {
    const std::vector<std::uint32_t> oldCodes = std::move(codes_);
    const std::vector<Slot> oldSlots = std::move(slots_);
    const std::size_t size = oldCodes.empty() ? 64 : oldCodes.size() * 2;
    codes_.assign(size, 0);
    slots_.assign(size, Slot{0, 0});
    shift_ = 64 - std::countr_zero(size);
    last_ = size - 1;
    for (std::size_t i = 0; i < oldCodes.size(); ++i) {
        if (oldCodes[i] == 0) continue;
        std::size_t at = Home(oldCodes[i]);
        while (codes_[at] != 0) at = (at + 1) & last_;
        codes_[at] = oldCodes[i];
        slots_[at] = oldSlots[i];
    }
}

void ExperienceIndex::Insert(std::uint32_t code, std::uint8_t step) {
    if ((fullCount_ + 1) * 4 > codes_.size()) Grow();
    std::size_t at = Home(code);
    while (codes_[at] != 0) at = (at + 1) & last_;
    codes_[at] = code;
    slots_[at] = Slot{line_, step};
    ++fullCount_;
}

[[gnu::always_inline]] inline bool ExperienceIndex::Contains(std::uint32_t code) const {
    if (codes_.empty()) return false;
    for (std::size_t at = Home(code);; at = (at + 1) & last_) {
        const std::uint32_t held = codes_[at];
        if (held == code) return true;
        if (held == 0) return false;
    }
}

[[gnu::always_inline]] inline void ExperienceIndex::AddLine(const char* line, std::size_t length) {
    Pattern pattern;
    if (!ReadPattern(line, pattern)) return;
    std::uint8_t step = 0;
    if (pattern.any == 0) {
        const std::uint32_t code = ValueOf(pattern);
        // An earlier line of the same code with a legal step always wins over this one. (Code
        // 0, all points empty, is never stored: no step is legal there.)
        if (Contains(code)) return;
        if (length < kEntryLength || !ReadStep(line, pattern, step)) return;
        Insert(code, step);
    } else {
        if (length < kEntryLength || !ReadStep(line, pattern, step)) return;
        masked_.push_back(Masked{line_, MaskOf(pattern), ValueOf(pattern), step});
    }
}

std::size_t ExperienceIndex::AddLines(const char* data, std::size_t size, bool atEnd) {
    std::size_t start = 0;
    if (skipping_) {
        const void* end = std::memchr(data, '\n', size);
        if (end == nullptr) return size;
        start = static_cast<std::size_t>(static_cast<const char*>(end) - data) + 1;
        skipping_ = false;
        ++line_;
    }
#if defined(__SSE2__)
    // Line ends marked 64 characters at a time in a bit mask and written out as offsets, a
    // batch of blocks before their lines are read; the padding covers the part of the last
    // block past the end. Four offsets are written whether there are four or not, so that most
    // blocks take no branch that depends on their content.
    const __m128i lf = _mm_set1_epi8('\n');
    std::uint32_t ends[kBatchBytes + 4];
    for (std::size_t at = start; at < size;) {
        const std::size_t stop = std::min(size, at + kBatchBytes);
        std::size_t count = 0;
        for (; at < stop; at += 64) {
            const char* block = data + at;
            std::uint64_t bits = 0;
            for (int i = 0; i < 4; ++i) {
                const __m128i chunk =
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * i));
                const auto mask =
                    static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, lf)));
                bits |= static_cast<std::uint64_t>(mask) << (16 * i);
            }
            if (size - at < 64) bits &= (std::uint64_t{1} << (size - at)) - 1;
            const std::size_t found = CountBits(bits);
            const auto base = static_cast<std::uint32_t>(at);
            for (std::size_t k = 0; k < 4; ++k) {
                ends[count + k] = base + static_cast<std::uint32_t>(std::countr_zero(bits));
                bits &= bits - 1;
            }
            for (std::size_t k = count + 4; bits != 0; ++k) {
                ends[k] = base + static_cast<std::uint32_t>(std::countr_zero(bits));
                bits &= bits - 1;
            }
            count += found;
        }
        for (std::size_t i = 0; i < count; ++i) {
            AddLine(data + start, ends[i] - start);
            start = ends[i] + std::size_t{1};
            ++line_;
        }
    }
#else
    for (;;) {
        const void* found = std::memchr(data + start, '\n', size - start);
        if (found == nullptr) break;
        const auto end = static_cast<std::size_t>(static_cast<const char*>(found) - data);
        AddLine(data + start, end - start);
        start = end + 1;
        ++line_;
    }
#endif
    const std::size_t rest = size - start;
    if (atEnd) {
        if (rest > 0) AddLine(data + start, rest);
        return size;
    }
    if (rest >= kEntryLength) {
        AddLine(data + start, rest);
        skipping_ = true;
        return size;
    }
    return start;
}

bool ExperienceIndex::Find(const Board& board, CellCode side, MoveRecord& move) const {
    if (side != Black && side != White) return false;
    const std::uint32_t code = BoardCode(board, side);
    const Slot* slot = FindSlot(code);
    const std::uint64_t before = slot ? slot->line : std::numeric_limits<std::uint64_t>::max();
    for (const Masked& entry : masked_) {
        if (entry.line >= before) break;
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
    if (line.size() < kEntryLength || !ReadPattern(line.data(), pattern) ||
        (BoardCode(board, side) & MaskOf(pattern)) != ValueOf(pattern) ||
        !ReadStep(line.data(), pattern, packed))
        return false;
    const MoveRecord step = UnpackStep(packed);
    if (!board.IsLegalStep(side, step)) return false;
    move = step;
    return true;
}

}  // namespace kelvara
