#include "ExperienceStore.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kelvara {

namespace {

constexpr std::size_t kPatternLength = 16;

// The pattern character each playing point asks for ('0' empty, '1' the side, '2' its enemy).
// A pattern character fits when it equals the one asked for or is '3'.
struct PatternKey {
    alignas(16) char wanted[kPatternLength];
};

PatternKey BuildKey(const Board& board, CellCode side) {
    PatternKey key;
    for (std::size_t i = 0; i < kPatternLength; ++i) {
        const int x = static_cast<int>(i % 4) + 1;
        const int y = static_cast<int>(i / 4) + 1;
        const std::int32_t code = board.Code(x, y);
        key.wanted[i] = code == Empty ? '0' : code == side ? '1' : '2';
    }
    return key;
}

// The 16 characters at `pattern` (all readable) fit the key.
class PatternTest {
  public:
    explicit PatternTest(const PatternKey& key) {
#if defined(__SSE2__)
        wanted_ = _mm_load_si128(reinterpret_cast<const __m128i*>(key.wanted));
        threes_ = _mm_set1_epi8('3');
#else
        std::memcpy(words_, key.wanted, sizeof words_);
#endif
    }

    bool Fits(const char* pattern) const {
#if defined(__SSE2__)
        const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pattern));
        const __m128i fit =
            _mm_or_si128(_mm_cmpeq_epi8(chars, wanted_), _mm_cmpeq_epi8(chars, threes_));
        return _mm_movemask_epi8(fit) == 0xFFFF;
#else
        std::uint64_t w[2];
        std::memcpy(w, pattern, sizeof w);
        const std::uint64_t fit0 = ZeroBytes(w[0] ^ words_[0]) | ZeroBytes(w[0] ^ kThrees);
        const std::uint64_t fit1 = ZeroBytes(w[1] ^ words_[1]) | ZeroBytes(w[1] ^ kThrees);
        return (fit0 & fit1) == kHighBits;
#endif
    }

  private:
#if defined(__SSE2__)
    __m128i wanted_;
    __m128i threes_;
#else
    static constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    static constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    static constexpr std::uint64_t kThrees = 0x3333333333333333ULL;
    // The high bit of each byte of x that is zero, and nothing else.
    static constexpr std::uint64_t ZeroBytes(std::uint64_t x) {
        return ~(((x & kLow7) + kLow7) | x | kLow7);
    }
    std::uint64_t words_[2];
#endif
};

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

// The tail of a line whose 16 pattern characters fit; `available` characters from the pattern
// start are readable (the line and whatever follows it). The pattern holds no line end, so the
// line is at least 16 characters long. A line end (LF, or CR before the LF) at offset 16 to 18
// is no digit and no letter, so it needs no test of its own: the step is refused.
bool TailFits(const char* line, std::size_t available, const Board& board, CellCode side,
              MoveRecord& move) {
    if (available < ExperienceStore::kEntryLength) return false;
    const char cx = line[16];
    const char cy = line[17];
    if (cx < '0' || cx > '9' || cy < '0' || cy > '9') return false;
    const MoveRecord stored{cx - '0', cy - '0', DirectionOfLetter(line[18])};
    // A stored step is carried out like a searched one, so it has to be one the rules allow.
    if (!board.IsLegalStep(side, stored)) return false;
    move = stored;
    return true;
}

// The first fitting line of [begin, end). Lines start at `begin` and after every LF. Each line
// start gets one 16-character compare; only a fitting pattern looks further. A line that starts
// less than 16 characters before the end is too short for an entry.
class Scanner {
  public:
    Scanner(const PatternKey& key, const Board& board, CellCode side)
        : test_(key), board_(board), side_(side) {}

    bool Scan(const char* begin, const char* end, MoveRecord& move) const {
        const std::size_t size = static_cast<std::size_t>(end - begin);
        if (LineFits(begin, end, move)) return true;
        std::size_t at = 0;
#if defined(__SSE2__)
        // Blocks of 64 characters: their line ends marked in a bit mask, then each line start
        // compared. A block is taken here only when the 16 characters after its last byte can
        // be read as well, so the compare needs no bound.
        const __m128i lf = _mm_set1_epi8('\n');
        for (; at + 64 + kPatternLength <= size; at += 64) {
            const char* block = begin + at;
            std::uint64_t bits = 0;
            for (int i = 0; i < 4; ++i) {
                const __m128i chunk =
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * i));
                const auto mask =
                    static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, lf)));
                bits |= static_cast<std::uint64_t>(mask) << (16 * i);
            }
            while (bits != 0) {
                const char* line = block + std::countr_zero(bits) + 1;
                bits &= bits - 1;
                if (test_.Fits(line) &&
                    TailFits(line, static_cast<std::size_t>(end - line), board_, side_, move))
                    return true;
            }
        }
#endif
        for (const char* p = begin + at; p < end;) {
            const void* nl = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
            if (nl == nullptr) break;
            p = static_cast<const char*>(nl) + 1;
            if (LineFits(p, end, move)) return true;
        }
        return false;
    }

  private:
    bool LineFits(const char* line, const char* end, MoveRecord& move) const {
        const std::size_t available = static_cast<std::size_t>(end - line);
        if (available < kPatternLength || !test_.Fits(line)) return false;
        return TailFits(line, available, board_, side_, move);
    }

    PatternTest test_;
    const Board& board_;
    CellCode side_;
};

// A read-only view of a whole file, mapped into memory for as long as it lives.
class MappedFile {
  public:
    explicit MappedFile(const std::string& path) {
        // Non-blocking, so that a named pipe in the file's place cannot stall the caller.
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) return;
        struct stat info;
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
            const auto size = static_cast<std::size_t>(info.st_size);
            // The pages are mapped in one go; faulting them in one by one costs more than the
            // scan.
            void* data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
            if (data != MAP_FAILED) {
                data_ = static_cast<const char*>(data);
                size_ = size;
            }
        }
        ::close(fd);
    }
    ~MappedFile() {
        if (data_ != nullptr) ::munmap(const_cast<char*>(data_), size_);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    const char* data() const { return data_; }
    std::size_t size() const { return size_; }

  private:
    const char* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace

bool ExperienceStore::MatchExperienceLine(std::string_view line, const Board& board, CellCode side,
                                          MoveRecord& move) {
    if (side != Black && side != White) return false;
    if (line.size() < kEntryLength) return false;
    const PatternTest test(BuildKey(board, side));
    return test.Fits(line.data()) && TailFits(line.data(), line.size(), board, side, move);
}

bool ExperienceStore::LookUpExperience(const Board& board, CellCode side, MoveRecord& move) const {
    if (side != Black && side != White) return false;
    const MappedFile file(path_);
    if (file.data() == nullptr) return false;
    const Scanner scanner(BuildKey(board, side), board, side);
    return scanner.Scan(file.data(), file.data() + file.size(), move);
}

}  // namespace kelvara
