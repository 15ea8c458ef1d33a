#include "BoardCanvas.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>

#include "BoardGeometry.h"
#include "ScenePicture.h"

namespace kelvara {
namespace {

const QRect kScene(0, 0, BoardCanvas::kSceneWidth, BoardCanvas::kSceneHeight);

// The widget pixels that lie wholly inside `rect`.
QRect CoveredWhole(const QRectF& rect) {
    const int left = static_cast<int>(std::ceil(rect.left()));
    const int top = static_cast<int>(std::ceil(rect.top()));
    const int right = static_cast<int>(std::floor(rect.right()));
    const int bottom = static_cast<int>(std::floor(rect.bottom()));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

}  // namespace

BoardCanvas::BoardCanvas(QWidget* parent) : QWidget(parent), backgroundColour_(200, 210, 220) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BoardCanvas::SetBackground(const ScenePicture* picture, QColor colour) {
    background_ = picture != nullptr && !picture->IsNull() ? picture : nullptr;
    backgroundColour_ = colour;
    // The bands beside the scene take the colour of its corner, a shade darker.
    bandColour_ =
        background_ != nullptr ? background_->At(1.0).pixelColor(0, 0).darker(108) : colour;
    items_.clear();
    update();
}

void BoardCanvas::Erase(const QRect& rect) {
    if (rect.isEmpty()) return;
    for (Item& item : items_) item.visible -= rect;
    std::erase_if(items_, [](const Item& item) { return item.visible.isEmpty(); });
    UpdateScene(rect);
}

void BoardCanvas::DrawPicture(const QRect& rect, const ScenePicture* picture) {
    if (picture == nullptr || picture->IsNull() || rect.isEmpty()) return;
    // A picture that covers earlier ones entirely replaces them in the list.
    for (Item& item : items_) item.visible -= rect;
    std::erase_if(items_, [](const Item& item) { return item.visible.isEmpty(); });
    items_.push_back({picture, rect, QRegion(rect)});
    UpdateScene(rect);
}

void BoardCanvas::Present() {
    repaint();
}

QPointF BoardCanvas::ToScene(QPointF widgetPosition) const {
    return (widgetPosition - origin_) / scale_;
}

QRectF BoardCanvas::FromScene(const QRectF& sceneRect) const {
    return QRectF(origin_ + sceneRect.topLeft() * scale_, sceneRect.size() * scale_);
}

void BoardCanvas::UpdateScene(const QRect& sceneRect) {
    update(FromScene(sceneRect).toAlignedRect().adjusted(-1, -1, 1, 1));
}

void BoardCanvas::Place(QWidget* child, const QRect& sceneRect) {
    placed_.push_back({child, sceneRect, child->font().pixelSize()});
    Relayout();
}

void BoardCanvas::Relayout() {
    const double w = std::max(1, width());
    const double h = std::max(1, height());
    scale_ = std::min(w / kSceneWidth, h / kSceneHeight);
    // The scene starts on a whole device pixel, so that pictures meet the pixel grid.
    const double ratio = devicePixelRatioF();
    origin_ = QPointF(std::floor((w - kSceneWidth * scale_) / 2 * ratio) / ratio,
                      std::floor((h - kSceneHeight * scale_) / 2 * ratio) / ratio);
    for (const Placed& p : placed_) {
        p.child->setGeometry(FromScene(p.rect).toRect());
        if (p.fontPixels > 0) {
            QFont font = p.child->font();
            font.setPixelSize(std::max(1, static_cast<int>(std::lround(p.fontPixels * scale_))));
            p.child->setFont(font);
        }
    }
    emit Relaid();
}

void BoardCanvas::PaintScene(QPainter& painter, double deviceScale,
                             const QRectF& dirtyScene) const {
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setClipRect(kScene, Qt::IntersectClip);
    if (background_ != nullptr)
        painter.drawImage(QRectF(kScene), background_->At(deviceScale));
    else
        painter.fillRect(kScene, backgroundColour_);
    for (const Item& item : items_) {
        if (!dirtyScene.intersects(item.rect)) continue;
        painter.save();
        painter.setClipRegion(item.visible, Qt::IntersectClip);
        painter.drawImage(QRectF(item.rect), item.picture->At(deviceScale));
        painter.restore();
    }
}

QImage BoardCanvas::Render(double deviceScale) const {
    const QSize size(static_cast<int>(std::lround(kSceneWidth * deviceScale)),
                     static_cast<int>(std::lround(kSceneHeight * deviceScale)));
    QImage image(size, QImage::Format_RGB32);
    image.fill(backgroundColour_);
    QPainter painter(&image);
    painter.scale(deviceScale, deviceScale);
    PaintScene(painter, deviceScale, QRectF(kScene));
    return image;
}

void BoardCanvas::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect dirty = event->rect();
    // The bands beside the scene, up to the first pixel that the scene covers whole: at most
    // sizes its edge falls inside a pixel, which the scene alone would leave unpainted.
    QRegion bands(dirty);
    bands -= CoveredWhole(FromScene(QRectF(kScene)));
    for (const QRect& r : bands) painter.fillRect(r, bandColour_);

    painter.translate(origin_);
    painter.scale(scale_, scale_);
    const QRectF dirtyScene(ToScene(dirty.topLeft()), QSizeF(dirty.size()) / scale_);
    PaintScene(painter, scale_ * devicePixelRatioF(), dirtyScene.adjusted(-1, -1, 1, 1));
    if (overlay_) overlay_(painter);
}

void BoardCanvas::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Relayout();
}

QPoint BoardCanvas::SceneQPoint(const QMouseEvent* event) const {
    const QPointF p = ToScene(event->position());
    return QPoint(static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y())));
}

void BoardCanvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const QPoint p = SceneQPoint(event);
        emit LeftPressed(p.x(), p.y());
    }
}

void BoardCanvas::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = SceneQPoint(event);
    emit Moved(p.x(), p.y(), (event->buttons() & Qt::LeftButton) != 0);
}

void BoardCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const QPoint p = SceneQPoint(event);
        emit LeftReleased(p.x(), p.y());
    }
}

void BoardCanvas::enterEvent(QEnterEvent* event) {
    emit Entered();
    QWidget::enterEvent(event);
}

}  // namespace kelvara
