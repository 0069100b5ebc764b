#include "framework/Picture.h"

#include <QCoreApplication>
#include <QImage>
#include <QString>
#include <algorithm>
#include <stdexcept>

namespace fw {

Picture::Picture(int width, int height)
    : image_(std::make_unique<QImage>(std::max(width, 0), std::max(height, 0),
                                      QImage::Format_ARGB32)) {
    // A new picture is a blank white sheet, and a new mask made from it therefore shows everything.
    image_->fill(Qt::white);
}

Picture::Picture(const QImage& image)
    : image_(std::make_unique<QImage>(image.convertToFormat(QImage::Format_ARGB32))) {}

Picture::~Picture() = default;

int Picture::Width() const {
    return image_->width();
}

int Picture::Height() const {
    return image_->height();
}

Picture* Picture::Mask(bool create) {
    if (!mask_ && create)
        mask_ = std::make_unique<Picture>(Width(), Height());
    return mask_.get();
}

fw::Graphics& Picture::Graphics() {
    if (!graphics_)
        graphics_ = MakePainterGraphics(*image_);
    return *graphics_;
}

QImage Picture::Composed() const {
    if (!mask_)
        return *image_;
    QImage result = *image_;
    const QImage& mask = *mask_->image_;
    const int width = std::min(result.width(), mask.width());
    const int height = std::min(result.height(), mask.height());
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(result.scanLine(y));
        const auto* maskRow = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            // A cleared (transparent) mask pixel hides as black does.
            const int shows = qGray(maskRow[x]) * qAlpha(maskRow[x]) / 255;
            const QRgb p = row[x];
            row[x] = qRgba(qRed(p), qGreen(p), qBlue(p), qAlpha(p) * shows / 255);
        }
    }
    return result;
}

const QImage& Picture::Image() const {
    return *image_;
}

std::shared_ptr<Picture> ResourceFork::GetPicture(int id) const {
    QImage image(QStringLiteral(":/pictures/%1.png").arg(id));
    if (image.isNull())
        return nullptr;
    return std::make_shared<Picture>(image);
}

ResourceFork ApplicationResourceFork() {
    // Resources are registered with the Qt application; without one there is nothing to read.
    if (!QCoreApplication::instance())
        throw std::runtime_error("the application has no resources");
    return ResourceFork();
}

}  // namespace fw
