#include <gtest/gtest.h>

#include <QColor>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "GuiFixture.h"
#include "ScenePicture.h"

using kelvara::ScenePicture;

namespace {

class ScenePictureTest : public GuiFixture {
  protected:
    QString Save(const QString& name, const QImage& image) {
        const QString path = dir_.filePath(name);
        EXPECT_TRUE(image.save(path));
        return path;
    }
};

TEST_F(ScenePictureTest, PicksTheSmallestVariantDrawnForTheScale) {
    const ScenePicture piece("res/black.png", QSize(20, 20), ScenePicture::Fit::Stretch);
    ASSERT_FALSE(piece.IsNull());
    const std::pair<double, double> cases[] = {{1.0, 1.0}, {1.25, 1.5}, {1.5, 1.5}, {2.0, 2.0},
                                               {2.6, 3.0}, {5.0, 6.0},  {9.0, 6.0}};
    for (const auto& [wanted, used] : cases) {
        ASSERT_NE(piece.VariantFor(wanted), nullptr);
        EXPECT_DOUBLE_EQ(piece.VariantFor(wanted)->scale, used) << wanted;
    }
    // Each scale is drawn at exactly its size, from its own art where there is one.
    EXPECT_EQ(piece.At(1.0), LoadRgb("res/black.png"));
    EXPECT_EQ(piece.At(2.0), LoadRgb("res/black@2x.png"));
    EXPECT_EQ(piece.At(2.5).size(), QSize(50, 50));
    EXPECT_EQ(piece.At(1.0), LoadRgb("res/black.png"));  // the cache follows the last scale
}

TEST_F(ScenePictureTest, AHugePictureIsKeptAtTheSizeItIsDrawn) {
    QImage huge(5000, 5000, QImage::Format_RGB32);
    huge.fill(QColor(10, 200, 30));
    const ScenePicture piece(Save("huge.png", huge), QSize(20, 20), ScenePicture::Fit::Stretch);
    huge = QImage();
    ASSERT_FALSE(piece.IsNull());
    const QImage& drawn = piece.At(1.0);
    EXPECT_EQ(drawn.size(), QSize(20, 20));
    EXPECT_EQ(drawn.sizeInBytes(), 20 * 20 * 4);
    EXPECT_EQ(drawn.pixel(10, 10), qRgb(10, 200, 30));
    EXPECT_EQ(piece.At(3.0).size(), QSize(60, 60));
}

TEST_F(ScenePictureTest, ABackgroundTilesFromTheCornerOrIsCutToTheScene) {
    QImage small(100, 50, QImage::Format_RGB32);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x) small.setPixel(x, y, qRgb(2 * x, 5 * y, 7));
    const ScenePicture tiled(Save("small.png", small), QSize(542, 400), ScenePicture::Fit::Tile);
    const QImage& scene = tiled.At(1.0);
    ASSERT_EQ(scene.size(), QSize(542, 400));
    for (const QPoint p :
         {QPoint(0, 0), QPoint(99, 49), QPoint(100, 50), QPoint(541, 399), QPoint(333, 222)})
        EXPECT_EQ(scene.pixel(p), small.pixel(p.x() % 100, p.y() % 50)) << p.x() << "," << p.y();
    EXPECT_EQ(tiled.At(2.0).size(), QSize(1084, 800));

    QImage large(700, 500, QImage::Format_RGB32);
    large.fill(Qt::black);
    large.setPixel(541, 399, qRgb(1, 2, 3));
    large.setPixel(542, 399, qRgb(250, 250, 250));
    const ScenePicture cut(Save("large.png", large), QSize(542, 400), ScenePicture::Fit::Tile);
    ASSERT_EQ(cut.At(1.0).size(), QSize(542, 400));
    EXPECT_EQ(cut.At(1.0).pixel(541, 399), qRgb(1, 2, 3));
}

TEST_F(ScenePictureTest, WhatIsNoPictureStaysNull) {
    WriteFile("junk.png", "not a picture at all");
    for (const QString& path :
         {dir_.filePath("junk.png"), dir_.filePath("missing.png"), QString()}) {
        const ScenePicture picture(path, QSize(20, 20), ScenePicture::Fit::Stretch);
        EXPECT_TRUE(picture.IsNull()) << path.toStdString();
        EXPECT_TRUE(picture.At(1.0).isNull());
        EXPECT_EQ(picture.VariantFor(1.0), nullptr);
    }
}

}  // namespace
