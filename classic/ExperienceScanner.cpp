#include "ExperienceScanner.h"

#include <bit>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kelvara {

namespace {

constexpr std::size_t kEntryLength = 19;

#if defined(__SSE2__)
// For the 32 characters at `line`: bit i of `fits` is set when character i is the board's digit
// there or '3' (i < 16), bit i of `ends` when character i is an LF.
inline void LineMasks(const char* line, __m128i want, unsigned& fits, unsigned& ends) {
    const __m128i lineEnd = _mm_set1_epi8('\n');
    const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line));
    const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + 16));
    fits = static_cast<unsigned>(_mm_movemask_epi8(
        _mm_or_si128(_mm_cmpeq_epi8(head, want), _mm_cmpeq_epi8(head, _mm_set1_epi8('3')))));
    ends = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(head, lineEnd))) |
           (static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(tail, lineEnd))) << 16);
}

// Passes over the lines from `start` on that have their LF at index `expected` (below 32) and
// a pattern that does not fit; returns the start of the first other line, or of the first
// with fewer than 32 characters left before `size`. Nothing in the loop calls out, so that
// it runs in registers.
std::size_t PassOver(const char* data, std::size_t start, std::size_t size, __m128i want,
                     unsigned expected) {
    // Bits 0 to `expected` of the line ends: only the last may be set.
    const unsigned upTo = expected == 31 ? ~0u : (2u << expected) - 1;
    const unsigned endBit = 1u << expected;
    const std::size_t step = expected + 1;
    while (start + 32 <= size) {
        unsigned fits = 0, ends = 0;
        LineMasks(data + start, want, fits, ends);
        if ((ends & upTo) != endBit || fits == 0xFFFF) break;
        start += step;
    }
    return start;
}
#endif

}  // namespace

ExperienceScanner::ExperienceScanner(const Board& board, CellCode side, ExperienceIndex::Scan scan)
    : board_(board), side_(side), scan_(scan) {
    const std::uint32_t code = ExperienceIndex::BoardCode(board, side);
    for (int i = 0; i < 16; ++i)
        digits_[i] = static_cast<char>('0' + ((code >> i) & 1) + 2 * ((code >> (16 + i)) & 1));
}

bool ExperienceScanner::Found(MoveRecord& move) const {
    if (found_) move = move_;
    return found_;
}

void ExperienceScanner::Try(const char* line, std::size_t length) {
    if (length < kEntryLength) return;
    for (int i = 0; i < 16; ++i) {
        if (line[i] != digits_[i] && line[i] != '3') return;
    }
    MoveRecord move;
    if (ExperienceIndex::MatchLine(std::string_view(line, length), board_, side_, move)) {
        found_ = true;
        move_ = move;
    }
}

// As in ExperienceIndex, each line is taken to end where the one before it did, so that the
// next line's start is known before this one has been compared.
template <bool kVector>
std::size_t ExperienceScanner::Walk(const char* data, std::size_t size, bool atEnd) {
    // No line fits a side that is no colour.
    if (found_ || (side_ != Black && side_ != White)) return size;
    std::size_t start = 0;
    if (skipping_) {
        const void* end = std::memchr(data, '\n', size);
        if (end == nullptr) return size;
        start = static_cast<std::size_t>(static_cast<const char*>(end) - data) + 1;
        skipping_ = false;
    }
#if defined(__SSE2__)
    if constexpr (kVector) {
        const __m128i want = _mm_loadu_si128(reinterpret_cast<const __m128i*>(digits_));
        unsigned expected = 20;  // where the LF is in the line
        for (;;) {
            start = PassOver(data, start, size, want, expected);
            if (start + 32 > size) break;
            const char* line = data + start;
            unsigned fits = 0, ends = 0;
            LineMasks(line, want, fits, ends);
            std::size_t length = 0;
            if (ends != 0) {
                expected = static_cast<unsigned>(std::countr_zero(ends));
                length = expected;
            } else {
                const void* found = std::memchr(line, '\n', size - start);
                if (found == nullptr) break;
                length = static_cast<std::size_t>(static_cast<const char*>(found) - line);
            }
            if (fits == 0xFFFF) {
                Try(line, length);
                if (found_) return size;
            }
            start += length + 1;
        }
    }
#endif
    for (;;) {
        const void* found = std::memchr(data + start, '\n', size - start);
        if (found == nullptr) break;
        const auto end = static_cast<std::size_t>(static_cast<const char*>(found) - data);
        Try(data + start, end - start);
        if (found_) return size;
        start = end + 1;
    }
    const std::size_t rest = size - start;
    if (atEnd) {
        Try(data + start, rest);
        return size;
    }
    if (rest >= kEntryLength) {
        Try(data + start, rest);
        skipping_ = true;
        return size;
    }
    return start;
}

std::size_t ExperienceScanner::AddLines(const char* data, std::size_t size, bool atEnd) {
#if defined(__SSE2__)
    if (scan_ == ExperienceIndex::Scan::Vector) return Walk<true>(data, size, atEnd);
#endif
    return Walk<false>(data, size, atEnd);
}

}  // namespace kelvara
