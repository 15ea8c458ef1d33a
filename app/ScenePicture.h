#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <vector>

namespace kelvara {

// A picture of the board scene that is drawn at a fixed size in scene pixels (a 20x20 piece,
// or the whole 542x400 background) and rendered sharp at any device scale.
//
// Beside the named file, variants drawn for higher scales may lie next to it with the usual
// suffix: "black@2x.png" is the 2x drawing of "black.png". Rendering at a device scale takes
// the smallest variant drawn for at least that scale (or the largest one there is) and keeps
// only the result, at exactly the size it is drawn at: a huge file costs memory only while it
// is being decoded.
class ScenePicture {
  public:
    enum class Fit {
        Stretch,  // stretched into the drawn size (the pieces)
        Tile,     // laid as a tiled pattern from the top-left corner (the background)
    };

    ScenePicture() = default;
    // Finds the file and its variants; a picture that cannot be read stays null.
    ScenePicture(const QString& path, QSize drawnSize, Fit fit);

    bool IsNull() const { return variants_.empty(); }
    QSize DrawnSize() const { return drawnSize_; }

    // The picture at `deviceScale` device pixels per scene pixel: exactly
    // round(DrawnSize() * deviceScale) pixels, device pixel ratio not set. Cached for the last
    // scale asked for.
    const QImage& At(double deviceScale) const;

    // The file and scale of the variant used for a device scale, for tests.
    struct Variant {
        QString path;
        double scale = 1.0;
        QSize pixels;
    };
    const Variant* VariantFor(double deviceScale) const;

  private:
    QImage Render(double deviceScale) const;

    std::vector<Variant> variants_;  // ascending scale
    QSize drawnSize_;
    Fit fit_ = Fit::Stretch;
    mutable double cachedScale_ = 0.0;
    mutable QImage cached_;
};

}  // namespace kelvara
