#include "ExperienceStore.h"

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kelvara {

namespace {

constexpr std::size_t kPatternLength = 16;
constexpr std::size_t kReadSize = 1 << 20;

// The pattern character each playing point asks for ('0' empty, '1' the side, '2' its enemy),
// in two 64-bit words so that a line is compared eight characters at a time. A pattern
// character fits when it equals the one asked for or is '3'.
struct PatternKey {
    std::uint64_t words[2];
};

constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
constexpr std::uint64_t kThrees = 0x3333333333333333ULL;

// The high bit of each byte of x that is zero, and nothing else.
constexpr std::uint64_t ZeroBytes(std::uint64_t x) {
    return ~(((x & kLow7) + kLow7) | x | kLow7);
}

PatternKey BuildKey(const Board& board, CellCode side) {
    char wanted[kPatternLength];
    for (std::size_t i = 0; i < kPatternLength; ++i) {
        const int x = static_cast<int>(i % 4) + 1;
        const int y = static_cast<int>(i / 4) + 1;
        const std::int32_t code = board.Code(x, y);
        wanted[i] = code == Empty ? '0' : code == side ? '1' : '2';
    }
    PatternKey key;
    std::memcpy(key.words, wanted, sizeof key.words);
    return key;
}

inline bool PatternFits(const char* pattern, const PatternKey& key) {
    std::uint64_t w[2];
    std::memcpy(w, pattern, sizeof w);
    // Both words at once, without a branch between them: the first mismatch is anywhere.
    const std::uint64_t fit0 = ZeroBytes(w[0] ^ key.words[0]) | ZeroBytes(w[0] ^ kThrees);
    const std::uint64_t fit1 = ZeroBytes(w[1] ^ key.words[1]) | ZeroBytes(w[1] ^ kThrees);
    return (fit0 & fit1) == kHighBits;
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

inline bool Fits(std::string_view line, const PatternKey& key, const Board& board, CellCode side,
                 MoveRecord& move) {
    if (line.size() < ExperienceStore::kEntryLength || !PatternFits(line.data(), key)) return false;
    const char cx = line[16];
    const char cy = line[17];
    if (cx < '0' || cx > '9' || cy < '0' || cy > '9') return false;
    const MoveRecord stored{cx - '0', cy - '0', DirectionOfLetter(line[18])};
    // A stored step is carried out like a searched one, so it has to be one the rules allow.
    if (!board.IsLegalStep(side, stored)) return false;
    move = stored;
    return true;
}

// Collects the start of a line that crosses the end of a read block. Only the first
// kEntryLength + 1 characters matter: the entry itself and whether a CR ends the line there.
struct PendingLine {
    char head[ExperienceStore::kEntryLength + 1];
    std::size_t length = 0;  // characters seen so far, possibly more than the head holds

    void Append(const char* p, std::size_t n) {
        if (length < sizeof head) {
            const std::size_t room = sizeof head - length;
            std::memcpy(head + length, p, n < room ? n : room);
        }
        length += n;
    }
    std::string_view View() const {
        return std::string_view(head, length < sizeof head ? length : sizeof head);
    }
};

// Drops the CR of a CR LF line end when the view holds the whole line.
std::string_view WithoutCr(std::string_view line, bool whole) {
    if (whole && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

// The line ends ('\n') of one read block, in order. With SSE2 it marks 64 bytes at a time in a
// bit mask, which is much faster than one memchr per line on files of short entries.
class LineEnds {
  public:
    LineEnds(const char* begin, const char* end) : next_(begin), end_(end) {}

    // The next line end, or nullptr when the block has no more.
    const char* Next() {
#if defined(__SSE2__)
        for (;;) {
            if (bits_ != 0) {
                const char* hit = block_ + std::countr_zero(bits_);
                bits_ &= bits_ - 1;
                return hit;
            }
            if (end_ - next_ < 64) break;
            block_ = next_;
            bits_ = Mark64(block_);
            next_ += 64;
        }
#endif
        const char* hit = static_cast<const char*>(std::memchr(next_, '\n', end_ - next_));
        next_ = hit == nullptr ? end_ : hit + 1;
        return hit;
    }

  private:
#if defined(__SSE2__)
    static std::uint64_t Mark64(const char* p) {
        const __m128i lf = _mm_set1_epi8('\n');
        std::uint64_t bits = 0;
        for (int i = 0; i < 4; ++i) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
            const auto mask =
                static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, lf)));
            bits |= static_cast<std::uint64_t>(mask) << (16 * i);
        }
        return bits;
    }

    const char* block_ = nullptr;
    std::uint64_t bits_ = 0;
#endif
    const char* next_;
    const char* end_;
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

bool ExperienceStore::MatchExperienceLine(std::string_view line, const Board& board, CellCode side,
                                          MoveRecord& move) {
    if (side != Black && side != White) return false;
    const PatternKey key = BuildKey(board, side);
    return Fits(line, key, board, side, move);
}

bool ExperienceStore::LookUpExperience(const Board& board, CellCode side, MoveRecord& move) const {
    if (side != Black && side != White) return false;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path_.c_str(), "rb"));
    if (!file) return false;
    std::setvbuf(file.get(), nullptr, _IONBF, 0);

    const PatternKey key = BuildKey(board, side);
    const std::unique_ptr<char[]> buffer(new char[kReadSize]);
    PendingLine pending;
    bool hasPending = false;

    for (;;) {
        const std::size_t n = std::fread(buffer.get(), 1, kReadSize, file.get());
        if (n == 0) break;
        const char* p = buffer.get();
        LineEnds ends(p, p + n);
        for (const char* nl = ends.Next(); nl != nullptr; nl = ends.Next()) {
            std::string_view line;
            if (hasPending) {
                pending.Append(p, nl - p);
                const std::string_view head = pending.View();
                line = WithoutCr(head, head.size() == pending.length);
                hasPending = false;
                pending.length = 0;
            } else {
                line = WithoutCr(std::string_view(p, nl - p), true);
            }
            if (Fits(line, key, board, side, move)) return true;
            p = nl + 1;
        }
        if (p < buffer.get() + n) {
            pending.Append(p, buffer.get() + n - p);
            hasPending = true;
        }
    }
    // The last line may lack its line end; a CR there belongs to the line.
    return hasPending && Fits(pending.View(), key, board, side, move);
}

}  // namespace kelvara
