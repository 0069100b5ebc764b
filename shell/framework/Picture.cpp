#include "framework/Picture.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QString>
#include <algorithm>
#include <stdexcept>

namespace fw {

namespace {

// Draws on each rendition of a picture in turn, each in its own pixels.
class RenditionsGraphics : public Graphics {
  public:
    explicit RenditionsGraphics(const std::vector<std::unique_ptr<QImage>>& renditions) {
        for (const auto& rendition : renditions)
            surfaces_.push_back(MakePainterGraphics(*rendition));
    }

    double Width() const override { return surfaces_.front()->Width(); }
    double Height() const override { return surfaces_.front()->Height(); }
    void NextPage() override {}
    void ClearRect(double x, double y, double width, double height) override {
        for (auto& surface : surfaces_) surface->ClearRect(x, y, width, height);
    }
    void DrawPicture(const Picture& picture, double x, double y) override {
        for (auto& surface : surfaces_) surface->DrawPicture(picture, x, y);
    }
    QPaintDevice* LayoutDevice() override { return surfaces_.front()->LayoutDevice(); }
    double DeviceUnitsPerUnit() const override { return surfaces_.front()->DeviceUnitsPerUnit(); }
    void DrawTextBlock(const TextBlock& block,
                       const std::function<void(QPainter&)>& paint) override {
        for (auto& surface : surfaces_) surface->DrawTextBlock(block, paint);
    }

  private:
    std::vector<std::unique_ptr<Graphics>> surfaces_;
};

QImage WhiteSheet(const QImage& shape) {
    QImage sheet(shape.size(), QImage::Format_ARGB32);
    sheet.setDevicePixelRatio(shape.devicePixelRatio());
    sheet.fill(Qt::white);
    return sheet;
}

}  // namespace

Picture::Picture(int width, int height) {
    // A new picture is a blank white sheet, and a new mask made from it therefore shows everything.
    renditions_.push_back(std::make_unique<QImage>(
        WhiteSheet(QImage(std::max(width, 0), std::max(height, 0), QImage::Format_ARGB32))));
}

Picture::Picture(const QImage& image) {
    renditions_.push_back(std::make_unique<QImage>(image.convertToFormat(QImage::Format_ARGB32)));
}

Picture::~Picture() = default;

int Picture::Width() const {
    return qRound(renditions_.front()->deviceIndependentSize().width());
}

int Picture::Height() const {
    return qRound(renditions_.front()->deviceIndependentSize().height());
}

void Picture::AddRendition(const QImage& image) {
    auto rendition = std::make_unique<QImage>(image.convertToFormat(QImage::Format_ARGB32));
    auto finer = std::find_if(renditions_.begin(), renditions_.end(), [&](const auto& r) {
        return r->devicePixelRatio() > rendition->devicePixelRatio();
    });
    if (mask_)
        mask_->AddRendition(WhiteSheet(*rendition));
    renditions_.insert(finer, std::move(rendition));
    graphics_.reset();
}

Picture* Picture::Mask(bool create) {
    if (!mask_ && create) {
        mask_ = std::make_unique<Picture>(WhiteSheet(*renditions_.front()));
        for (std::size_t i = 1; i < renditions_.size(); ++i)
            mask_->AddRendition(WhiteSheet(*renditions_[i]));
    }
    return mask_.get();
}

fw::Graphics& Picture::Graphics() {
    if (!graphics_)
        graphics_ = std::make_unique<RenditionsGraphics>(renditions_);
    return *graphics_;
}

std::size_t Picture::RenditionFor(double ratio) const {
    for (std::size_t i = 0; i < renditions_.size(); ++i) {
        if (renditions_[i]->devicePixelRatio() >= ratio)
            return i;
    }
    return renditions_.size() - 1;
}

QImage Picture::Composed(double ratio) const {
    const std::size_t at = RenditionFor(ratio);
    QImage result = *renditions_[at];
    if (!mask_)
        return result;
    const QImage& mask = *mask_->renditions_[std::min(at, mask_->renditions_.size() - 1)];
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

const QImage& Picture::Image(double ratio) const {
    return *renditions_[RenditionFor(ratio)];
}

std::shared_ptr<Picture> ResourceFork::GetPicture(int id) const {
    const QString name = QStringLiteral(":/pictures/%1").arg(id);
    QImage image(name + QStringLiteral(".png"));
    if (image.isNull())
        return nullptr;
    auto picture = std::make_shared<Picture>(image);
    const QString twice = name + QStringLiteral("@2x.png");
    if (QFile::exists(twice)) {
        QImage finer(twice);
        finer.setDevicePixelRatio(2);
        if (!finer.isNull())
            picture->AddRendition(finer);
    }
    return picture;
}

ResourceFork ApplicationResourceFork() {
    // Resources are registered with the Qt application; without one there is nothing to read.
    if (!QCoreApplication::instance())
        throw std::runtime_error("the application has no resources");
    return ResourceFork();
}

}  // namespace fw
