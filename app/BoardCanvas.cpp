#include "BoardCanvas.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

namespace kelvara {

BoardCanvas::BoardCanvas(QWidget* parent) : QWidget(parent), background_(QColor(200, 210, 220)) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BoardCanvas::SetBackground(const QBrush& brush) {
    background_ = brush;
    Erase(image_.rect());
}

void BoardCanvas::Erase(const QRect& rect) {
    if (image_.isNull()) return;
    QPainter painter(&image_);
    painter.setBrushOrigin(0, 0);
    painter.fillRect(rect, background_);
    update(rect);
}

void BoardCanvas::DrawPicture(const QRect& rect, const QImage& picture) {
    if (image_.isNull() || picture.isNull()) return;
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(rect, picture);
    update(rect);
}

void BoardCanvas::Present() {
    repaint();
}

void BoardCanvas::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect dirty = event->rect();
    painter.drawImage(dirty, image_, dirty);
    if (overlay_) overlay_(painter);
}

void BoardCanvas::resizeEvent(QResizeEvent* event) {
    Reallocate(event->size());
}

void BoardCanvas::Reallocate(const QSize& wanted) {
    const QSize size = wanted.expandedTo(QSize(1, 1));
    if (image_.size() == size) return;
    QImage grown(size, QImage::Format_RGB32);
    {
        QPainter painter(&grown);
        painter.setBrushOrigin(0, 0);
        painter.fillRect(grown.rect(), background_);
        if (!image_.isNull()) painter.drawImage(0, 0, image_);
    }
    image_ = grown;
}

void BoardCanvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const QPoint p = event->position().toPoint();
        emit LeftPressed(p.x(), p.y());
    }
}

void BoardCanvas::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit Moved(p.x(), p.y(), (event->buttons() & Qt::LeftButton) != 0);
}

void BoardCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const QPoint p = event->position().toPoint();
        emit LeftReleased(p.x(), p.y());
    }
}

void BoardCanvas::enterEvent(QEnterEvent* event) {
    emit Entered();
    QWidget::enterEvent(event);
}

}  // namespace kelvara
