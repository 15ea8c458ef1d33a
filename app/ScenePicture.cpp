#include "ScenePicture.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace kelvara {
namespace {

// Scales for which the art may come drawn, beside the plain file.
constexpr double kVariantScales[] = {1.5, 2.0, 3.0, 4.0, 6.0};
// A declared picture larger than this in either direction is not decoded at all.
constexpr int kLargestSide = 16384;

QString VariantPath(const QString& path, double scale) {
    const QFileInfo info(path);
    const QString name = info.completeBaseName() + QLatin1Char('@') +
                         QString::number(scale, 'g', 3) + QLatin1Char('x');
    const QString ext = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    return info.path() + QLatin1Char('/') + name + ext;
}

QSize DeclaredSize(const QString& path) {
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kLargestSide || size.height() > kLargestSide) return {};
    return size;
}

QSize Scaled(QSize size, double scale) {
    return QSize(std::max(1, static_cast<int>(std::lround(size.width() * scale))),
                 std::max(1, static_cast<int>(std::lround(size.height() * scale))));
}

}  // namespace

ScenePicture::ScenePicture(const QString& path, QSize drawnSize, Fit fit)
    : drawnSize_(drawnSize), fit_(fit) {
    if (path.isEmpty()) return;
    const QSize plain = DeclaredSize(path);
    if (!plain.isValid()) return;
    variants_.push_back({path, 1.0, plain});
    for (double scale : kVariantScales) {
        const QString candidate = VariantPath(path, scale);
        if (!QFileInfo::exists(candidate)) continue;
        const QSize pixels = DeclaredSize(candidate);
        if (pixels.isValid()) variants_.push_back({candidate, scale, pixels});
    }
}

const ScenePicture::Variant* ScenePicture::VariantFor(double deviceScale) const {
    if (variants_.empty()) return nullptr;
    for (const Variant& v : variants_)
        if (v.scale >= deviceScale - 1e-6) return &v;
    return &variants_.back();
}

const QImage& ScenePicture::At(double deviceScale) const {
    if (cachedScale_ != deviceScale || cached_.isNull()) {
        cached_ = QImage();  // free the old one before decoding the next
        cached_ = Render(deviceScale);
        cachedScale_ = deviceScale;
    }
    return cached_;
}

QImage ScenePicture::Render(double deviceScale) const {
    const Variant* variant = VariantFor(deviceScale);
    if (variant == nullptr) return {};
    const QSize target = Scaled(drawnSize_, deviceScale);
    QImageReader reader(variant->path);
    if (fit_ == Fit::Stretch) {
        // The reader scales while decoding where the format allows it.
        reader.setScaledSize(target);
        QImage image = reader.read();
        if (image.isNull()) return image;
        if (image.size() != target)
            image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return image.convertToFormat(QImage::Format_RGB32);
    }

    // Tile: the variant's own size in scene pixels is its pixel size over its scale. A
    // picture that covers the drawn size is cut to it; a smaller one repeats from the corner.
    const QSize tileScene = Scaled(variant->pixels, 1.0 / variant->scale);
    if (tileScene.width() >= drawnSize_.width() && tileScene.height() >= drawnSize_.height()) {
        reader.setClipRect(QRect(QPoint(0, 0), Scaled(drawnSize_, variant->scale)));
        QImage part = reader.read();
        if (part.isNull()) return part;
        if (part.size() != target)
            part = part.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return part.convertToFormat(QImage::Format_RGB32);
    }
    QImage tile = reader.read();
    if (tile.isNull()) return tile;
    const QSize tileDevice = Scaled(tileScene, deviceScale);
    if (tile.size() != tileDevice)
        tile = tile.scaled(tileDevice, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    tile = tile.convertToFormat(QImage::Format_RGB32);
    QImage image(target, QImage::Format_RGB32);
    QPainter painter(&image);
    for (int y = 0; y < target.height(); y += tileDevice.height())
        for (int x = 0; x < target.width(); x += tileDevice.width()) painter.drawImage(x, y, tile);
    return image;
}

}  // namespace kelvara
