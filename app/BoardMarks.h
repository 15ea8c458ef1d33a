#pragma once

#include <QElapsedTimer>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QRectF>
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

    // Where the marks lie, in board pixels, strokes included. Every one of them stays inside
    // the board's frame (geometry::kFrameInside).
    // The four corner brackets of the last step's destination.
    static QRectF CornersExtent(BoardPoint point);
    // The ring around the piece a hint moves.
    static QRectF HintRingExtent(BoardPoint point);
    // The arrow of a hint from `from` to `to`, head included.
    static QRectF ArrowExtent(BoardPoint from, BoardPoint to);
    // The box of a step's outcome label drawn with `metrics` among `marks`: on its step, or
    // beside it where a hint's arrow runs along the step.
    static QRectF LabelBox(const BoardMark& label, const std::vector<BoardMark>& marks,
                           const QFontMetricsF& metrics);
    // The colour of a tone: a win's green, a draw's blue, a loss's red, the plain orange.
    static QColor ToneColour(BoardMark::Tone tone);
    // The font of the labels, from the painter's font.
    static QFont LabelFont(const QFont& base);

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
