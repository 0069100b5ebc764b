#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include "framework/Graphics.h"
#include "framework/Picture.h"

namespace {

TEST(Picture, MaskBecomesTheAlphaOfTheComposedPicture) {
    QImage red(4, 1, QImage::Format_ARGB32);
    red.fill(QColor(200, 0, 0));
    fw::Picture picture(red);
    QImage shades(4, 1, QImage::Format_ARGB32);
    shades.setPixel(0, 0, qRgb(255, 255, 255));
    shades.setPixel(1, 0, qRgb(0, 0, 0));
    shades.setPixel(2, 0, qRgb(128, 128, 128));
    shades.setPixel(3, 0, qRgb(255, 255, 255));
    picture.Mask(true)->Graphics().DrawPicture(fw::Picture(shades), 0, 0);
    picture.Mask()->Graphics().ClearRect(3, 0, 1, 1);

    const QImage composed = picture.Composed();
    EXPECT_EQ(255, qAlpha(composed.pixel(0, 0)));
    EXPECT_EQ(0, qAlpha(composed.pixel(1, 0)));
    EXPECT_NEAR(128, qAlpha(composed.pixel(2, 0)), 2);
    EXPECT_EQ(0, qAlpha(composed.pixel(3, 0)));  // cleared hides
    EXPECT_EQ(200, qRed(composed.pixel(0, 0)));
    // The picture itself keeps its pixels; only the composition is masked.
    EXPECT_EQ(255, qAlpha(picture.Image().pixel(1, 0)));
    EXPECT_EQ(nullptr, fw::ApplicationResourceFork().GetPicture(987654));
}

TEST(Picture, EachDeviceGetsTheRenditionForItsPixelsMaskedAlike) {
    QImage plain(2, 1, QImage::Format_ARGB32);
    plain.fill(QColor(200, 0, 0));
    QImage finer(4, 2, QImage::Format_ARGB32);
    finer.fill(QColor(0, 0, 200));
    finer.setDevicePixelRatio(2);
    fw::Picture picture(plain);
    picture.AddRendition(finer);
    EXPECT_EQ(2, picture.Width());
    EXPECT_EQ(1, picture.Height());
    // The left half hidden, in the mask's own two renditions.
    QImage hideLeft(2, 1, QImage::Format_ARGB32);
    hideLeft.fill(Qt::white);
    hideLeft.setPixel(0, 0, qRgb(0, 0, 0));
    QImage hideLeftFiner = hideLeft.scaled(4, 2);
    hideLeftFiner.setDevicePixelRatio(2);
    fw::Picture mask(hideLeft);
    mask.AddRendition(hideLeftFiner);
    picture.Mask(true)->Graphics().DrawPicture(mask, 0, 0);

    for (double ratio : {1.0, 1.5, 2.0, 3.0}) {
        const QImage composed = picture.Composed(ratio);
        const int scale = ratio > 1 ? 2 : 1;
        ASSERT_EQ(QSize(2, 1) * scale, composed.size()) << ratio;
        EXPECT_EQ(scale, composed.devicePixelRatio()) << ratio;
        EXPECT_EQ(scale == 1 ? 200 : 0, qRed(composed.pixel(composed.width() - 1, 0))) << ratio;
        for (int y = 0; y < composed.height(); ++y) {
            for (int x = 0; x < composed.width(); ++x)
                EXPECT_EQ(x < scale ? 0 : 255, qAlpha(composed.pixel(x, y))) << ratio;
        }
    }

    // A screen with twice the pixels shows the finer one pixel for pixel, and says it is 2x2.
    QImage screen(4, 2, QImage::Format_ARGB32);
    screen.setDevicePixelRatio(2);
    screen.fill(Qt::white);
    auto g = fw::MakePainterGraphics(screen);
    EXPECT_EQ(2, g->Width());
    EXPECT_EQ(1, g->Height());
    g->DrawPicture(picture, 0, 0);
    EXPECT_EQ(qRgb(255, 255, 255), screen.pixel(1, 1));
    EXPECT_EQ(qRgb(0, 0, 200), screen.pixel(2, 1));
}

TEST(PainterGraphics, DrawsMaskedPicturesAndClearsToNothingOrPaper) {
    QImage target(6, 6, QImage::Format_ARGB32);
    target.fill(QColor(0, 0, 255));
    int changes = 0;
    auto g = fw::MakePainterGraphics(target, [&] { ++changes; });
    EXPECT_EQ(6, g->Width());
    EXPECT_EQ(6, g->Height());

    fw::Picture square(2, 2);
    square.Graphics().ClearRect(0, 0, 2, 2);
    QImage green(2, 2, QImage::Format_ARGB32);
    green.fill(Qt::green);
    square.Graphics().DrawPicture(fw::Picture(green), 0, 0);
    QImage hideRight(2, 2, QImage::Format_ARGB32);
    hideRight.fill(Qt::white);
    hideRight.setPixel(1, 0, qRgb(0, 0, 0));
    hideRight.setPixel(1, 1, qRgb(0, 0, 0));
    square.Mask(true)->Graphics().DrawPicture(fw::Picture(hideRight), 0, 0);

    g->DrawPicture(square, 3, 3);
    EXPECT_EQ(qRgb(0, 255, 0), target.pixel(3, 3));
    EXPECT_EQ(qRgb(0, 0, 255), target.pixel(4, 3));  // masked out: the blue shows through

    g->ClearRect(0, 0, 2, 2);
    EXPECT_EQ(0, qAlpha(target.pixel(1, 1)));
    EXPECT_EQ(255, qAlpha(target.pixel(2, 2)));
    EXPECT_EQ(2, changes);

    QImage opaque(2, 2, QImage::Format_RGB32);
    opaque.fill(Qt::black);
    fw::MakePainterGraphics(opaque)->ClearRect(0, 0, 1, 2);
    EXPECT_EQ(qRgb(255, 255, 255), opaque.pixel(0, 1));
    EXPECT_EQ(qRgb(0, 0, 0), opaque.pixel(1, 1));
}

}  // namespace
