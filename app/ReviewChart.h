#pragma once

#include <QRectF>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <vector>

#include "GameReview.h"

namespace kelvara {

// The strip chart of a reviewed game, drawn with QPainter at the widget's own resolution: one
// column per ply, the outcome for black after it (a win above the middle line, a draw on it,
// a loss below, the bar the longer the nearer the end), a flag over every mistake, the ply
// shown marked, and the review's one-line summary above. A click on a column chooses its ply.
// Without a review it shows a quiet line instead (the table is still being prepared).
class ReviewChart : public QWidget {
    Q_OBJECT
  signals:
    // The position after `plies` steps was chosen (a column's ply, counted from 1).
    void plyChosen(int plies);

  public:
    static constexpr int kHeight = 96;

    explicit ReviewChart(QWidget* parent = nullptr);

    // `texts` says each ply as the status line does; a column's tool tip shows it.
    void SetReview(const std::vector<PlyReview>& plies, const QString& summary,
                   const QStringList& texts);
    // No review (yet): `note` says why; `count` columns stay empty.
    void SetWaiting(int count, const QString& note);
    // The position shown: after `plies` steps (0: the start).
    void SetCurrent(int plies);

    int ColumnCount() const { return count_; }
    bool HasReview() const { return !plies_.empty(); }
    int Current() const { return current_; }
    // The summary, or the note while there is no review.
    const QString& Line() const { return line_; }
    // Where column `index` (from 0) lies, in widget pixels, the whole height of the bars.
    QRectF ColumnRect(int index) const;
    // Where the bar of column `index` is drawn (empty for a draw or an unknown ply), and the
    // flag of a mistake (empty for any other ply).
    QRectF BarRect(int index) const;
    QRectF FlagRect(int index) const;
    // The ply of a column under `x`, 0 when none.
    int PlyAt(double x) const;

    // Share of the half height a bar takes for an outcome `plies` away: 1 for the next ply,
    // shrinking towards a floor as the end lies further.
    static double Reach(int plies);

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QRectF Bars() const;
    double ColumnWidth() const;

    std::vector<PlyReview> plies_;
    QStringList texts_;
    int count_ = 0;
    int current_ = 0;
    QString line_;
};

}  // namespace kelvara
