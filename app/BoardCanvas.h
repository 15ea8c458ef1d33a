#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QRegion>
#include <QWidget>
#include <functional>
#include <vector>

class QPainter;

namespace kelvara {

class ScenePicture;

// The main window's client area below the menu bar. It shows the board scene, 542 x 400 scene
// pixels, scaled to fit the widget with its proportions kept and centred; the bands left over
// show a plain colour, never another copy of the scene.
//
// What was drawn is kept as a short list of pictures in scene pixels, each with the part of
// it that no later erase has covered: drawing is immediate as far as the caller can tell, and
// each paint renders the list afresh at the widget's scale and device pixel ratio, so the
// pieces stay sharp at any size. Erasing shows the background again.
//
// The mouse is passed on in scene pixels (ToScene is the one place that maps widget positions
// back), so hit test and drag rules do not depend on the window's size. Child widgets placed
// with Place() follow the scene: their geometry and font size scale with it.
class BoardCanvas : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kSceneWidth = 542;
    static constexpr int kSceneHeight = 400;

    explicit BoardCanvas(QWidget* parent = nullptr);

    // The background: a picture tiled from the scene's corner, or, without one, a colour.
    void SetBackground(const ScenePicture* picture, QColor colour);

    void Erase(const QRect& rect);
    // Draws `picture` (not owned; it must outlive the canvas) stretched into `rect`. A null
    // picture draws nothing.
    void DrawPicture(const QRect& rect, const ScenePicture* picture);
    // Shows everything drawn so far at once (the normal path only schedules a repaint).
    void Present();

    // The scene as it stands, rendered at `deviceScale` device pixels per scene pixel.
    QImage Render(double deviceScale = 1.0) const;

    // Scene pixels per widget pixel, and where the scene lies in the widget.
    double Scale() const { return scale_; }
    QPointF Origin() const { return origin_; }
    QPointF ToScene(QPointF widgetPosition) const;
    QRectF FromScene(const QRectF& sceneRect) const;

    // Puts a child at a place of the scene; its font's pixel size scales with the scene.
    void Place(QWidget* child, const QRect& sceneRect);

    // Number of pictures kept (tests: erasing must not let the list grow without end).
    std::size_t KeptPictures() const { return items_.size(); }

    // Drawn over the board at every paint, in board pixels, and never into the image: marks
    // that come and go without touching what the board shows.
    void SetOverlay(std::function<void(QPainter&)> overlay) { overlay_ = std::move(overlay); }

  signals:
    void LeftPressed(int x, int y);
    void Moved(int x, int y, bool leftHeld);
    void LeftReleased(int x, int y);
    void Entered();
    // The scene's scale or place changed: children were moved and resized.
    void Relaid();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;

  private:
    struct Item {
        const ScenePicture* picture;
        QRect rect;
        QRegion visible;
    };
    struct Placed {
        QWidget* child;
        QRect rect;
        int fontPixels;
    };

    void Relayout();
    void UpdateScene(const QRect& sceneRect);
    // Paints the scene with `painter` already mapped to scene pixels.
    void PaintScene(QPainter& painter, double deviceScale, const QRectF& dirtyScene) const;
    QPoint SceneQPoint(const QMouseEvent* event) const;

    const ScenePicture* background_ = nullptr;
    QColor backgroundColour_;
    QColor bandColour_;
    std::vector<Item> items_;
    std::vector<Placed> placed_;
    std::function<void(QPainter&)> overlay_;
    double scale_ = 1.0;
    QPointF origin_;
};

}  // namespace kelvara
