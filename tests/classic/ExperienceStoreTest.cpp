#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <optional>
#include <ostream>
#include <random>
#include <thread>

#include "BoardText.h"
#include "ComputerPlayer.h"
#include "EngineTestSupport.h"
#include "ExperienceStore.h"

using namespace kelvara;
using kelvara::test::BoardOf;
using kelvara::test::TempDir;

namespace {

// The position after black's first step (2, 1) up, and its pattern.
const std::string kAfter21U = "b.bbbb.bw..wwwww";
const std::string kPattern21U = "2022220210011111";

struct Experience : ::testing::Test {
    TempDir dir;
    std::string path = dir.File("set/experience.dat");
    ExperienceStore store{path};
    Board board = BoardOf(kAfter21U);

    // Looks up with a marker record; returns the move text or "" when nothing fits.
    std::string LookUp(const std::string& file) {
        dir.Write("set/experience.dat", file);
        return LookUpNow();
    }
    std::string LookUpNow() {
        MoveRecord move{8, 8, None};
        if (!store.LookUpExperience(board, White, move)) {
            EXPECT_EQ(move, (MoveRecord{8, 8, None}));
            return "";
        }
        return Board::FormatMove(move);
    }
};

}  // namespace

TEST_F(Experience, WorkedExampleAndItsVariants) {
    EXPECT_EQ(LookUp(kPattern21U + "13R"), "13R");
    EXPECT_EQ(LookUp(kPattern21U + "13r\n"), "13R");
    EXPECT_EQ(LookUp(kPattern21U + "13R  stored by hand; 13L would be worse\r\n"), "13R");
    // Any other position.
    board = Board();
    EXPECT_EQ(LookUp(kPattern21U + "13R\n"), "");
}

TEST_F(Experience, LineEndsAndTheFirstFittingLine) {
    const std::string other = "2222200210011111" + std::string("24D");  // the start position
    EXPECT_EQ(LookUp(other + "\r\n" + kPattern21U + "43l\r\n" + kPattern21U + "13R\r\n"), "43L");
    EXPECT_EQ(LookUp(other + "\n" + kPattern21U + "43L\n" + kPattern21U + "13R"), "43L");
    EXPECT_EQ(LookUp("\n\r\n" + other + "\n" + kPattern21U + "24D"), "24D");  // last line, no end
    // A pattern character other than 0..3 never fits.
    EXPECT_EQ(LookUp("x" + kPattern21U.substr(1) + "13R\n" + "4" + kPattern21U.substr(1) +
                     "13R\n"
                     " " +
                     kPattern21U + "13R\n"),
              "");
    EXPECT_EQ(LookUp(""), "");
}

TEST_F(Experience, SixteenThreesFitEveryPosition) {
    std::mt19937 rng(5);
    int fitted = 0;
    for (int round = 0; round < 300; ++round) {
        std::string text(16, '.');
        for (char& c : text) c = "bw."[rng() % 3];
        const Board any = BoardOf(text);
        for (int x = 1; x <= 4; ++x) {
            for (int y = 1; y <= 4; ++y) {
                for (int d = Up; d <= Right; ++d) {
                    const MoveRecord step{x, y, d};
                    const std::string line = "3333333333333333" + Board::FormatMove(step);
                    MoveRecord move;
                    const bool fits = ExperienceStore::MatchExperienceLine(line, any, White, move);
                    ASSERT_EQ(fits, any.IsLegalStep(White, step)) << text << ' ' << line;
                    if (fits) {
                        EXPECT_EQ(move, step);
                        ++fitted;
                    }
                }
            }
        }
    }
    EXPECT_GT(fitted, 100);
}

// Fitting patterns with a tail that is short or names a step the rules do not allow are passed
// over, and the next line decides.
TEST_F(Experience, MalformedTailsFitNothing) {
    const char* tails[] = {
        "",    "1",   "13",   "13\r",  // shorter than an entry (the CR is the line end)
        "03R", "53R", "1:R",  "a3R",   // column or row outside 1..4
        "13X", "13 ", "13\t",          // unknown letter
        "23R", "12R", "33U",           // from-point without a white piece (empty, black)
        "14U", "13L", "44R",           // destination off the grid
        "13U", "24R",                  // destination occupied
    };
    for (const char* tail : tails) {
        SCOPED_TRACE(tail);
        EXPECT_EQ(LookUp(kPattern21U + tail + "\n" + kPattern21U + "43L\n"), "43L");
        EXPECT_EQ(LookUp(kPattern21U + tail), "");
        MoveRecord move{8, 8, None};
        EXPECT_FALSE(ExperienceStore::MatchExperienceLine(kPattern21U + tail, board, White, move));
        EXPECT_EQ(move, (MoveRecord{8, 8, None}));
    }
    EXPECT_EQ(BoardToText(board), kAfter21U);
    EXPECT_EQ(board.blackPieces, 6);
    EXPECT_EQ(board.whitePieces, 6);
}

