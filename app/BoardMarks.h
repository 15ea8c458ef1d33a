#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QTimer>
#include <vector>

#include "PlayAids.h"

class QPainter;
class QWidget;

namespace kelvara {

// Draws the marks of PlayAids over the board, and the pieces that a step took as they fade
// away. Everything is in board pixels (the piece square of column i, row j at
// (95i - 90, 465 - 95j), 20 x 20); the board canvas calls Paint() last in its paint path, so
// nothing of it ever enters the board's own drawing.
class BoardMarks : public QObject {
    Q_OBJECT
  public:
    // `canvas` is repainted whenever the marks change.
    explicit BoardMarks(QWidget* canvas);

    void SetMarks(std::vector<BoardMark> marks);
    const std::vector<BoardMark>& Marks() const { return marks_; }

    // The piece on (column, row) has been taken: `picture` shows there fading out over `ms`
    // milliseconds (nothing when `ms` is 0 or the picture is missing).
    void StartLeaving(int column, int row, const QImage& picture, int ms);
    bool Leaving() const { return !leaving_.empty(); }
    // Ends every fade at once.
    void StopLeaving();

    void Paint(QPainter& painter) const;
    // The marks alone, as Paint() draws them.
    static void PaintMarks(QPainter& painter, const std::vector<BoardMark>& marks);

  private:
    struct LeavingPiece {
        QRect square;
        QImage picture;
        QElapsedTimer clock;
        int ms = 0;
    };
    void Tick();

    QWidget* canvas_;
    std::vector<BoardMark> marks_;
    std::vector<LeavingPiece> leaving_;
    QTimer tick_;
};

}  // namespace kelvara
