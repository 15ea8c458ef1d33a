#include "ExperienceStore.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

namespace kelvara {

namespace {

constexpr std::size_t kPatternLength = 16;
constexpr std::size_t kReadSize = 1 << 20;

// For each of the 16 pattern characters, the set of digits ('0'..'3' as bits 0..3) that the
// board's point accepts.
using PatternMasks = std::uint8_t[kPatternLength];

void BuildMasks(const Board& board, CellCode side, PatternMasks& masks) {
    for (std::size_t i = 0; i < kPatternLength; ++i) {
        const int x = static_cast<int>(i % 4) + 1;
        const int y = static_cast<int>(i / 4) + 1;
        const std::int32_t code = board.Code(x, y);
        std::uint8_t mask = 1u << 3;  // '3' takes anything
        if (code == Empty)
            mask |= 1u << 0;
        else if (code == side)
            mask |= 1u << 1;
        else if (code == Enemy(side))
            mask |= 1u << 2;
        masks[i] = mask;
    }
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

bool Fits(std::string_view line, const PatternMasks& masks, const Board& board, CellCode side,
          MoveRecord& move) {
    if (line.size() < ExperienceStore::kEntryLength) return false;
    for (std::size_t i = 0; i < kPatternLength; ++i) {
        const unsigned digit = static_cast<unsigned char>(line[i]) - static_cast<unsigned>('0');
        if (digit > 3 || ((masks[i] >> digit) & 1u) == 0) return false;
    }
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

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

bool ExperienceStore::MatchExperienceLine(std::string_view line, const Board& board, CellCode side,
                                          MoveRecord& move) {
    if (side != Black && side != White) return false;
    PatternMasks masks;
    BuildMasks(board, side, masks);
    return Fits(line, masks, board, side, move);
}

bool ExperienceStore::LookUpExperience(const Board& board, CellCode side, MoveRecord& move) const {
    if (side != Black && side != White) return false;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path_.c_str(), "rb"));
    if (!file) return false;
    std::setvbuf(file.get(), nullptr, _IONBF, 0);

    PatternMasks masks;
    BuildMasks(board, side, masks);
    const std::unique_ptr<char[]> buffer(new char[kReadSize]);
    PendingLine pending;
    bool hasPending = false;

    for (;;) {
        const std::size_t n = std::fread(buffer.get(), 1, kReadSize, file.get());
        if (n == 0) break;
        const char* p = buffer.get();
        const char* const end = p + n;
        while (p < end) {
            const char* nl = static_cast<const char*>(std::memchr(p, '\n', end - p));
            if (nl == nullptr) {
                pending.Append(p, end - p);
                hasPending = true;
                break;
            }
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
            if (Fits(line, masks, board, side, move)) return true;
            p = nl + 1;
        }
    }
    // The last line may lack its line end; a CR there belongs to the line.
    return hasPending && Fits(pending.View(), masks, board, side, move);
}

}  // namespace kelvara
