#include "framework/Graphics.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPixmap>
#include <utility>

#include "framework/Picture.h"

namespace fw {

namespace {

// A device without an alpha channel cannot show "nothing", so the closest thing is paper white.
bool HasAlpha(QPaintDevice& device) {
    switch (device.devType()) {
        case QInternal::Image:
            return static_cast<QImage&>(device).hasAlphaChannel();
        case QInternal::Pixmap:
            return static_cast<QPixmap&>(device).hasAlphaChannel();
        default:
            return false;
    }
}

class PainterGraphics : public Graphics {
  public:
    PainterGraphics(QPaintDevice& device, std::function<void()> changed)
        : device_(device), changed_(std::move(changed)) {}

    // In drawing units: a device with more pixels than that (a sharp screen) counts them apart.
    double Width() const override { return device_.width() / device_.devicePixelRatio(); }
    double Height() const override { return device_.height() / device_.devicePixelRatio(); }

    void NextPage() override {}

    void ClearRect(double x, double y, double width, double height) override {
        {
            QPainter painter(&device_);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.fillRect(QRectF(x, y, width, height),
                             HasAlpha(device_) ? QColor(Qt::transparent) : QColor(Qt::white));
        }
        Changed();
    }

    void DrawPicture(const Picture& picture, double x, double y) override {
        {
            // The picture's rendition for the device's pixels is drawn pixel for pixel; only a
            // device it has no rendition for gets a picture scaled to it.
            const QImage image = picture.Composed(device_.devicePixelRatio());
            QPainter painter(&device_);
            painter.setRenderHint(QPainter::SmoothPixmapTransform,
                                  image.devicePixelRatio() != device_.devicePixelRatio());
            painter.drawImage(QPointF(x, y), image);
        }
        Changed();
    }

    QPaintDevice* LayoutDevice() override { return &device_; }
    double DeviceUnitsPerUnit() const override { return 1.0; }

    void DrawTextBlock(const TextBlock& block,
                       const std::function<void(QPainter&)>& paint) override {
        {
            QPainter painter(&device_);
            painter.setRenderHint(QPainter::TextAntialiasing);
            painter.translate(block.x * DeviceUnitsPerUnit(), block.y * DeviceUnitsPerUnit());
            painter.setPen(Qt::black);
            if (paint)
                paint(painter);
        }
        Changed();
    }

  private:
    void Changed() {
        if (changed_)
            changed_();
    }

    QPaintDevice& device_;
    std::function<void()> changed_;
};

}  // namespace

std::unique_ptr<Graphics> MakePainterGraphics(QPaintDevice& device, std::function<void()> changed) {
    return std::make_unique<PainterGraphics>(device, std::move(changed));
}

}  // namespace fw
