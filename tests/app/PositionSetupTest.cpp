#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "BoardText.h"
#include "GameRecordFile.h"
#include "GuiFixture.h"
#include "MainDialog.h"
#include "PositionSetupDialog.h"
#include "RecordFiles.h"
#include "ScenePicture.h"
#include "SetupBoard.h"

using namespace kelvara;

namespace {

class PositionSetupTest : public GuiFixture {
  protected:
    static void ClickPoint(PositionSetupDialog& dialog, int column, int row,
                           Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(dialog.BoardView(), button, {}, SetupBoard::Centre(column, row));
    }
    static std::string Text(const PositionSetupDialog& dialog) {
        return BoardToText(dialog.ChosenBoard());
    }
    // The opaque middle of a piece's square on the dialog's board.
    static bool ShowsPieceAt(const QImage& board, int column, int row, const QImage& piece) {
        const QRect square(SetupBoard::Centre(column, row) - QPoint(10, 10), QSize(20, 20));
        return ShowsPicture(board, square.adjusted(7, 7, -7, -7), piece.copy(7, 7, 6, 6));
    }
};

}  // namespace

TEST_F(PositionSetupTest, PlacesRefusesAndTakesPastedText) {
    const ScenePicture background("res/background.png", {542, 400}, ScenePicture::Fit::Tile);
    const ScenePicture black("res/black.png", {20, 20}, ScenePicture::Fit::Stretch);
    const ScenePicture white("res/white.png", {20, 20}, ScenePicture::Fit::Stretch);
    Board start;
    PositionSetupDialog dialog(background, black, white, start, Black, GameKind::TwoPlayers);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.TextEdit()->text(), "bbbbb..bw..wwwww b");
    EXPECT_TRUE(dialog.OkButton()->isEnabled());

    // A click cycles empty, black, white, empty; a right click clears; a click between the
    // points changes nothing.
    ClickPoint(dialog, 2, 2);
    EXPECT_EQ(Text(dialog), "bbbbbb.bw..wwwww");
    ClickPoint(dialog, 2, 2);
    EXPECT_EQ(Text(dialog), "bbbbbw.bw..wwwww");
    ClickPoint(dialog, 2, 2);
    ClickPoint(dialog, 1, 4, Qt::RightButton);
    QTest::mouseClick(dialog.BoardView(), Qt::LeftButton, {},
                      (SetupBoard::Centre(2, 2) + SetupBoard::Centre(3, 3)) / 2);
    EXPECT_EQ(Text(dialog), "bbbbb..bw..w.www");
    EXPECT_EQ(dialog.TextEdit()->text(), "bbbbb..bw..w.www b");

    // White down to one piece, then none, then two again; seven black pieces.
    dialog.SetTool(PositionSetupDialog::Tool::Erase);
    for (const auto& [column, row] : {std::pair{1, 3}, {2, 4}, {3, 4}, {4, 3}})
        ClickPoint(dialog, column, row);
    EXPECT_EQ(dialog.ProblemLabel()->text(), "只有一子的一方已经输了：每方至少要有两子。");
    EXPECT_FALSE(dialog.OkButton()->isEnabled());
    ClickPoint(dialog, 4, 4);
    EXPECT_EQ(dialog.ProblemLabel()->text(), "黑白双方都要有棋子。");
    dialog.SetTool(PositionSetupDialog::Tool::White);
    ClickPoint(dialog, 4, 4);
    ClickPoint(dialog, 4, 3);
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    EXPECT_TRUE(dialog.ProblemLabel()->text().isEmpty());
    dialog.SetTool(PositionSetupDialog::Tool::Black);
    ClickPoint(dialog, 2, 2);
    ClickPoint(dialog, 3, 2);
    EXPECT_EQ(dialog.ProblemLabel()->text(), "每方最多六子：对局中棋子只会减少。");

    // Pasted text, with the engine's command word; black walled in with black to move.
    QApplication::clipboard()->setText(QStringLiteral("  position BBW.WW.......... B "));
    dialog.TextEdit()->selectAll();
    dialog.TextEdit()->paste();
    EXPECT_EQ(Text(dialog), "bbw.ww..........");
    EXPECT_EQ(dialog.ProblemLabel()->text(), "先走的一方无路可走，已经输了。");
    dialog.WhiteFirstRadio()->click();
    EXPECT_EQ(dialog.SideToMove(), White);
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    EXPECT_EQ(dialog.TextEdit()->text(), "bbw.ww.......... w");
    const QImage drawn = dialog.BoardView()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(ShowsPieceAt(drawn, 1, 1, black.At(1.0).convertToFormat(QImage::Format_RGB32)));
    EXPECT_TRUE(ShowsPieceAt(drawn, 1, 2, white.At(1.0).convertToFormat(QImage::Format_RGB32)));
    EXPECT_FALSE(ShowsPieceAt(drawn, 4, 4, black.At(1.0).convertToFormat(QImage::Format_RGB32)));

    // Text that is no board leaves the board as it was and OK off until it is mended.
    dialog.TextEdit()->clear();
    QTest::keyClicks(dialog.TextEdit(), "bbw.ww");
    EXPECT_EQ(Text(dialog), "bbw.ww..........");
    EXPECT_TRUE(dialog.ProblemLabel()->text().startsWith("棋盘文字应为"));
    EXPECT_FALSE(dialog.OkButton()->isEnabled());
    QTest::keyClicks(dialog.TextEdit(), "......b...");
    EXPECT_EQ(Text(dialog), "bbw.ww......b...");
    EXPECT_EQ(dialog.SideToMove(), White);
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
}

