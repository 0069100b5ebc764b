#pragma once
// Push and bevel buttons, and the static text of labels.

#include <string>

#include "framework/Control.h"

class QAbstractButton;
class QLabel;

namespace fw {

class PushButton : public Control {
  public:
    PushButton(Window& window, std::string name);
    void SetProperties(const ControlProperties& properties) override;
    std::string Caption() const;
    void Caption(const std::string& caption);
    void Push();  // as a click would, only when enabled and visible

  protected:
    QAbstractButton* button_ = nullptr;
};

class BevelButton : public PushButton {
  public:
    BevelButton(Window& window, std::string name);
    void SetProperties(const ControlProperties& properties) override;
};

class StaticText : public Control {
  public:
    StaticText(Window& window, std::string name);
    void SetProperties(const ControlProperties& properties) override;
    std::string Text() const;
    void Text(const std::string& text);

  private:
    QLabel* label_ = nullptr;
};

}  // namespace fw
