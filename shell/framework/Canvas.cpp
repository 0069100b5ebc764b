#include "framework/Canvas.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include "framework/Graphics.h"
#include "framework/Window.h"

namespace fw {

namespace {
class CanvasWidget : public QWidget {
  public:
    // Opaque, so that repainting the canvas does not repaint the window behind it, whose Paint
    // event may draw on the canvas again.
    explicit CanvasWidget(const QPixmap* backing) : backing_(backing) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().window());
        painter.drawPixmap(0, 0, *backing_);
    }

  private:
    const QPixmap* backing_;
};
}  // namespace

Canvas::Canvas(Window& window, std::string name) : Control(window, std::move(name)) {
    backing_ = std::make_unique<QPixmap>(1, 1);
    backing_->fill(Qt::transparent);
    SetWidget(new CanvasWidget(backing_.get()));
}

Canvas::~Canvas() = default;

namespace {
// A blank backing with a pixel for each of the screen's, so that what is drawn on it stays sharp.
QPixmap BlankBacking(int width, int height, qreal ratio) {
    QPixmap backing(QSize(std::max(1, width), std::max(1, height)) * ratio);
    backing.setDevicePixelRatio(ratio);
    backing.fill(Qt::transparent);
    return backing;
}
}  // namespace

void Canvas::SetProperties(const ControlProperties& properties) {
    designed_ = properties;
    graphics_.reset();
    *backing_ =
        BlankBacking(properties.width, properties.height, NativeWidget()->devicePixelRatioF());
    ApplyCommonProperties();
}

fw::Graphics& Canvas::Graphics() {
    // On a screen of another ratio (the window moved) the backing takes the new one, keeping what
    // was drawn until it is drawn again.
    const qreal ratio = NativeWidget()->devicePixelRatioF();
    if (backing_->devicePixelRatio() != ratio) {
        QPixmap sharper = BlankBacking(designed_.width, designed_.height, ratio);
        QPainter painter(&sharper);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(0, 0, *backing_);
        painter.end();
        *backing_ = sharper;
    }
    if (!graphics_) {
        QWidget* widget = NativeWidget();
        graphics_ = MakePainterGraphics(*backing_, [widget] { widget->update(); });
    }
    return *graphics_;
}

const QPixmap& Canvas::Backing() const {
    return *backing_;
}

}  // namespace fw