TEST_F(PositionSetupTest, AGameFromTheSetUpIsPlayedAndKeptWithItsPosition) {
    auto window = OpenWindow();
    // White to move takes black's last piece but one with 23R.
    const std::string position = ".b....b..w....w.";
    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<PositionSetupDialog*>(modal);
        if (dialog == nullptr) return false;
        QTest::keyClicks(dialog->TextEdit(), "x");  // no board: OK is refused
        dialog->OkButton()->click();
        EXPECT_TRUE(dialog->isVisible());
        dialog->TextEdit()->clear();
        QTest::keyClicks(dialog->TextEdit(), QString::fromStdString(position + " w"));
        dialog->OkButton()->click();
        return true;
    });
    window->findChild<QAction*>("actionSetUp")->trigger();
    EXPECT_EQ(BoardToText(window->Session().StartBoard()), position);
    EXPECT_EQ(window->Session().SideToMove(), White);
    EXPECT_EQ(window->StatusText(), "现在是 白方(白)  走棋...");
    EXPECT_EQ(window->MatchText(), "战局：   黑方(黑)   VS   白方(白)");

    PlayByMouse(*window, "23R");
    ASSERT_EQ(window->Session().Phase(), TurnPhase::Over);
    const QStringList kept = RecordFiles::Recent();
    ASSERT_EQ(kept.size(), 1);
    RecordError error;
    const auto record = GameRecordFile::ReadFile(kept.front().toStdString(), error);
    ASSERT_TRUE(record) << error.Reason();
    EXPECT_EQ(record->Tag("Position"), position + " w");
    EXPECT_EQ(record->Tag("Result"), "0-1");
    ASSERT_EQ(record->moves.size(), 1u);
    EXPECT_EQ(Board::FormatMove(record->moves[0]), "23R");

    // 再来一局 starts from the set-up position again.
    window->findChild<QAction*>("actionAgain")->trigger();
    EXPECT_EQ(BoardToText(window->Session().CurrentBoard()), position);
    EXPECT_EQ(window->Session().SideToMove(), White);
}

TEST_F(PositionSetupTest, ARecordWithWhiteToMoveAndNoMovesOpensOnWhitesTurn) {
    auto window = OpenWindow();
    WriteFile("white.kvr", "[Black \"甲\"]\n[White \"乙\"]\n[Position \"bbbbb..bw..wwwww w\"]\n");
    ASSERT_TRUE(window->OpenRecord(dir_.filePath("white.kvr")));
    EXPECT_EQ(window->Session().SideToMove(), White);
    EXPECT_EQ(window->StatusText(), "现在是 乙(白)  走棋...");
    EXPECT_TRUE(window->Session().MayLift(1, 3));
    EXPECT_FALSE(window->Session().MayLift(1, 1));
    PlayByMouse(*window, "13R");
    EXPECT_EQ(window->StatusText(), "现在是 甲(黑)  走棋...");
}
