#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Board.h"
#include "BoardTypes.h"
#include "GameAnalysis.h"
#include "GameKind.h"
#include "PlyRecord.h"
#include "PositionValue.h"
#include "SolvedTable.h"
#include "TurnPhase.h"

namespace kelvara {

// One mark on the board, in board terms; BoardMarks draws it.
struct BoardMark {
    enum class Kind {
        LastFrom,       // the point the last step came from (discreet)
        LastTo,         // the point the last step went to
        Taken,          // a point whose piece the last step took
        HintFrom,       // the piece the hint moves
        HintTo,         // where the hint moves it; `from` is the piece's point
        StepOutcome,    // analysis: one step from `from` to `point`, labelled with its outcome
        TargetOutcome,  // analysis: a destination, in the tone of the best step that reaches it
        KeyFocus,       // the keyboard's ring; `label` holds a move being typed
        KeyLifted,      // the piece the keyboard has lifted
    };
    enum class Tone { Plain, Win, Draw, Loss };

    Kind kind = Kind::LastTo;
    BoardPoint point = 0;
    BoardPoint from = 0;
    Tone tone = Tone::Plain;
    std::string label;      // StepOutcome only
    CellCode side = Empty;  // LastTo: the side that stepped; Taken: the colour taken

    friend bool operator==(const BoardMark&, const BoardMark&) = default;
};

// The state of the game that decides what the aids may show.
struct TurnView {
    GameKind kind = GameKind::OnePlayer;
    TurnPhase phase = TurnPhase::NoGame;
    CellCode sideToMove = Empty;
    const Board* board = nullptr;
};

// What the window shows besides the pieces: the last step and what it took, the hint and the
// analysis of every step, with the hint's status text. Plain state, no timers and no drawing:
// the window tells it what happened and draws Marks().
//
// Hint and analysis are offered in the one-player and two-player games only, while a local
// player may move; they are answered from the solved table and are empty while it is missing.
class PlayAids {
  public:
    static bool AidsOffered(GameKind kind) {
        return kind == GameKind::OnePlayer || kind == GameKind::TwoPlayers;
    }
    static bool LocalMayMove(const TurnView& turn);
    static BoardMark::Tone ToneOf(const PositionValue& value);

    // The marks of a step: its origin, its destination and every piece it took.
    static std::vector<BoardMark> StepMarks(const PlyRecord& ply);
    static std::vector<BoardMark> HintMarks(const StepOutcome& hint);
    // One labelled mark per step, then one mark per destination in the tone of its best step.
    static std::vector<BoardMark> AnalysisMarks(const std::vector<StepOutcome>& steps);

    // The last step on the board; nullptr when there is none (a new game, all taken back).
    void SetLastStep(const PlyRecord* last);
    // A new game (or position): nothing of the last one stays.
    void NewGame();
    // A step has just been played: the hint and the analysis of the turn before it go.
    void StepPlayed(const PlyRecord& ply);

    void SetAnalysis(bool on) { analysisOn_ = on; }
    bool AnalysisOn() const { return analysisOn_; }
    // Recomputes the analysis for the turn (none while it is off, not offered, no local
    // player may move, or `table` is null). True when the marks changed.
    bool Refresh(const TurnView& turn, const SolvedTable* table);
    // Analysis is wanted now but has to wait for the table.
    bool AnalysisWaiting(const TurnView& turn, const SolvedTable* table) const;

    // The hint for the side to move: the status line text, with the marks of the step when
    // the table answers. Empty (and no marks) when no hint is offered in this turn.
    std::string AskHint(const TurnView& turn, const SolvedTable* table);
    void ClearHint() { hint_.clear(); }
    bool HintShown() const { return !hint_.empty(); }

    // Everything to draw, in drawing order: last step, analysis, hint.
    std::vector<BoardMark> Marks() const;

  private:
    std::vector<BoardMark> last_;
    std::vector<BoardMark> analysis_;
    std::vector<BoardMark> hint_;
    bool analysisOn_ = false;
};

}  // namespace kelvara
