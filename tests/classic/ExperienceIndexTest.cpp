#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "ExperienceIndex.h"
#include "ExperienceScanner.h"
#include "ExperienceStore.h"

using namespace kelvara;
using kelvara::test::BoardOf;
using namespace std::string_literals;

namespace {

const std::string kPattern21U = "2022220210011111";  // fits "b.bbbb.bw..wwwww" for white

// The first fitting line of `text`, each line tried on its own; "" when none fits.
std::string FirstFit(const std::string& text, const Board& board, CellCode side) {
    for (std::size_t start = 0; start < text.size();) {
        std::size_t stop = text.find('\n', start);
        const bool ended = stop != std::string::npos;
        if (!ended) stop = text.size();
        std::string_view line(text.data() + start, stop - start);
        if (ended && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        MoveRecord move;
        if (ExperienceStore::MatchExperienceLine(line, board, side, move))
            return Board::FormatMove(move);
        start = stop + 1;
    }
    return "";
}

// The text given to an index or a scanner in pieces of at most `piece` bytes, as a reader
// hands them on: what a call leaves unused comes again at the front of the next.
template <class Reader>
void Feed(Reader& reader, const std::string& text, std::size_t piece) {
    std::string pending;
    for (std::size_t at = 0;;) {
        const std::size_t take = std::min(piece - pending.size(), text.size() - at);
        pending.append(text, at, take);
        at += take;
        const bool atEnd = at == text.size();
        std::string padded = pending + std::string(ExperienceIndex::kPadding, '\0');
        const std::size_t used = reader.AddLines(padded.data(), pending.size(), atEnd);
        if (atEnd) break;
        pending.erase(0, used);
    }
}

ExperienceIndex IndexOf(const std::string& text, ExperienceIndex::Scan scan, std::size_t piece) {
    ExperienceIndex index(scan);
    Feed(index, text, piece);
    return index;
}

std::string Scanned(const std::string& text, const Board& board, CellCode side,
                    ExperienceIndex::Scan scan, std::size_t piece) {
    ExperienceScanner scanner(board, side, scan);
    Feed(scanner, text, piece);
    MoveRecord move;
    return scanner.Found(move) ? Board::FormatMove(move) : "";
}

std::string Find(const ExperienceIndex& index, const Board& board, CellCode side) {
    MoveRecord move;
    return index.Find(board, side, move) ? Board::FormatMove(move) : "";
}

// Lines near the pattern above: digits changed at random places (some to '3'), steps that are
// legal, illegal or malformed, CR LF or LF ends, lone CRs, NULs, short and long lines. Runs of
// lines of one length come between, as most files have them.
std::string RandomText(std::mt19937& rng, std::size_t lines) {
    const std::string tails[] = {"13R", "43L", "24D",      "13r",     "44U",         "53R",  "13X",
                                 "1",   "",    "13R\r\r"s, "43L\0z"s, "24D comment", "13R\r"};
    std::string text;
    std::string tail = "43L";
    std::string end = "\r\n";
    for (std::size_t i = 0; i < lines; ++i) {
        if (rng() % 8 == 0) {
            tail = tails[rng() % std::size(tails)];
            if (tail.empty() && rng() % 2) tail = "43L\0"[rng() % 4];
            end = rng() % 3 ? "\r\n" : "\n";
        }
        std::string line = kPattern21U;
        for (unsigned changes = rng() % 3; changes > 0; --changes)
            line[rng() % 16] = "01233"[rng() % 5];
        if (rng() % 50 == 0) line[rng() % 16] = "4x\r\0"s[rng() % 4];
        if (rng() % 40 == 0) line.resize(rng() % 16);
        text += line + tail;
        if (rng() % 60 == 0) text += std::string(rng() % 200, '9');
        text += end;
    }
    return text;
}

}  // namespace

// Both scanners, whole and in pieces that cut lines anywhere, give the answer of the lines
// tried one by one, in an index and looking through the text for one board, for every board
// near the pattern and both sides.
TEST(ExperienceIndex, ScannersAndPiecesAgreeWithTheLinesOneByOne) {
    std::mt19937 rng(2024);
    std::vector<Board> boards;
    for (const char* text : {"b.bbbb.bw..wwwww", "bb.bbb.bw..wwwww", "b.bbbb.bw...wwww",
                             "bbbbbb..........", "b.bbbb.bw..wwww.", "w.wwww.wb..bbbbb"})
        boards.push_back(BoardOf(text));
    int fitted = 0;
    for (int round = 0; round < 40; ++round) {
        std::string text = RandomText(rng, 40 + rng() % 200);
        if (round % 3 == 0) text.resize(text.size() - rng() % 4);  // cut short at the end
        SCOPED_TRACE(text);
        for (const ExperienceIndex::Scan scan :
             {ExperienceIndex::Scan::Vector, ExperienceIndex::Scan::Word}) {
            for (const std::size_t piece :
                 {std::size_t{1} << 20, std::size_t{64}, std::size_t{37}}) {
                const ExperienceIndex index = IndexOf(text, scan, piece);
                for (const Board& board : boards) {
                    for (const CellCode side : {White, Black}) {
                        const std::string expected = FirstFit(text, board, side);
                        ASSERT_EQ(Find(index, board, side), expected)
                            << "scan " << static_cast<int>(scan) << " piece " << piece;
                        ASSERT_EQ(Scanned(text, board, side, scan, piece), expected)
                            << "scan " << static_cast<int>(scan) << " piece " << piece;
                        fitted += !expected.empty();
                    }
                }
            }
        }
    }
    EXPECT_GT(fitted, 200);
}

// Lines of one length whose code is held, or whose step was refused, give way to a later line
// that differs only after the pattern; a line equal to an earlier one adds nothing.
TEST(ExperienceIndex, RepeatedLinesAndTheirStepCharacters) {
    const Board board = BoardOf("b.bbbb.bw..wwwww");
    struct Case {
        std::string text;
        std::string answer;
    };
    const std::string refused = kPattern21U + "23R\r\n";  // (2, 3) is empty
    std::string many;
    for (int i = 0; i < 100; ++i) many += refused;
    const Case cases[] = {
        {many + kPattern21U + "43L\r\n" + many, "43L"},
        {many + kPattern21U + "13R\r\n" + kPattern21U + "43L\r\n", "13R"},
        {many + kPattern21U + "43\n\r\n" + kPattern21U + "43L\r\n", "43L"},
        {many + kPattern21U + "2\r\n\r\n" + kPattern21U + "24D\r\n" + many, "24D"},
        {many + kPattern21U + "23R\r\r" + kPattern21U + "24D\r\n", ""},
    };
    for (const Case& c : cases) {
        for (const ExperienceIndex::Scan scan :
             {ExperienceIndex::Scan::Vector, ExperienceIndex::Scan::Word}) {
            EXPECT_EQ(Find(IndexOf(c.text, scan, 1 << 20), board, White), c.answer) << c.text;
        }
    }
}
