#include "ReviewChart.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <algorithm>
#include <cmath>

namespace kelvara {
namespace {

constexpr double kMargin = 8;
constexpr double kWidest = 24;  // a column of a short game
constexpr double kTextTop = 2, kTextHeight = 18;
constexpr double kFlagTop = 22, kFlagHeight = 8;
constexpr double kBarsTop = 32;
constexpr double kBarsBottom = ReviewChart::kHeight - 4;

const QColor kPaper(250, 246, 236);
const QColor kLine(150, 130, 110);
const QColor kBlackAhead(45, 45, 45);
const QColor kWhiteAhead(236, 236, 236);
const QColor kWhiteEdge(110, 110, 110);
const QColor kDraw(120, 120, 120);
const QColor kFlag(200, 30, 30);
const QColor kShown(255, 214, 130);

}  // namespace

ReviewChart::ReviewChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("reviewChart"));
    setFixedHeight(kHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMinimumWidth(200);
    setCursor(Qt::PointingHandCursor);
}

void ReviewChart::SetReview(const std::vector<PlyReview>& plies, const QString& summary,
                            const QStringList& texts) {
    plies_ = plies;
    texts_ = texts;
    count_ = static_cast<int>(plies.size());
    line_ = summary;
    setAccessibleName(summary);
    update();
}

void ReviewChart::SetWaiting(int count, const QString& note) {
    plies_.clear();
    texts_.clear();
    count_ = std::max(0, count);
    line_ = note;
    setAccessibleName(note);
    update();
}

void ReviewChart::SetCurrent(int plies) {
    current_ = std::clamp(plies, 0, count_);
    update();
}

double ReviewChart::Reach(int plies) {
    // 1 for a win or loss on the next ply, 0.6 seven plies away, towards 0.2 far off.
    return 0.2 + 0.8 * 6.0 / (std::max(plies, 1) + 5.0);
}

QRectF ReviewChart::Bars() const {
    return QRectF(kMargin, kBarsTop, std::max(0.0, width() - 2 * kMargin), kBarsBottom - kBarsTop);
}

double ReviewChart::ColumnWidth() const {
    if (count_ == 0) return kWidest;
    return std::min(kWidest, Bars().width() / count_);
}

QRectF ReviewChart::ColumnRect(int index) const {
    if (index < 0 || index >= count_) return {};
    const QRectF bars = Bars();
    const double w = ColumnWidth();
    return QRectF(bars.left() + index * w, bars.top(), w, bars.height());
}

QRectF ReviewChart::BarRect(int index) const {
    if (index < 0 || index >= static_cast<int>(plies_.size()) || !plies_[index].known) return {};
    const PositionValue value = plies_[index].BlackAfter();
    if (value.kind() == PositionValue::Kind::Draw) return {};
    const QRectF column = ColumnRect(index);
    const double gap = column.width() >= 4 ? std::floor(column.width() * 0.2) : 0;
    const double half = column.height() / 2;
    const double length = std::max(2.0, std::round(half * Reach(value.plies())));
    const double middle = column.top() + half;
    const double top = value.kind() == PositionValue::Kind::Win ? middle - length : middle;
    return QRectF(column.left() + gap / 2, top, column.width() - gap, length);
}

QRectF ReviewChart::FlagRect(int index) const {
    if (index < 0 || index >= static_cast<int>(plies_.size()) || !plies_[index].mistake) return {};
    const QRectF column = ColumnRect(index);
    const double w = std::max(column.width(), 6.0);
    return QRectF(column.center().x() - w / 2, kFlagTop, w, kFlagHeight);
}

int ReviewChart::PlyAt(double x) const {
    const QRectF bars = Bars();
    if (count_ == 0 || x < bars.left()) return 0;
    const int index = static_cast<int>((x - bars.left()) / ColumnWidth());
    return index < count_ ? index + 1 : 0;
}

void ReviewChart::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), kPaper);
    painter.setPen(kLine);
    painter.drawLine(QPointF(0, 0.5), QPointF(width(), 0.5));

    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRectF(kMargin, kTextTop, width() - 2 * kMargin, kTextHeight),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     painter.fontMetrics().elidedText(line_, Qt::ElideRight,
                                                      static_cast<int>(width() - 2 * kMargin)));

    const QRectF bars = Bars();
    if (current_ > 0) {
        painter.fillRect(ColumnRect(current_ - 1).adjusted(0, -kFlagHeight - 2, 0, 0), kShown);
    } else {
        // The start: a strip before the first column.
        painter.fillRect(QRectF(bars.left() - 4, bars.top(), 3, bars.height()), kShown);
    }
    const double middle = bars.top() + bars.height() / 2;
    const double used = count_ * ColumnWidth();
    painter.setPen(QPen(kLine, 1));
    painter.drawLine(QPointF(bars.left(), middle),
                     QPointF(bars.left() + std::max(used, 1.0), middle));

    for (int i = 0; i < static_cast<int>(plies_.size()); ++i) {
        const PlyReview& ply = plies_[i];
        const QRectF column = ColumnRect(i);
        if (ply.known && ply.BlackAfter().kind() == PositionValue::Kind::Draw) {
            const double w = std::max(1.0, std::min(column.width() * 0.6, 6.0));
            painter.fillRect(QRectF(column.center().x() - w / 2, middle - 2, w, 4), kDraw);
        }
        const QRectF bar = BarRect(i);
        if (!bar.isEmpty()) {
            const bool blackAhead = ply.BlackAfter().kind() == PositionValue::Kind::Win;
            painter.fillRect(bar, blackAhead ? kBlackAhead : kWhiteEdge);
            if (!blackAhead && bar.width() >= 5)
                painter.fillRect(bar.adjusted(1, 0, -1, -1), kWhiteAhead);
        }
        const QRectF flag = FlagRect(i);
        if (!flag.isEmpty()) {
            QPainterPath triangle;
            triangle.moveTo(flag.topLeft());
            triangle.lineTo(flag.topRight());
            triangle.lineTo(flag.center().x(), flag.bottom());
            triangle.closeSubpath();
            painter.setRenderHint(QPainter::Antialiasing, true);
            painter.fillPath(triangle, kFlag);
            painter.setRenderHint(QPainter::Antialiasing, false);
        }
    }
}

bool ReviewChart::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const int ply = PlyAt(help->pos().x());
        if (ply > 0 && ply <= texts_.size())
            QToolTip::showText(help->globalPos(), texts_[ply - 1], this);
        else
            QToolTip::showText(help->globalPos(), line_, this);
        return true;
    }
    return QWidget::event(event);
}

void ReviewChart::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int ply = PlyAt(event->position().x());
    if (ply > 0) emit plyChosen(ply);
}

}  // namespace kelvara
