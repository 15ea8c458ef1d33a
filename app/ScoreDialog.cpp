#include "ScoreDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "GameKind.h"
#include "LevelSetting.h"
#include "MessageBox.h"
#include "ScoreKeeper.h"

namespace kelvara {
namespace {

constexpr Level kLevels[] = {Level::Beginner, Level::Classic, Level::Expert, Level::Perfect};

}  // namespace

ScoreDialog::ScoreDialog(ScoreKeeper& keeper, QWidget* parent) : QDialog(parent), keeper_(keeper) {
    setWindowTitle(tr("战绩"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(18);
    const QString heads[] = {tr("胜"), tr("负"), tr("未完")};
    for (int c = 0; c < 3; ++c) {
        auto* head = new QLabel(QStringLiteral("<b>%1</b>").arg(heads[c]), this);
        head->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(head, 0, c + 1);
    }
    QString rows[6];
    for (int i = 0; i < 4; ++i)
        rows[i] =
            tr("人机对弈（%1）").arg(QString::fromStdString(LevelSetting::ShownTitle(kLevels[i])));
    rows[4] = tr("双人对弈（以黑方计）");
    rows[5] = tr("网络对弈");
    for (int r = 0; r < 6; ++r) {
        grid->addWidget(new QLabel(rows[r], this), r + 1, 0);
        for (int c = 0; c < 3; ++c) {
            figures_[r][c] = new QLabel(this);
            figures_[r][c]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grid->addWidget(figures_[r][c], r + 1, c + 1);
        }
    }
    layout->addLayout(grid);
    puzzles_ = new QLabel(this);
    puzzles_->setObjectName(QStringLiteral("scorePuzzles"));
    layout->addWidget(puzzles_);

    auto* buttons = new QDialogButtonBox(this);
    reset_ = buttons->addButton(tr("清零(&R)..."), QDialogButtonBox::ResetRole);
    reset_->setObjectName(QStringLiteral("scoreReset"));
    reset_->setAutoDefault(false);
    QPushButton* close = buttons->addButton(tr("关闭"), QDialogButtonBox::AcceptRole);
    close->setDefault(true);
    connect(reset_, &QPushButton::clicked, this, &ScoreDialog::AskReset);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    Fill();
}

void ScoreDialog::Fill() {
    const ScoreBook& book = keeper_.Book();
    for (int r = 0; r < 6; ++r) {
        const ScoreLine& line = r < 4    ? book.Games(GameKind::OnePlayer, kLevels[r])
                                : r == 4 ? book.Games(GameKind::TwoPlayers)
                                         : book.Games(GameKind::Network);
        figures_[r][0]->setText(QString::number(line.wins));
        figures_[r][1]->setText(QString::number(line.losses));
        figures_[r][2]->setText(QString::number(line.unfinished));
    }
    puzzles_->setText(tr("解开的谜题：%1 道").arg(book.PuzzlesSolved()));
}

QString ScoreDialog::Figure(int row, int column) const {
    return figures_[row][column]->text();
}

QString ScoreDialog::PuzzlesText() const {
    return puzzles_->text();
}

void ScoreDialog::AskReset() {
    QMessageBox box(QMessageBox::Question, MessageBox::ProgramTitle(),
                    tr("要把全部战绩清零吗？清零后不能恢复。"), QMessageBox::Yes | QMessageBox::No,
                    this);
    box.setDefaultButton(QMessageBox::No);
    if (box.exec() != QMessageBox::Yes) return;
    QString error;
    if (!keeper_.Reset(error))
        MessageBox::Show(this, MessageBox::ProgramTitle(), tr("战绩没能保存：%1").arg(error),
                         QMessageBox::Warning);
    Fill();
}

}  // namespace kelvara