TEST_F(Experience, PatternDigitsAgainstTheSideAskedFor) {
    // Asked for black, '1' means black and '2' white.
    MoveRecord move;
    EXPECT_TRUE(
        ExperienceStore::MatchExperienceLine("1011110120022222"
                                             "42L",
                                             board, Black, move));
    EXPECT_EQ(move, (MoveRecord{4, 2, Left}));
    EXPECT_FALSE(ExperienceStore::MatchExperienceLine(kPattern21U + "42L", board, Black, move));
    // '0' is an empty point, not code 0.
    EXPECT_FALSE(
        ExperienceStore::MatchExperienceLine("2222220210011111"
                                             "13R",
                                             board, White, move));
    EXPECT_FALSE(
        ExperienceStore::MatchExperienceLine("0022220210011111"
                                             "13R",
                                             board, White, move));
    EXPECT_EQ(move, (MoveRecord{4, 2, Left}));
}

TEST_F(Experience, LongLinesAndLinesAcrossReadBlocks) {
    const std::string filler(3 << 20, 'z');
    EXPECT_EQ(LookUp(kPattern21U + "13R" + filler + "\r\n"), "13R");
    EXPECT_EQ(LookUp("0" + filler + "\n" + kPattern21U + "43L\n"), "43L");
    // Entries that start or end close to a 1 MiB boundary, with LF or CR LF ends.
    const std::size_t block = 1 << 20;
    for (std::size_t shift = 0; shift < 24; ++shift) {
        SCOPED_TRACE(shift);
        const std::string lead = "3" + std::string(block - shift - 2, '9') + "\n";
        EXPECT_EQ(LookUp(lead + kPattern21U + "43L\r\n"), "43L");
        EXPECT_EQ(LookUp(lead + kPattern21U + "13\r\n" + kPattern21U + "24D"), "24D");
    }
}

// Entries at every offset near the end of the file and in every place of a 64-character
// block, with and without a line end: the scan must neither miss them nor read past the end.
TEST_F(Experience, EntriesAtEveryOffsetAndAtTheEnd) {
    int files = 0;
    // Each text in a new file (rewriting one file costs a flush on some file systems).
    const auto lookUp = [&](const std::string& text) {
        const std::string name = "e" + std::to_string(files++);
        dir.Write(name, text);
        MoveRecord move{8, 8, None};
        return ExperienceStore(dir.File(name)).LookUpExperience(board, White, move)
                   ? Board::FormatMove(move)
                   : "";
    };
    for (std::size_t lead = 0; lead < 150; ++lead) {
        SCOPED_TRACE(lead);
        const std::string filler = lead == 0 ? "" : std::string(lead - 1, '3') + "\n";
        EXPECT_EQ(lookUp(filler + kPattern21U + "43L"), "43L");
        EXPECT_EQ(lookUp(filler + kPattern21U + "43L\r\n"), "43L");
        // Cut short at the end: the pattern alone, or without the letter.
        EXPECT_EQ(lookUp(filler + kPattern21U), "");
        EXPECT_EQ(lookUp(filler + kPattern21U + "43"), "");
        EXPECT_EQ(lookUp(filler + kPattern21U + "43\r"), "");
        // A line end where the tail should be, followed by more text.
        EXPECT_EQ(lookUp(filler + kPattern21U + "\n43L\n" + kPattern21U + "4\n3L\n"), "");
    }
}

// A directory or a named pipe in the file's place is a file that cannot be read; the pipe must
// not stall the computer's turn.
TEST_F(Experience, NoRegularFileIsNoExperience) {
    std::filesystem::create_directories(path);
    EXPECT_EQ(LookUpNow(), "");
    std::filesystem::remove(path);
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    EXPECT_EQ(LookUpNow(), "");
}

TEST_F(Experience, ReadAfreshAtEveryTurn) {
    ComputerPlayer player(path);
    EXPECT_EQ(player.ChooseMove(board), (MoveRecord{1, 3, Right}));  // the search

    dir.Write("set/experience.dat", kPattern21U + "43L\r\n");
    EXPECT_EQ(player.ChooseMove(board), (MoveRecord{4, 3, Left}));

    std::filesystem::remove(path);
    EXPECT_EQ(player.ChooseMove(board), (MoveRecord{1, 3, Right}));

    dir.Write("set/experience.dat", kPattern21U + "24d\r\n");
    EXPECT_EQ(player.ChooseMove(board), (MoveRecord{2, 4, Down}));
}

