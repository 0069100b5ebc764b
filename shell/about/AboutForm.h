#pragma once
// The About window: the app's picture beside a few lines of credits.

#include <memory>

#include "framework/Window.h"

namespace fw {
class Canvas;
class Graphics;
class Picture;
class StaticText;
}  // namespace fw

class AboutForm : public fw::Window {
  public:
    void Layout() override;
    void CreateControls() override;
    void AddMenuHandlers(fw::Window& window) override;

    void Event_Open() override;
    void Event_Paint(fw::Graphics& g) override;

    fw::Canvas& canImage() const;
    fw::StaticText& StaticText3() const;

  private:
    void CreateControls0();
    void LoadImage();
    void DisplayImage();

    std::shared_ptr<fw::Picture> Image;
};

// The open About window, or a new one (owned by the application) when there is none.
class AboutForm& AboutForm();
