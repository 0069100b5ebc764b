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

void Canvas::SetProperties(const ControlProperties& properties) {
    designed_ = properties;
    graphics_.reset();
    *backing_ = QPixmap(std::max(1, properties.width), std::max(1, properties.height));
    backing_->fill(Qt::transparent);
    ApplyCommonProperties();
}

fw::Graphics& Canvas::Graphics() {
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
