#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "EngineTestSupport.h"
#include "ScoreBook.h"

using kelvara::GameKind;
using kelvara::Level;
using kelvara::ScoreBook;

namespace {

ScoreBook Filled() {
    ScoreBook book;
    book.Games(GameKind::OnePlayer, Level::Perfect) = {1, 22, 3};
    book.Games(GameKind::OnePlayer, Level::Beginner).wins = 4000000000u;
    book.Games(GameKind::TwoPlayers).unfinished = 5;
    book.Games(GameKind::Network).losses = 6;
    book.PuzzlesSolved() = 7;
    return book;
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace

TEST(ScoreBook, TextRoundTripAndHostileText) {
    const ScoreBook book = Filled();
    ScoreBook read;
    ASSERT_TRUE(read.FromText(book.Text()));
    EXPECT_EQ(read, book);
    EXPECT_EQ(read.Games(GameKind::OnePlayer, Level::Expert), kelvara::ScoreLine{});

    ASSERT_TRUE(read.FromText("kelvara-score 1\r\npuzzles 3\r\n\r\none expert 1 2 3"));
    EXPECT_EQ(read.PuzzlesSolved(), 3u);
    EXPECT_EQ(read.Games(GameKind::OnePlayer, Level::Expert), (kelvara::ScoreLine{1, 2, 3}));
    EXPECT_EQ(read.Games(GameKind::OnePlayer, Level::Perfect), kelvara::ScoreLine{});

    const std::string bad[] = {
        "",
        "kelvara-score 2\n",
        "puzzles 1\n",
        "kelvara-score 1\npuzzles 1\npuzzles 2\n",
        "kelvara-score 1\npuzzles 4294967296\n",
        "kelvara-score 1\npuzzles -1\n",
        "kelvara-score 1\npuzzles 1 2\n",
        "kelvara-score 1\none master 1 2 3\n",
        "kelvara-score 1\none classic 1 2\n",
        "kelvara-score 1\ntwo 1 2 x\n",
        "kelvara-score 1\n   \n",
        "kelvara-score 1\nlosses 1\n",
        "kelvara-score 1\n" + std::string(ScoreBook::kMaxFileBytes, '\n'),
    };
    for (const std::string& text : bad) {
        ScoreBook kept = book;
        EXPECT_FALSE(kept.FromText(text)) << text.substr(0, 40);
        EXPECT_EQ(kept, book);
    }
}

TEST(ScoreBook, MissingReadAndSetAside) {
    kelvara::test::TempDir dir;
    const std::string path = dir.File("score");
    std::string aside;
    ScoreBook book = Filled();
    EXPECT_EQ(book.Load(path, aside), ScoreBook::LoadResult::Missing);
    EXPECT_EQ(book, ScoreBook{});

    std::string error;
    ASSERT_TRUE(Filled().Save(path, error)) << error;
    EXPECT_EQ(book.Load(path, aside), ScoreBook::LoadResult::Read);
    EXPECT_EQ(book, Filled());

    // A bad file goes aside once, under a free name, and the next load finds nothing.
    dir.Write("score.bad", "older");
    dir.Write("score", "kelvara-score 1\npuzzles many\n");
    EXPECT_EQ(book.Load(path, aside), ScoreBook::LoadResult::SetAside);
    EXPECT_EQ(book, ScoreBook{});
    EXPECT_EQ(aside, path + ".bad.1");
    EXPECT_EQ(Slurp(aside), "kelvara-score 1\npuzzles many\n");
    EXPECT_EQ(Slurp(path + ".bad"), "older");
    EXPECT_EQ(book.Load(path, aside), ScoreBook::LoadResult::Missing);

    dir.Write("score", std::string(1 << 20, 'x'));
    EXPECT_EQ(book.Load(path, aside), ScoreBook::LoadResult::SetAside);
    std::filesystem::create_directory(path);
    EXPECT_EQ(book.Load(path, aside), ScoreBook::LoadResult::SetAside);
    EXPECT_FALSE(std::filesystem::exists(path));
}

// A writer killed in the middle of its write leaves the old score whole and readable.
TEST(ScoreBook, CrashBeforeRenameKeepsTheOldFile) {
    kelvara::test::TempDir dir;
    const std::string path = dir.File("score");
    ScoreBook old;
    old.PuzzlesSolved() = 1;
    std::string error;
    ASSERT_TRUE(old.Save(path, error)) << error;
    const std::string before = Slurp(path);

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit limit{16, 16};  // the write is cut by SIGXFSZ after 16 bytes
        setrlimit(RLIMIT_FSIZE, &limit);
        std::string ignored;
        Filled().Save(path, ignored);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    EXPECT_EQ(WTERMSIG(status), SIGXFSZ);

    EXPECT_EQ(Slurp(path), before);
    // The cut temporary file is still there beside it, and is not what is read.
    int left = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        left += entry.path().filename().string().rfind("score.tmp-", 0) == 0;
    EXPECT_EQ(left, 1);
    ScoreBook read;
    std::string aside;
    EXPECT_EQ(read.Load(path, aside), ScoreBook::LoadResult::Read);
    EXPECT_EQ(read, old);
    ASSERT_TRUE(Filled().Save(path, error)) << error;
    EXPECT_EQ(read.Load(path, aside), ScoreBook::LoadResult::Read);
    EXPECT_EQ(read, Filled());
}
