#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "BoardText.h"
#include "GameRecordFile.h"

using namespace kelvara;
using Problem = RecordError::Problem;

namespace {

// A random legal game of up to `limit` plies from `board` with `side` to move.
std::vector<MoveRecord> RandomGame(Board board, CellCode side, unsigned seed, int limit) {
    std::mt19937 random(seed);
    std::vector<MoveRecord> moves;
    while (static_cast<int>(moves.size()) < limit && board.Winner(side) == Empty) {
        const StepList steps = board.LegalSteps(side);
        const MoveRecord move = steps[random() % steps.size()];
        board.ApplyMove(side, move);
        moves.push_back(move);
        side = Enemy(side);
    }
    return moves;
}

std::vector<MoveRecord> Moves(std::initializer_list<const char*> texts) {
    std::vector<MoveRecord> moves;
    for (const char* text : texts) {
        MoveRecord move;
        EXPECT_TRUE(ParseMoveText(text, move)) << text;
        moves.push_back(move);
    }
    return moves;
}

std::string ReadError(const std::string& text) {
    RecordError error;
    const auto record = GameRecordFile::Read(text, error);
    if (record) return "read";
    return std::to_string(error.line) + ": " + error.Reason();
}

std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST(GameRecordFile, WrittenGamesReadBackEqual) {
    Board setUp;
    ASSERT_TRUE(BoardFromText("b..b.w....bw..w.", setUp));
    for (unsigned seed = 1; seed <= 40; ++seed) {
        GameRecordFile record;
        record.SetTag("White", "电脑 \"深\" \\ 蓝");
        record.SetTag("Black", "张三");
        record.SetTag("Date", "2026.12.08");
        record.SetTag("Mode", "one-player");
        record.SetTag("Opening", "unknown tags stay");
        Board board;
        CellCode side = Black;
        if (seed % 3 == 0) record.SetStartPosition(setUp, seed % 2 ? White : Black);
        record.StartPosition(board, side);
        record.moves = RandomGame(board, side, seed, seed % 5 == 0 ? 1000 : 60);
        Board end;
        CellCode toMove = Black;
        const std::vector<PlyRecord> plies = record.Replay(end, toMove);
        const CellCode winner = end.Winner(toMove);
        record.SetTag("Result", winner == Black ? "1-0" : winner == White ? "0-1" : "*");

        const std::string text = record.Write();
        RecordError error;
        const auto read = GameRecordFile::Read(text, error);
        ASSERT_TRUE(read) << "seed " << seed << " line " << error.line << ": " << error.Reason()
                          << "\n"
                          << text;
        EXPECT_EQ(*read, record) << text;
        EXPECT_EQ(read->Write(), text);
        ASSERT_EQ(plies.size(), record.moves.size());

        // The plies replay the game: each starts where the one before left the board.
        Board check;
        record.StartPosition(check, side);
        for (const PlyRecord& ply : plies) {
            EXPECT_EQ(ply.side, side);
            EXPECT_EQ(ply.blackPiecesBefore, check.blackPieces);
            EXPECT_EQ(ply.captured, check.ApplyMove(side, ply.step));
            side = Enemy(side);
        }
        EXPECT_EQ(BoardToText(check), BoardToText(end));
        for (const std::string& line : {std::string("\r"), std::string(80, 'x')})
            EXPECT_EQ(text.find(line), std::string::npos) << text;
    }
}

TEST(GameRecordFile, ForgivingAboutForm) {
    const std::string text =
        "\xEF\xBB\xBF\r\n"
        "[Result \"*\"]\r\n"
        "  [White\t\"李四\"]  [Black\"张三\"]\r\n"
        "\r\n"
        "{ a comment\r\n over two lines } 21u 13r\r\n"
        "1.12U {after a move} 1... 43l 3. 11u\r\n"
        "*\r\n";
    RecordError error;
    const auto record = GameRecordFile::Read(text, error);
    ASSERT_TRUE(record) << error.line << ": " << error.Reason();
    EXPECT_EQ(record->moves, Moves({"21U", "13R", "12U", "43L", "11U"}));
    EXPECT_EQ(record->tags,
              (std::vector<RecordTag>{{"Result", "*"}, {"White", "李四"}, {"Black", "张三"}}));

    // A set-up position with white to move, and a result given only after the moves.
    const auto setUp = GameRecordFile::Read(
        "[Position \"bbbbb..bw..wwwww  W\"]\n13R 21U 0-1\n" /* not over: result stands */, error);
    ASSERT_TRUE(setUp) << error.line << ": " << error.Reason();
    Board board;
    CellCode side = Black;
    setUp->StartPosition(board, side);
    EXPECT_EQ(side, White);
    EXPECT_EQ(setUp->Tag("Result"), "0-1");
    EXPECT_EQ(setUp->Write(),
              "[Position \"bbbbb..bw..wwwww  W\"]\n[Result \"0-1\"]\n\n"
              "1... 13R 2. 21U 0-1\n");
}

TEST(GameRecordFile, ErrorsNameTheLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"[Black \"a\"]\n\n1. 21U 13R\n2. 12U 43L\n3. 22U\n", "5: illegal move 22U"},
        {"21U\n13R\n\n22X\n", "4: bad move text 22X"},
        {"21U 12U\n", "1: illegal move 12U"},
        {"[Black \"a\"\n21U\n", "1: bad tag Black"},
        {"[Black a]\n", "1: bad tag Black"},
        {"[ \"a\"]\n", "1: bad tag"},
        {"[Black \"a\"]\n[Black \"b\"]\n", "2: tag Black given twice"},
        {"\n[Mode \"solo\"]\n", "2: bad value of tag Mode"},
        {"[Level \"master\"]\n", "1: bad value of tag Level"},
        {"[Result \"1/2-1/2\"]\n", "1: bad value of tag Result"},
        {"[Position \"bbbbb..bw..wwwww\"]\n",
         "1: position must be 16 characters of b, w and . and the side b or w"},
        {"[Position \"bbbbb..bw..wwwwx b\"]\n",
         "1: position must be 16 characters of b, w and . and the side b or w"},
        {"[Position \"bbbbb..b........ b\"]\n", "1: the position needs a piece of each side"},
        {"21U\n[Black \"a\"]\n", "2: tag after the moves"},
        {"21U {open\n\n13R\n", "1: comment not closed"},
        {"[Result \"1-0\"]\n21U 0-1\n", "2: result 0-1 does not fit the game"},
        {"21U * 13R\n", "1: move after the end of the game 13R"},
        {"21U\n\n13\n", "3: bad move text 13"},
        {"[Black \"\xC3\"]\n", "1: not UTF-8 text"},
        {"21U\n13R\x01\n", "2: not UTF-8 text"},
        // A finished game: white has no step any more, so black won.
        {"[Position \"bb..w........... w\"]\n[Result \"0-1\"]\n",
         "2: result 0-1 does not fit the game"},
        {"[Position \"bb..w........... w\"]\n\n41U\n", "3: move after the end of the game 41U"},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(ReadError(text), expected) << text;

