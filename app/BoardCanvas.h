#pragma once

#include <QBrush>
#include <QImage>
#include <QWidget>
#include <functional>

class QPainter;

namespace kelvara {

// The main window's client area below the menu bar. Everything is drawn into a backing image
// of the widget's size (pixel (x, y) of the image is client pixel (x, y)); paintEvent only
// copies it. Mouse input is passed on as signals in the same pixel coordinates.
class BoardCanvas : public QWidget {
    Q_OBJECT
  public:
    explicit BoardCanvas(QWidget* parent = nullptr);

    // The brush that erases: tiled from the image's origin.
    void SetBackground(const QBrush& brush);
    const QBrush& Background() const { return background_; }

    void Erase(const QRect& rect);
    // Stretches `picture` into `rect` by plain copy (no smoothing, no transparency).
    void DrawPicture(const QRect& rect, const QImage& picture);
    // Shows everything drawn so far at once (the normal path only schedules a repaint).
    void Present();

    const QImage& Image() const { return image_; }
    // Gives the backing image this size now, keeping what was drawn (new parts show the
    // background). Resizing the widget does the same.
    void Reallocate(const QSize& size);

    // Drawn over the board at every paint, in board pixels, and never into the image: marks
    // that come and go without touching what the board shows.
    void SetOverlay(std::function<void(QPainter&)> overlay) { overlay_ = std::move(overlay); }

  signals:
    void LeftPressed(int x, int y);
    void Moved(int x, int y, bool leftHeld);
    void LeftReleased(int x, int y);
    void Entered();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;

  private:
    QImage image_;
    QBrush background_;
    std::function<void(QPainter&)> overlay_;
};

}  // namespace kelvara
