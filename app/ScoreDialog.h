#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace kelvara {

class ScoreKeeper;

// 战绩: won, lost and unfinished games against the computer per level, between two players
// and over the network, and the puzzles solved, with a reset that asks first.
class ScoreDialog : public QDialog {
    Q_OBJECT

  public:
    ScoreDialog(ScoreKeeper& keeper, QWidget* parent = nullptr);

    QPushButton* ResetButton() const { return reset_; }
    // The figure shown in row `row` (0 to 5: the four levels, two players, network) and
    // column `column` (0 won, 1 lost, 2 unfinished), and the puzzles line.
    QString Figure(int row, int column) const;
    QString PuzzlesText() const;

  private:
    void AskReset();
    void Fill();

    ScoreKeeper& keeper_;
    QLabel* figures_[6][3] = {};
    QLabel* puzzles_ = nullptr;
    QPushButton* reset_ = nullptr;
};

}  // namespace kelvara
