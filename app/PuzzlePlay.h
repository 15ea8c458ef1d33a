#pragma once

#include <QDate>
#include <QObject>
#include <QString>
#include <QWidget>
#include <optional>

#include "GameSession.h"
#include "PuzzleRound.h"
#include "SolvedTable.h"

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace kelvara {

// The 练习 menu and the puzzle on the window's board: which puzzle it is, how the player is
// getting on (PuzzleRound) and the texts that say so. The window plays the puzzle's game in
// its session against the perfect computer and reports the steps and the end here.
class PuzzlePlay : public QObject {
    Q_OBJECT

  signals:
    // A puzzle is wanted: made from the grade and seed, shown under the title.
    void Wanted(int grade, quint32 seed, const QString& title);

  public:
    explicit PuzzlePlay(QWidget* window) : QObject(window), window_(window) {}

    // Adds 练习 to `bar`, before `before`.
    QMenu* AddMenu(QMenuBar* bar, QAction* before);

    // The puzzle of `date`: seed yyyymmdd, grades 2 to 4 in turn (one step is too short for
    // a day's puzzle).
    static int DayGrade(const QDate& date);
    static quint32 DaySeed(const QDate& date);
    // "1 步", "2–3 步", "4–6 步", "7 步以上".
    static QString GradeName(int grade);

    void WantDay(const QDate& date);
    void WantGrade(int grade);
    // 再来一局 on a puzzle: the same puzzle again while it is being played or after it
    // failed, the next one of its grade once solved.
    void Again();

    // A puzzle's game has taken the board, or another game has.
    void Begin(const Puzzle& puzzle, int grade, quint32 seed, const QString& title);
    void End() { round_.reset(); }
    bool Active() const { return round_.has_value(); }
    const PuzzleRound* Round() const { return round_ ? &*round_ : nullptr; }

    // A step of the puzzle's game; true when it has just failed the puzzle.
    bool StepPlayed(const PlyRecord& ply, const Board& after, const SolvedTable* table);
    // The game has ended; true when that has just solved the puzzle and it counts.
    bool GameEnded(CellCode winner);
    // Asks whether the hint is worth its cost the first time in a puzzle; true when it may
    // be shown (the puzzle then no longer counts).
    bool AcceptHint();

    QString MatchLine() const;
    QString Status(const GameSession& session, const SolvedTable* table, unsigned solved) const;
    // Shown on the banner once the puzzle is solved or failed, and its button.
    QString BannerText() const;
    QString AgainText() const;

  private:
    QWidget* window_;
    std::optional<PuzzleRound> round_;
    int grade_ = 0;
    quint32 seed_ = 0;
    QString title_;
};

}  // namespace kelvara
