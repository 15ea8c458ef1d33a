#include <QAbstractButton>
#include <QAction>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QStandardPaths>
#include <QTreeWidget>

#include "BoardText.h"
#include "GameRecordFile.h"
#include "GuiFixture.h"
#include "MainDialog.h"
#include "RecordFiles.h"
#include "StartGameDialog.h"

using namespace kelvara;

namespace {

QStringList Items(QTreeWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(0);
    return texts;
}

class RecordFilesTest : public GuiFixture {
  protected:
    void PlayWhiteWins(MainDialog& window) {
        StartFromMenu(window, &StartGameDialog::TwoPlayersRadio, "张三", "李四");
        for (const char* move : kWhiteWins) PlayByMouse(window, move);
        ASSERT_EQ(window.Session().Phase(), TurnPhase::Over);
    }
    static GameRecordFile ReadBack(const QString& path) {
        RecordError error;
        auto record = GameRecordFile::ReadFile(path.toStdString(), error);
        EXPECT_TRUE(record) << error.Reason();
        return record.value_or(GameRecordFile{});
    }
    QString Write(const char* name, const std::string& text) {
        WriteFile(name, text);
        return dir_.filePath(name);
    }
};

}  // namespace

TEST_F(RecordFilesTest, AFinishedGameIsKeptOnceWithoutAnyAction) {
    ASSERT_TRUE(QStandardPaths::isTestModeEnabled());
    auto window = OpenWindow();
    PlayWhiteWins(*window);
    QStringList kept = RecordFiles::Recent();
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(kept[0].startsWith(RecordFiles::GamesFolder() + '/'));
    EXPECT_TRUE(RecordFiles::GamesFolder().endsWith(QStringLiteral("/kelvara/games")));
    const GameRecordFile record = ReadBack(kept[0]);
    EXPECT_EQ(record.Tag("Black"), "张三");
    EXPECT_EQ(record.Tag("White"), "李四");
    EXPECT_EQ(record.Tag("Mode"), "two-player");
    EXPECT_EQ(record.Tag("Result"), "0-1");
    EXPECT_EQ(record.Tag("Level"), "");
    EXPECT_EQ(record.Tag("Position"), "");
    EXPECT_EQ(record.Tag("Date"), QDate::currentDate().toString("yyyy.MM.dd").toStdString());
    ASSERT_EQ(record.moves.size(), std::size(kWhiteWins));
    for (std::size_t i = 0; i < record.moves.size(); ++i)
        EXPECT_EQ(Board::FormatMove(record.moves[i]), kWhiteWins[i]);

    // The same end reached again after an undo is not kept twice.
    ASSERT_TRUE(window->Session().Undo());
    ASSERT_TRUE(window->Session().Redo());
    window->findChild<QMenu*>("editMenu")->aboutToShow();
    EXPECT_EQ(RecordFiles::Recent().size(), 1);

    // Another game ending in the same second gets a name of its own, listed first.
    window->findChild<QAction*>("actionAgain")->trigger();
    for (const char* move : kWhiteWins) PlayByMouse(*window, move);
    kept = RecordFiles::Recent();
    ASSERT_EQ(kept.size(), 2);
    EXPECT_NE(kept[0], kept[1]);
    EXPECT_EQ(RecordFiles::FreeName("/x", QDateTime(QDate(2026, 12, 9), QTime(7, 30, 12))),
              "/x/2026-12-09_07-30-12.kvr");
}

TEST_F(RecordFilesTest, AGameThatCannotBeKeptIsSaidOnceAndStaysOnTheBoard) {
    // A file where the folder should be.
    const QString folder = RecordFiles::GamesFolder();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(folder).path()));
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    auto window = OpenWindow();
    PlayWhiteWins(*window);
    EXPECT_EQ(window->StatusText(), "游戏结束，白棋(李四)胜!!（棋谱没能保存）");
    window->findChild<QMenu*>("editMenu")->aboutToShow();
    EXPECT_EQ(window->StatusText().count("棋谱没能保存"), 1);
    EXPECT_EQ(Items(window->WhiteHistory()).size(), 5);
    EXPECT_LE(window->Session().CurrentBoard().blackPieces, 1);
}

