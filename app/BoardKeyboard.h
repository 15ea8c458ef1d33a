#pragma once

#include <string>
#include <vector>

#include "BoardTypes.h"
#include "PlayAids.h"

namespace kelvara {

class GameSession;

// Play by keyboard. The arrow keys move a ring over the points; Space or Enter lifts the
// piece of the side to move under it, the arrows then choose the neighbouring point and Space
// or Enter drops it there; Escape puts it back. A move typed as the lists write it ("21U",
// either case) is played by Enter. Every step goes through the session exactly as a drag's.
// The ring stays hidden until the first key, so a player of the mouse sees nothing of it.
class BoardKeyboard {
  public:
    enum class Key { Left, Right, Up, Down, Pick, Back, Erase, Other };
    enum class Result { Ignored, Changed, Played, Refused };

    explicit BoardKeyboard(GameSession& session) : session_(session) {}

    // `text` is what the key types (for the typed move); `key` what it does on the board.
    Result Press(Key key, const std::string& text);
    // The board is shown afresh (a new game, a step taken back): a lifted piece goes back.
    void Reset();

    bool Shown() const { return shown_; }
    BoardPoint Focus() const { return focus_; }
    BoardPoint Lifted() const { return lifted_; }
    const std::string& Typed() const { return typed_; }
    // The ring and the lifted piece, drawn over the board with the other marks.
    std::vector<BoardMark> Marks() const;

  private:
    Result Step(int dx, int dy);
    Result Pick();
    Result PlayTyped();

    GameSession& session_;
    bool shown_ = false;
    BoardPoint focus_ = MakePoint(1, 1);
    BoardPoint lifted_ = 0;
    std::string typed_;
};

}  // namespace kelvara
