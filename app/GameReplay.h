#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "Board.h"
#include "GameReview.h"
#include "PlyRecord.h"

class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace kelvara {

class GameSession;
class ReviewChart;
class TableService;

// Stepping through a game that has ended, or through a record just opened, and its review
// from the solved table. The session's game is left as it stands: the window shows the
// position after the chosen ply (ShownBoard()) with that ply's marks, the entry of the ply
// selected in its move list, and the review chart under the board, where every mistake is
// flagged as it is in the lists. Only a press on a piece of the side to move goes on from
// the position shown, through GameSession::PlayOnFrom(): a new line, as after undo.
//
// While the chart is shown the window is taller by its height, so the board keeps its size.
class GameReplay : public QObject {
    Q_OBJECT
  signals:
    // The position shown, its texts or the review changed: the window shows them again.
    void Changed();
    // The replay has ended: the game's own position and texts are to be shown again.
    void Left();

  public:
    static constexpr int kTablePollMs = 100;

    // `table` gives the solved table's service, starting it when needed.
    GameReplay(GameSession& session, QWidget& window, QTreeWidget& blackList,
               QTreeWidget& whiteList, ReviewChart& chart, std::function<TableService*()> table);

    // Replay may begin: the game has ended, or the record opened has not been played on.
    bool Available() const;
    bool Active() const { return active_; }
    // The plies shown (0: the start) and the position after them.
    std::size_t Shown() const { return shown_; }
    const Board& ShownBoard() const { return board_; }
    // The last ply shown, for its marks; nullptr at the start.
    const PlyRecord* ShownLast() const;
    // What the status line says of the position shown; empty where it keeps the game's own.
    QString StatusText() const;
    const std::optional<GameReview>& Review() const { return review_; }

    // A record has just been opened: its last position is shown, with the chart.
    void BeginOpened();
    // Shows the position after `plies` steps (clamped), beginning the replay when it may.
    bool GoTo(std::size_t plies);
    // Home, Left, Right and End (Qt key codes) while replay is available; false for other
    // keys, which the window handles as before.
    bool Key(int key);
    // A press on the board at a point: false when the replay takes it (nothing to do there);
    // true when the window goes on with it as a press on the game, the replay having ended
    // and, from an earlier ply, the game gone on from there.
    bool Press(int column, int row);
    // The same for the keyboard, whatever point its ring is on.
    bool PlayOn();
    // The replay ends: the game's own position and texts are the window's again.
    void Leave();

  private:
    void Begin();
    void Judge();
    void OnTablePoll();
    // Flags the review's mistakes in the lists, once; ClearLists() takes the flags off.
    void MarkMistakes();
    void ShowCurrent();
    void ClearLists();
    QTreeWidgetItem* ItemOf(std::size_t index) const;
    void OnItemClicked(const QTreeWidget& list, QTreeWidgetItem* item);
    void ShowChart(bool on);
    CellCode ShownSideToMove() const;

    GameSession& session_;
    QWidget& window_;
    QTreeWidget& blackList_;
    QTreeWidget& whiteList_;
    ReviewChart& chart_;
    std::function<TableService*()> table_;
    QTimer tablePoll_;

    bool active_ = false;
    bool opened_ = false;
    std::size_t shown_ = 0;
    Board board_;
    std::optional<GameReview> review_;
    std::vector<int> rows_;                  // each ply's row in its side's list
    std::vector<std::size_t> listPlies_[2];  // black's and white's plies by row
    std::vector<QTreeWidgetItem*> marked_;
};

}  // namespace kelvara