    std::string big = "21U\n";
    while (big.size() <= GameRecordFile::kMaxBytes) big += "{ padding padding padding }\n";
    EXPECT_EQ(ReadError(big).substr(ReadError(big).find(':')), ": the file is larger than 1 MiB");
    EXPECT_EQ(ReadError(big.substr(0, GameRecordFile::kMaxBytes)), "read");
}

TEST(GameRecordFile, ReadsOnlyRegularFiles) {
    const auto folder = std::filesystem::path(::testing::TempDir()) / "record-read";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "game.kvr") << "21U 13R *\n";
    RecordError error;
    const auto record = GameRecordFile::ReadFile(folder / "game.kvr", error);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->moves.size(), 2u);
    for (const auto& path : {folder, folder / "missing.kvr"}) {
        EXPECT_FALSE(GameRecordFile::ReadFile(path, error)) << path;
        EXPECT_EQ(error.line, 0);
        EXPECT_EQ(error.problem, Problem::Unreadable);
    }
}

TEST(AtomicFile, ReplacesWholeOrLeavesTheOldFile) {
    const auto folder = std::filesystem::path(::testing::TempDir()) / "atomic-file";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string path = folder / "game.kvr";
    std::string error;
    ASSERT_TRUE(AtomicFile::Write(path, "old", error)) << error;
    ASSERT_TRUE(AtomicFile::Write(path, "new one", error)) << error;
    EXPECT_EQ(Slurp(path), "new one");

    // A write cut short by the file size limit keeps the old file and leaves no other.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = AtomicFile::Write(path, std::string(4096, 'x'), error);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &saved), 0);
    EXPECT_FALSE(written);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Slurp(path), "new one");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                            std::filesystem::directory_iterator()),
              1);

    EXPECT_FALSE(AtomicFile::Write((folder / "no-folder" / "game.kvr").string(), "x", error));
    // A folder in the way is not replaced.
    std::filesystem::create_directory(folder / "taken");
    EXPECT_FALSE(AtomicFile::Write((folder / "taken").string(), "x", error));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "taken"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                            std::filesystem::directory_iterator()),
              2);
}