TEST(ExperienceDefaults, PathRelativeToTheWorkingDirectory) {
    EXPECT_EQ(ComputerPlayer().Experience().Path(), "set/experience.dat");
    EXPECT_EQ(ExperienceStore().Path(), "set/experience.dat");
}

namespace {

struct LetterCase {
    char letter;
    Direction direction;
};

void PrintTo(const LetterCase& c, std::ostream* os) {
    *os << c.letter;
}

class StoredLetter : public ::testing::TestWithParam<LetterCase> {};

}  // namespace

// Every direction letter in both cases, from a white piece that can step every way.
TEST_P(StoredLetter, NamesItsDirection) {
    const LetterCase c = GetParam();
    TempDir dir;
    const Board open = BoardOf(kelvara::test::Rows("b...", "....", ".w..", "...b"));
    const std::string line = std::string("3333333333333333") + "22" + c.letter;
    const MoveRecord expected{2, 2, c.direction};

    MoveRecord move{8, 8, None};
    EXPECT_TRUE(ExperienceStore::MatchExperienceLine(line, open, White, move));
    EXPECT_EQ(move, expected);

    dir.Write("set/experience.dat", line + "\r\n");
    move = MoveRecord{8, 8, None};
    EXPECT_TRUE(
        ExperienceStore(dir.File("set/experience.dat")).LookUpExperience(open, White, move));
    EXPECT_EQ(move, expected);
}

INSTANTIATE_TEST_SUITE_P(BothCases, StoredLetter,
                         ::testing::Values(LetterCase{'U', Up}, LetterCase{'u', Up},
                                           LetterCase{'D', Down}, LetterCase{'d', Down},
                                           LetterCase{'L', Left}, LetterCase{'l', Left},
                                           LetterCase{'R', Right}, LetterCase{'r', Right}),
                         [](const ::testing::TestParamInfo<LetterCase>& info) {
                             return std::string(1, info.param.letter) +
                                    (info.param.letter >= 'a' ? "_lower" : "_upper");
                         });

namespace {

// Sets the file's modification time an hour back, so that the store may keep what it read.
void AgeFile(const std::string& path) {
    std::filesystem::last_write_time(
        path, std::filesystem::last_write_time(path) - std::chrono::hours(1));
}

std::int64_t ChangeTime(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0);
    return static_cast<std::int64_t>(info.st_ctim.tv_sec) * 1'000'000'000 + info.st_ctim.tv_nsec;
}

}  // namespace

// Full patterns and patterns with '3' in one file: whichever fitting line comes first wins, and
// a fitting line whose step the board does not allow gives way to the next.
TEST_F(Experience, FullAndMaskedLinesInFileOrder) {
    const std::string full = kPattern21U;
    const std::string masked = "3" + kPattern21U.substr(1, 7) + "33333333";
    const std::string otherMasked = "3333333333333330";  // fits nothing here: (4, 4) is white
    struct Case {
        std::string file;
        std::string answer;
    };
    const Case cases[] = {
        {full + "43L\n" + masked + "13R\n", "43L"},
        {masked + "13R\n" + full + "43L\n", "13R"},
        {masked + "23R\n" + full + "43L\n" + masked + "13R\n", "43L"},  // (2, 3) is empty
        {full + "23R\n" + masked + "13R\n" + full + "43L\n", "13R"},
        {otherMasked + "13R\n" + full + "44D\n" + masked + "24D\n", "24D"},  // (4, 3) is taken
        {full.substr(0, 15) + "343L\n" + full + "13R\n", "43L"},
        {masked + "4\n" + masked + "44L\n", ""},  // (3, 4) is taken
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(LookUp(c.file), c.answer);
    }
}

// A file kept unchanged is looked through once and indexed once, then never read again; any
// write to it counts at the next look-up, even one that keeps its size and modification time.
TEST_F(Experience, UnchangedFileReadOnceAndEditsSeenAtTheNextTurn) {
    dir.Write("set/experience.dat", kPattern21U + "43L\n");
    AgeFile(path);
    for (int turn = 0; turn < 3; ++turn) EXPECT_EQ(LookUpNow(), "43L");
    EXPECT_EQ(store.FileReads(), 2u);

    // Rewritten until the change time moves on (it has a coarse clock on some file systems).
    const auto modified = std::filesystem::last_write_time(path);
    const auto changed = ChangeTime(path);
    do {
        dir.Write("set/experience.dat", kPattern21U + "13R\n");
        std::filesystem::last_write_time(path, modified);
    } while (ChangeTime(path) == changed);
    EXPECT_EQ(LookUpNow(), "13R");
    EXPECT_EQ(LookUpNow(), "13R");
    EXPECT_EQ(store.FileReads(), 4u);
}

