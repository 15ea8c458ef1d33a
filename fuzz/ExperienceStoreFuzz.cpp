// The stored-answer look-up on any file and board, and an index of the same bytes, against the
// file split into lines by hand and each line tried on its own: the first fitting line
// decides, and its step is legal.
#include <fuzzer/FuzzedDataProvider.h>

#include "Board.h"
#include "BoardText.h"
#include "ExperienceIndex.h"
#include "ExperienceStore.h"
#include "FuzzSupport.h"

using namespace kelvara;

namespace {

// The line on its own, by the table of pattern characters.
bool PlainFits(std::string_view line, const Board& board, CellCode side, MoveRecord& move) {
    if (line.size() < ExperienceStore::kEntryLength) return false;
    for (int i = 0; i < 16; ++i) {
        const std::int32_t code = board.Code(i % 4 + 1, i / 4 + 1);
        const char c = line[i];
        const bool fits = c == '3' || (c == '0' && code == Empty) || (c == '1' && code == side) ||
                          (c == '2' && code == Enemy(side));
        if (!fits) return false;
    }
    if (line[16] < '0' || line[16] > '9' || line[17] < '0' || line[17] > '9') return false;
    const std::size_t letter = std::string_view("UDLRudlr").find(line[18]);
    const int direction = letter == std::string_view::npos ? None : static_cast<int>(letter % 4);
    const MoveRecord step{line[16] - '0', line[17] - '0', direction};
    if (!board.IsLegalStep(side, step)) return false;
    move = step;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::ScratchFile file("experience");
    FuzzedDataProvider in(data, size);
    std::string text(16, '.');
    for (char& c : text) c = "bw."[in.ConsumeIntegralInRange(0, 2)];
    Board board;
    KELVARA_FUZZ_CHECK(BoardFromText(text, board));
    const CellCode side = in.ConsumeBool() ? White : Black;
    const std::string bytes = in.ConsumeRemainingBytesAsString();
    file.Write(bytes);

    // The lines: LF ends one, a CR before it belongs to the line end, the last needs none.
    MoveRecord expected{99, 99, None};
    bool expectFit = false;
    for (std::size_t start = 0; start < bytes.size() && !expectFit;) {
        std::size_t stop = bytes.find('\n', start);
        const bool ended = stop != std::string::npos;
        if (!ended) stop = bytes.size();
        std::string_view line(bytes.data() + start, stop - start);
        if (ended && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        MoveRecord one{99, 99, None};
        const bool fits = PlainFits(line, board, side, one);
        MoveRecord again{99, 99, None};
        KELVARA_FUZZ_CHECK(ExperienceStore::MatchExperienceLine(line, board, side, again) == fits);
        KELVARA_FUZZ_CHECK(again == one);
        if (fits) {
            expectFit = true;
            expected = one;
        }
        start = stop + 1;
    }

    // The store looks through a file this new; an index of the same bytes answers the same.
    const ExperienceStore store(file.Path());
    MoveRecord move{99, 99, None};
    KELVARA_FUZZ_CHECK(store.LookUpExperience(board, side, move) == expectFit);
    KELVARA_FUZZ_CHECK(move == expected);
    if (expectFit) KELVARA_FUZZ_CHECK(board.IsLegalStep(side, move));

    ExperienceIndex index;
    const std::string padded = bytes + std::string(ExperienceIndex::kPadding, '\0');
    KELVARA_FUZZ_CHECK(index.AddLines(padded.data(), bytes.size(), true) == bytes.size());
    MoveRecord indexed{99, 99, None};
    KELVARA_FUZZ_CHECK(index.Find(board, side, indexed) == expectFit);
    KELVARA_FUZZ_CHECK(indexed == expected);
    return 0;
}
