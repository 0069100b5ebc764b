// Draws the About window's artwork at build time: a steaming stew pot with a wooden spoon, as a
// 128x128 picture and its mask (white where the picture shows), and again from the same drawing at
// 256x256 for screens with two pixels to each of the window's.
//
//   make_about_art <picture.png> <mask.png> <picture@2x.png> <mask@2x.png>

#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdio>

namespace {

constexpr int kSize = 128;

void DrawSteam(QPainter& p) {
    QPen steam(QColor(150, 170, 190), 4.5, Qt::SolidLine, Qt::RoundCap);
    p.setPen(steam);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        const double x = 44 + i * 18;
        QPainterPath wisp(QPointF(x, 36));
        wisp.cubicTo(x - 9, 28, x + 9, 20, x, 11);
        wisp.cubicTo(x - 5, 6, x + 2, 3, x + 1, 1.5);
        p.drawPath(wisp);
    }
}

void DrawSpoon(QPainter& p) {
    // Leans out of the pot to the upper right; the pot's rim is drawn over its lower end.
    p.save();
    p.translate(84, 50);
    p.rotate(35);
    QLinearGradient wood(-4, 0, 4, 0);
    wood.setColorAt(0, QColor(170, 110, 55));
    wood.setColorAt(1, QColor(120, 72, 30));
    p.setPen(QPen(QColor(90, 52, 20), 1.5));
    p.setBrush(wood);
    p.drawRoundedRect(QRectF(-3.5, -38, 7, 42), 3, 3);
    p.drawEllipse(QRectF(-8, -52, 16, 22));
    p.restore();
}

void DrawPot(QPainter& p) {
    const QColor outline(80, 24, 18);
    // Handles first, so that the body covers their inner ends.
    p.setPen(QPen(outline, 2));
    p.setBrush(QColor(60, 60, 66));
    p.drawRoundedRect(QRectF(6, 58, 22, 10), 5, 5);
    p.drawRoundedRect(QRectF(100, 58, 22, 10), 5, 5);

    QPainterPath body;
    body.moveTo(18, 50);
    body.lineTo(110, 50);
    body.lineTo(106, 104);
    body.quadTo(104, 118, 90, 118);
    body.lineTo(38, 118);
    body.quadTo(24, 118, 22, 104);
    body.closeSubpath();
    QLinearGradient enamel(18, 0, 110, 0);
    enamel.setColorAt(0, QColor(150, 40, 30));
    enamel.setColorAt(0.35, QColor(225, 85, 55));
    enamel.setColorAt(1, QColor(130, 32, 24));
    p.setBrush(enamel);
    p.drawPath(body);

    // A cream band with a heart: it is a cook's pot for a recipe book.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 235, 200));
    p.drawRect(QRectF(21, 74, 86, 14));
    QPainterPath heart;
    heart.moveTo(64, 86);
    heart.cubicTo(52, 79, 56, 70, 64, 75);
    heart.cubicTo(72, 70, 76, 79, 64, 86);
    p.setBrush(QColor(200, 50, 40));
    p.drawPath(heart);

    // The rim, with the stew showing inside it.
    p.setPen(QPen(outline, 2));
    p.setBrush(QColor(95, 95, 102));
    p.drawRoundedRect(QRectF(12, 42, 104, 12), 6, 6);
    QRadialGradient stew(QPointF(64, 47), 48);
    stew.setColorAt(0, QColor(235, 160, 60));
    stew.setColorAt(1, QColor(170, 90, 30));
    p.setPen(Qt::NoPen);
    p.setBrush(stew);
    p.drawEllipse(QRectF(18, 44, 92, 7));

    // A highlight on the enamel.
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawRoundedRect(QRectF(30, 56, 8, 40), 4, 4);
}

// The drawing at `scale` times its designed size, as an opaque picture with the true colours right
// out to the soft edges and a mask that carries the shape. Where nothing was drawn the picture is
// white, as paper would be.
void Draw(int scale, QImage& picture, QImage& mask) {
    const int size = kSize * scale;
    QImage art(size, size, QImage::Format_ARGB32);
    art.fill(Qt::transparent);
    {
        QPainter p(&art);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        DrawSteam(p);
        DrawSpoon(p);
        DrawPot(p);
    }
    picture = QImage(size, size, QImage::Format_RGB32);
    mask = QImage(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const QRgb pixel = art.pixel(x, y);
            const int alpha = qAlpha(pixel);
            picture.setPixel(
                x, y,
                alpha == 0 ? qRgb(255, 255, 255) : qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel)));
            mask.setPixel(x, y, qRgb(alpha, alpha, alpha));
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s <picture.png> <mask.png> <picture@2x.png> <mask@2x.png>\n",
                     argv[0]);
        return 2;
    }
    QGuiApplication app(argc, argv);
    for (int scale : {1, 2}) {
        QImage picture, mask;
        Draw(scale, picture, mask);
        const int first = 1 + 2 * (scale - 1);
        if (!picture.save(QString::fromLocal8Bit(argv[first]), "PNG") ||
            !mask.save(QString::fromLocal8Bit(argv[first + 1]), "PNG")) {
            std::fprintf(stderr, "make_about_art: could not write the pictures\n");
            return 1;
        }
    }
    return 0;
}