// A large file edited in place right after a look-up, while the index of it is being built:
// the next look-up answers from the edited file.
TEST_F(Experience, EditWhileTheIndexIsBuilt) {
    const std::string lead(4 << 20, '\n');
    for (const char* step : {"43L", "13R", "24D", "43L"}) {
        SCOPED_TRACE(step);
        dir.Write("set/experience.dat", lead + kPattern21U + step + "\n");
        AgeFile(path);
        EXPECT_EQ(LookUpNow(), step);
    }
}

// Written, looked up and rewritten to the same size at once: the times may be the same as
// well, so a file written this recently is never kept.
TEST_F(Experience, SameSizeEditRightAfterALookUpIsSeen) {
    for (int round = 0; round < 20; ++round) {
        EXPECT_EQ(LookUp(kPattern21U + "43L\n"), "43L");
        EXPECT_EQ(LookUp(kPattern21U + "13R\n"), "13R");
    }
}

TEST_F(Experience, TruncatedAndRewrittenBetweenTurns) {
    const std::string big = std::string(1 << 20, '\n') + kPattern21U + "43L\n";
    dir.Write("set/experience.dat", big);
    AgeFile(path);
    EXPECT_EQ(LookUpNow(), "43L");
    std::filesystem::resize_file(path, 1 << 20);
    EXPECT_EQ(LookUpNow(), "");
    std::filesystem::resize_file(path, 0);
    EXPECT_EQ(LookUpNow(), "");
    EXPECT_EQ(LookUp(kPattern21U + "24D"), "24D");
}

// Another thread truncates, rewrites and extends the file while it is read: no crash, and each
// answer is one that some state of the file gives.
TEST_F(Experience, FileChangingWhileItIsRead) {
    const std::string lead(1 << 20, '\n');
    const std::string first = lead + kPattern21U + "43L\n";
    const std::string second = lead + kPattern21U + "13R\n" + lead;
    dir.Write("set/experience.dat", first);
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int round = 0; round < 60; ++round) {
            dir.Write("set/experience.dat", round % 2 == 0 ? second : first);
            std::filesystem::resize_file(path, (round * 7919u) % first.size());
        }
        done = true;
    });
    int lookUps = 0;
    while (!done || lookUps < 5) {
        const std::string answer = LookUpNow();
        EXPECT_TRUE(answer.empty() || answer == "43L" || answer == "13R") << answer;
        ++lookUps;
    }
    writer.join();
    EXPECT_EQ(LookUp(first), "43L");
}

// A file large enough to be read in two pieces at once: the first fitting line wins wherever
// the middle falls, in either line, between them or in a line of another length.
TEST_F(Experience, LargeFileInTwoPiecesKeepsFileOrder) {
    const std::string refused = kPattern21U + "23R\r\n";  // (2, 3) is empty
    const std::size_t count = ExperienceStore::kSplitBytes / refused.size() / 2 + 1;
    std::string half;
    for (std::size_t i = 0; i < count; ++i) half += refused;
    const std::string full = kPattern21U + "13R\r\n";
    const std::string masked = "3" + kPattern21U.substr(1, 7) + "3333333343L\n";
    for (std::size_t shift = 0; shift < 50; shift += 7) {
        SCOPED_TRACE(shift);
        const std::string lead = half.substr(0, half.size() - shift) + "0\n";
        EXPECT_EQ(LookUp(lead + full + masked + half), "13R");
        EXPECT_EQ(LookUp(lead + masked + full + half), "43L");
        EXPECT_EQ(LookUp(lead + refused + half + full), "13R");
    }
}

// A file of several pieces: fitting lines in different pieces, full or with '3', in either
// order; the earliest wins, however the threads shared the pieces out.
TEST_F(Experience, ManyPiecesKeepFileOrder) {
    const std::string refused = kPattern21U + "23R\r\n";  // (2, 3) is empty
    std::string filler;
    while (filler.size() < ExperienceStore::kPieceBytes / 2) filler += refused;
    const std::string full = kPattern21U + "13R\n";
    const std::string otherFull = kPattern21U + "43L\n";
    const std::string masked = "3" + kPattern21U.substr(1, 7) + "3333333343L\n";
    const std::string otherMasked = "3" + kPattern21U.substr(1, 7) + "3333333324D\n";
    struct Case {
        std::string early, late, answer;
    };
    const Case cases[] = {
        {full, masked, "13R"},    {masked, full, "43L"},        {full, otherFull, "13R"},
        {otherFull, full, "43L"}, {otherMasked, masked, "24D"}, {masked, otherMasked, "43L"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        // Four pieces: the early line in the second, the late one in the third.
        const std::string three = filler + filler + filler;
        EXPECT_EQ(LookUp(three + c.early + three + c.late + filler + filler), c.answer);
    }
}
