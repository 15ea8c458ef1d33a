#pragma once

#include <QDialog>
#include <QString>

#include "Board.h"
#include "BoardDiagram.h"

class QLabel;
class QVBoxLayout;

namespace kelvara {

// 帮助 → 游戏规则 (F1): the rules, the move text, the analysis labels, the levels and the keys,
// with small diagrams in the board's own art (the start, a capture before and after its step,
// a side walled in). It does not take the window's input away: the game goes on beside it, and
// Escape closes it alone.
class RulesDialog : public QDialog {
    Q_OBJECT
  public:
    // The capture the page shows: the position before it and black's step.
    static constexpr const char* kCaptureBefore = ".bb.b.wbwb..ww.w";
    static constexpr const char* kCaptureStep = "21U";
    // White to move and walled in, after black's step 33U.
    static constexpr const char* kWalledIn = ".b.....bbb..wwb.";
    static constexpr const char* kWalledStep = "33U";

    // `art` is copied; the page keeps its own pictures.
    RulesDialog(const BoardArt& art, QWidget* parent = nullptr);

  private:
    QLabel* AddText(QVBoxLayout* page, const QString& html);
    // A row of diagrams below the text, each with its caption.
    void AddFigure(QLayout* row, const QString& name, const Board& board,
                   std::vector<BoardMark> marks, const QString& caption);

    BoardArt art_;
};

}  // namespace kelvara
