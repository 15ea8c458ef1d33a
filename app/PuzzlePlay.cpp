#include "PuzzlePlay.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QRandomGenerator>

#include "MessageBox.h"

namespace kelvara {

QMenu* PuzzlePlay::AddMenu(QMenuBar* bar, QAction* before) {
    auto* menu = new QMenu(tr("练习(&P)"), bar);
    menu->setObjectName(QStringLiteral("practiceMenu"));
    bar->insertMenu(before, menu);
    QAction* day =
        menu->addAction(tr("今日谜题(&T)"), this, [this] { WantDay(QDate::currentDate()); });
    day->setObjectName(QStringLiteral("actionPuzzleOfTheDay"));
    menu->addSeparator();
    for (int grade = PuzzleMaker::kMinGrade; grade <= PuzzleMaker::kMaxGrade; ++grade) {
        QAction* item = menu->addAction(tr("%1取胜(&%2)").arg(GradeName(grade)).arg(grade), this,
                                        [this, grade] { WantGrade(grade); });
        item->setObjectName(QStringLiteral("actionPuzzleGrade%1").arg(grade));
    }
    return menu;
}

int PuzzlePlay::DayGrade(const QDate& date) {
    return 2 + static_cast<int>(date.toJulianDay() % 3);
}

quint32 PuzzlePlay::DaySeed(const QDate& date) {
    return static_cast<quint32>(date.year() * 10000 + date.month() * 100 + date.day());
}

QString PuzzlePlay::GradeName(int grade) {
    switch (grade) {
        case 1:
            return tr("1 步");
        case 2:
            return tr("2–3 步");
        case 3:
            return tr("4–6 步");
        default:
            return tr("7 步以上");
    }
}

void PuzzlePlay::WantDay(const QDate& date) {
    const int grade = DayGrade(date);
    emit Wanted(grade, DaySeed(date), tr("今日谜题（%1）").arg(GradeName(grade)));
}

void PuzzlePlay::WantGrade(int grade) {
    emit Wanted(grade, QRandomGenerator::global()->generate(), tr("%1取胜").arg(GradeName(grade)));
}

void PuzzlePlay::Again() {
    if (!round_) return;
    if (round_->GetState() == PuzzleRound::State::Solved)
        WantGrade(grade_);
    else
        emit Wanted(grade_, seed_, title_);
}

void PuzzlePlay::Begin(const Puzzle& puzzle, int grade, quint32 seed, const QString& title) {
    round_.emplace(puzzle);
    grade_ = grade;
    seed_ = seed;
    title_ = title;
}

bool PuzzlePlay::StepPlayed(const PlyRecord& ply, const Board& after, const SolvedTable* table) {
    if (!round_ || table == nullptr || round_->GetState() != PuzzleRound::State::Playing)
        return false;
    return round_->StepPlayed(ply.side, ply.step, after, *table) == PuzzleRound::State::Failed;
}

bool PuzzlePlay::GameEnded(CellCode winner) {
    if (!round_ || round_->GetState() != PuzzleRound::State::Playing) return false;
    return round_->GameEnded(winner) == PuzzleRound::State::Solved && round_->Counts();
}

bool PuzzlePlay::AcceptHint() {
    if (!round_) return true;
    if (round_->HintUsed() || round_->GetState() != PuzzleRound::State::Playing) return true;
    QMessageBox box(QMessageBox::Question, MessageBox::ProgramTitle(),
                    tr("看了提示，这道谜题解开了也不计入战绩。\n要看提示吗？"),
                    QMessageBox::Yes | QMessageBox::No, window_);
    box.setDefaultButton(QMessageBox::No);
    if (box.exec() != QMessageBox::Yes) return false;
    round_->UseHint();
    return true;
}

QString PuzzlePlay::MatchLine() const {
    return tr("练习：%1   你(黑)   VS   电脑(白)").arg(title_);
}

QString PuzzlePlay::Status(const GameSession& session, const SolvedTable* table,
                           unsigned solved) const {
    if (!round_) return {};
    switch (round_->GetState()) {
        case PuzzleRound::State::Failed:
            return tr("谜题失败：%1 丢掉了胜局")
                .arg(QString::fromStdString(Board::FormatMove(round_->LosingStep())));
        case PuzzleRound::State::Solved:
            return round_->HintUsed() ? tr("谜题解开了（用了提示，不计入战绩）")
                                      : tr("谜题解开了！共解开 %1 道").arg(solved);
        case PuzzleRound::State::Playing:
            break;
    }
    if (session.Phase() != TurnPhase::LocalTurn) return tr("电脑在防守，请稍后....");
    const int steps =
        table != nullptr ? PuzzleRound::StepsToWin(session.CurrentBoard(), *table) : 0;
    if (session.History().empty()) return tr("谜题：黑先，%1 步取胜").arg(steps);
    return tr("走得好！还需 %1 步取胜").arg(steps);
}

QString PuzzlePlay::BannerText() const {
    if (!round_) return {};
    switch (round_->GetState()) {
        case PuzzleRound::State::Solved:
            return round_->HintUsed() ? tr("解开了，用了提示") : tr("谜题解开了！");
        case PuzzleRound::State::Failed:
            return tr("这一步丢掉了胜局");
        case PuzzleRound::State::Playing:
            break;
    }
    return {};
}

QString PuzzlePlay::AgainText() const {
    return round_ && round_->GetState() == PuzzleRound::State::Solved ? tr("下一题")
                                                                      : tr("再试一次");
}

}  // namespace kelvara
