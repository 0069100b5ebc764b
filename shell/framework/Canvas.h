#pragma once

#include <memory>

#include "framework/Control.h"

class QPixmap;

namespace fw {

class Graphics;

// A drawing area that keeps what was drawn on it.
class Canvas : public Control {
  public:
    Canvas(Window& window, std::string name);
    ~Canvas() override;
    void SetProperties(const ControlProperties& properties) override;
    fw::Graphics& Graphics();
    // What the canvas shows, for tests and screenshots.
    const QPixmap& Backing() const;

  private:
    class Surface;
    std::unique_ptr<QPixmap> backing_;
    std::unique_ptr<fw::Graphics> graphics_;
};

}  // namespace fw
