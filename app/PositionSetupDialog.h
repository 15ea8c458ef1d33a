#pragma once

#include <QDialog>
#include <QString>

#include "Board.h"
#include "BoardTypes.h"
#include "GameKind.h"
#include "SetupProblem.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kelvara {

class ScenePicture;
class SetupBoard;

// 摆棋: the player places and removes pieces on the board (a click puts what the chosen tool
// says, the tool 轮换 cycles empty, black, white; a right click clears), picks the side to move
// and the kind of game, or types or pastes board text as the engine's `position` takes it
// ("bbbbb..bw..wwwww b"). The dialog says why the rules cannot start from the position and
// offers OK only when they can.
class PositionSetupDialog : public QDialog {
    Q_OBJECT
  public:
    enum class Tool { Cycle, Black, White, Erase };

    // Opens on `board` with `toMove` to move and `kind` chosen (a network kind chooses two
    // players). The pictures must outlive the dialog.
    PositionSetupDialog(const ScenePicture& background, const ScenePicture& black,
                        const ScenePicture& white, const Board& board, CellCode toMove,
                        GameKind kind, QWidget* parent = nullptr);

    // The choice, valid after OK.
    const Board& ChosenBoard() const;
    CellCode SideToMove() const { return toMove_; }
    GameKind Kind() const;
    SetupProblem Problem() const { return FindSetupProblem(ChosenBoard(), toMove_); }

    // Acts as a click on the point (column, row): the tool's change, or clearing it.
    void Click(int column, int row, bool clear = false);
    void SetTool(Tool tool);
    // Takes board text, with or without the side after it; false (and said why) when it is
    // not board text.
    bool TakeText(const QString& text);

    // Why the rules cannot start from the position, as the dialog says it; empty for None.
    static QString ProblemText(SetupProblem problem);

    // The controls, for tests.
    SetupBoard* BoardView() const { return board_; }
    QLineEdit* TextEdit() const { return text_; }
    QLabel* ProblemLabel() const { return problem_; }
    QPushButton* OkButton() const { return ok_; }
    QRadioButton* WhiteFirstRadio() const { return whiteFirst_; }
    QRadioButton* ComputerRadio() const { return computer_; }

  private:
    void SetPosition(const Board& board);
    void SetSideToMove(CellCode side);
    // The text field, the counts, the problem and OK after any change.
    void Refresh(bool keepText = false);

    SetupBoard* board_ = nullptr;
    CellCode toMove_ = Black;
    Tool tool_ = Tool::Cycle;
    QButtonGroup* tools_ = nullptr;
    QRadioButton* blackFirst_ = nullptr;
    QRadioButton* whiteFirst_ = nullptr;
    QRadioButton* twoPlayers_ = nullptr;
    QRadioButton* computer_ = nullptr;
    QLineEdit* text_ = nullptr;
    QLabel* counts_ = nullptr;
    QLabel* problem_ = nullptr;
    QPushButton* ok_ = nullptr;
    bool textInvalid_ = false;
};

}  // namespace kelvara