TEST_F(RecordFilesTest, OpensAForgivingRecordAndRefusesABadOneKeepingTheGame) {
    auto window = OpenWindow();
    const QString good = Write("good.kvr",
                               "[White \"李四\"]\r\n{ a comment }\r\n[Black \"张三\"]\r\n\r\n"
                               "12r 13d 31U\r\n14d\r\n");
    QString picked = good;
    window->SetFilePicker([&](bool forSaving) {
        EXPECT_FALSE(forSaving);
        return picked;
    });
    window->findChild<QAction*>("actionOpenRecord")->trigger();
    EXPECT_EQ(Items(window->BlackHistory()), QStringList({"12R", "31U"}));
    EXPECT_EQ(Items(window->WhiteHistory()), QStringList({"13D", "14D"}));
    EXPECT_EQ(window->MatchText(), "战局：   张三(黑)   VS   李四(白)");
    EXPECT_EQ(window->Session().SideToMove(), Black);
    ASSERT_TRUE(window->Session().CanUndo());
    window->findChild<QAction*>("actionUndo")->trigger();
    EXPECT_EQ(Items(window->WhiteHistory()), QStringList({"13D"}));
    window->findChild<QAction*>("actionRedo")->trigger();
    const std::string board = BoardToText(window->Session().CurrentBoard());

    // The 5th move is illegal: white stands on 12 by now.
    picked = Write("bad.kvr", "[Black \"a\"]\n1. 12R 13D\n2. 31U 14D\n3. 12R 43L\n");
    SeenBox seen;
    CloseNextMessageBox(&seen);
    window->findChild<QAction*>("actionOpenRecord")->trigger();
    EXPECT_TRUE(seen.shown);
    EXPECT_EQ(seen.text, "第 4 行：不合规则的着法 12R");
    EXPECT_EQ(BoardToText(window->Session().CurrentBoard()), board);
    EXPECT_EQ(Items(window->BlackHistory()), QStringList({"12R", "31U"}));

    CloseNextMessageBox(&seen);
    EXPECT_FALSE(window->OpenRecord(dir_.filePath("missing.kvr")));
    EXPECT_EQ(seen.text, "不能读取文件");
}

TEST_F(RecordFilesTest, SavedSetUpGameOpensAgainAndTheRecentMenuOpensKeptGames) {
    auto window = OpenWindow();
    PlayWhiteWins(*window);
    window->findChild<QAction*>("actionAgain")->trigger();
    Board start = window->Session().CurrentBoard();
    MoveRecord first;
    ASSERT_TRUE(ParseMoveText("12R", first));
    start.ApplyMove(Black, first);
    window->Session().SetUpPosition(start, White);
    PlayByMouse(*window, "13D");

    const QString path = dir_.filePath("mine.kvr");
    window->SetFilePicker([&](bool forSaving) {
        EXPECT_TRUE(forSaving);
        return path;
    });
    window->findChild<QAction*>("actionSaveRecord")->trigger();
    const GameRecordFile saved = ReadBack(path);
    EXPECT_EQ(saved.Tag("Position"), BoardToText(start) + " w");
    EXPECT_EQ(saved.Tag("Result"), "*");
    WhenModal([](QWidget* modal) {  // the game under way is given up
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr) return false;
        box->button(QMessageBox::Yes)->click();
        return true;
    });
    ASSERT_TRUE(window->OpenRecord(path));
    EXPECT_EQ(BoardToText(window->Session().StartBoard()), BoardToText(start));
    EXPECT_EQ(Items(window->WhiteHistory()), QStringList({"13D"}));

    QMenu* recent = window->findChild<QMenu*>("recentMenu");
    recent->aboutToShow();
    ASSERT_EQ(recent->actions().size(), 1);
    WhenModal([](QWidget* modal) {  // the game under way is given up
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr) return false;
        box->button(QMessageBox::Yes)->click();
        return true;
    });
    recent->actions()[0]->trigger();
    EXPECT_EQ(Items(window->WhiteHistory()).size(), 5);
    EXPECT_EQ(window->Session().Phase(), TurnPhase::Over);
    EXPECT_EQ(RecordFiles::Recent().size(), 1);  // opening a kept game keeps nothing new
}
