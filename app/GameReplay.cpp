#include "GameReplay.h"

#include <QBrush>
#include <QColor>
#include <QLayout>
#include <QTreeWidget>
#include <QWidget>
#include <vector>

#include "GameSession.h"
#include "ReviewChart.h"
#include "TableService.h"

namespace kelvara {
namespace {

const QColor kMistakeText(190, 20, 20);
const QColor kMistakeBack(255, 228, 225);

}  // namespace

GameReplay::GameReplay(GameSession& session, QWidget& window, QTreeWidget& blackList,
                       QTreeWidget& whiteList, ReviewChart& chart,
                       std::function<TableService*()> table)
    : session_(session),
      window_(window),
      blackList_(blackList),
      whiteList_(whiteList),
      chart_(chart),
      table_(std::move(table)) {
    tablePoll_.setInterval(kTablePollMs);
    connect(&tablePoll_, &QTimer::timeout, this, &GameReplay::OnTablePoll);
    connect(&blackList_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { OnItemClicked(blackList_, item); });
    connect(&whiteList_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { OnItemClicked(whiteList_, item); });
    connect(&chart_, &ReviewChart::plyChosen, this,
            [this](int plies) { GoTo(static_cast<std::size_t>(plies)); });
}

bool GameReplay::Available() const {
    if (opened_) return true;
    return !session_.GameRunning() && !session_.History().empty();
}

const PlyRecord* GameReplay::ShownLast() const {
    const auto history = session_.History();
    if (shown_ == 0 || shown_ > history.size()) return nullptr;
    return &history[shown_ - 1];
}

CellCode GameReplay::ShownSideToMove() const {
    const PlyRecord* last = ShownLast();
    return last == nullptr ? session_.StartSide() : Enemy(last->side);
}

QString GameReplay::StatusText() const {
    if (!active_) return {};
    const bool flagged = shown_ > 0 && review_ && review_->Plies()[shown_ - 1].mistake;
    // Where the game stands, its own status line stays (the result, or whose turn it is),
    // unless the last step was a mistake.
    if (shown_ == session_.History().size() && !flagged) return {};
    if (shown_ == 0) return tr("开局");
    if (review_) return QString::fromStdString(review_->PlyText(shown_ - 1));
    return tr("第 %1 步 %2")
        .arg(shown_)
        .arg(QString::fromStdString(Board::FormatMove(ShownLast()->step)));
}

void GameReplay::BeginOpened() {
    Leave();
    opened_ = true;
    GoTo(session_.History().size());
}

void GameReplay::Begin() {
    active_ = true;
    review_.reset();
    // Where each ply stands in its side's list, and back.
    rows_.clear();
    listPlies_[0].clear();
    listPlies_[1].clear();
    for (const PlyRecord& ply : session_.History()) {
        std::vector<std::size_t>& plies = listPlies_[ply.side == Black ? 0 : 1];
        rows_.push_back(static_cast<int>(plies.size()));
        plies.push_back(rows_.size() - 1);
    }
    Judge();
    ShowChart(true);
}

bool GameReplay::GoTo(std::size_t plies) {
    if (!active_) {
        if (!Available()) return false;
        Begin();
    }
    shown_ = std::min(plies, session_.History().size());
    board_ = session_.PositionAfter(shown_);
    chart_.SetCurrent(static_cast<int>(shown_));
    ShowCurrent();
    emit Changed();
    return true;
}

bool GameReplay::Key(int key) {
    if (!Available()) return false;
    const std::size_t end = session_.History().size();
    const std::size_t at = active_ ? shown_ : end;
    switch (key) {
        case Qt::Key_Home:
            return GoTo(0);
        case Qt::Key_End:
            return GoTo(end);
        case Qt::Key_Left:
            return GoTo(at == 0 ? 0 : at - 1);
        case Qt::Key_Right:
            return GoTo(at + 1);
        default:
            return false;
    }
}

bool GameReplay::Press(int column, int row) {
    if (!active_) return true;
    if (!OnGrid(column, row) || board_.Code(column, row) != ShownSideToMove()) return false;
    return PlayOn();
}

bool GameReplay::PlayOn() {
    if (!active_) return true;
    const CellCode side = ShownSideToMove();
    const bool local = session_.Kind() == GameKind::TwoPlayers ||
                       (session_.Kind() == GameKind::OnePlayer && side == Black);
    if (!local) return false;
    if (shown_ == session_.History().size() && session_.LocalMayMove()) {
        Leave();  // the record's game stands here and goes on as it is
        return true;
    }
    if (!session_.CanPlayOnFrom(shown_)) return false;
    const std::size_t from = shown_;
    Leave();
    session_.PlayOnFrom(from);
    return true;
}

void GameReplay::Leave() {
    opened_ = false;
    if (!active_) return;
    active_ = false;
    tablePoll_.stop();
    review_.reset();
    ClearLists();
    ShowChart(false);
    emit Left();
}

void GameReplay::Judge() {
    const auto history = session_.History();
    TableService* service = table_ ? table_() : nullptr;
    const SolvedTable* table = service != nullptr ? service->Table() : nullptr;
    if (table == nullptr) {
        chart_.SetWaiting(static_cast<int>(history.size()), tr("复盘：正在准备棋局数据，请稍候……"));
        if (service != nullptr) tablePoll_.start();
        return;
    }
    tablePoll_.stop();
    std::vector<MoveRecord> moves;
    moves.reserve(history.size());
    for (const PlyRecord& ply : history) moves.push_back(ply.step);
    review_.emplace(*table, session_.StartBoard(), session_.StartSide(), moves);
    QStringList texts;
    for (int i = 0; i < static_cast<int>(history.size()); ++i)
        texts << QString::fromStdString(review_->PlyText(i));
    chart_.SetReview(review_->Plies(), QString::fromStdString(review_->Summary()), texts);
    MarkMistakes();
}

void GameReplay::OnTablePoll() {
    TableService* service = table_ ? table_() : nullptr;
    if (!active_ || service == nullptr) {
        tablePoll_.stop();
        return;
    }
    if (service->Table() == nullptr) return;
    Judge();
    chart_.SetCurrent(static_cast<int>(shown_));
    emit Changed();
}

QTreeWidgetItem* GameReplay::ItemOf(std::size_t index) const {
    const auto history = session_.History();
    if (index >= history.size() || index >= rows_.size()) return nullptr;
    QTreeWidget& list = history[index].side == Black ? blackList_ : whiteList_;
    return list.topLevelItem(rows_[index]);
}

void GameReplay::OnItemClicked(const QTreeWidget& list, QTreeWidgetItem* item) {
    if (!Available()) return;
    if (!active_) Begin();
    const int row = list.indexOfTopLevelItem(item);
    const std::vector<std::size_t>& plies = listPlies_[&list == &blackList_ ? 0 : 1];
    if (row >= 0 && static_cast<std::size_t>(row) < plies.size()) GoTo(plies[row] + 1);
}

void GameReplay::MarkMistakes() {
    for (std::size_t i = 0; i < review_->Plies().size(); ++i) {
        QTreeWidgetItem* item = review_->Plies()[i].mistake ? ItemOf(i) : nullptr;
        if (item == nullptr) continue;
        item->setForeground(0, kMistakeText);
        item->setBackground(0, kMistakeBack);
        QFont font = item->font(0);
        font.setBold(true);
        item->setFont(0, font);
        item->setToolTip(0, QString::fromStdString(review_->FlagText(static_cast<int>(i))));
        marked_.push_back(item);
    }
}

void GameReplay::ShowCurrent() {
    blackList_.clearSelection();
    whiteList_.clearSelection();
    if (QTreeWidgetItem* shown = shown_ > 0 ? ItemOf(shown_ - 1) : nullptr) {
        QTreeWidget* list = shown->treeWidget();
        list->setCurrentItem(shown);
        list->scrollToItem(shown);
    }
}

void GameReplay::ClearLists() {
    for (QTreeWidgetItem* item : marked_) {
        item->setData(0, Qt::ForegroundRole, QVariant());
        item->setData(0, Qt::BackgroundRole, QVariant());
        item->setData(0, Qt::FontRole, QVariant());
        item->setToolTip(0, QString());
    }
    marked_.clear();
    for (QTreeWidget* list : {&blackList_, &whiteList_}) {
        list->clearSelection();
        list->setCurrentItem(nullptr);
    }
}

void GameReplay::ShowChart(bool on) {
    if (on == !chart_.isHidden()) return;
    // The window grows by the chart's height, and gives it back, so the board keeps its size.
    const int height = window_.height() + (on ? 1 : -1) * ReviewChart::kHeight;
    chart_.setVisible(on);
    if (QLayout* layout = window_.layout()) layout->activate();
    window_.resize(window_.width(), height);
}

}  // namespace kelvara
