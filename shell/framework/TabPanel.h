#pragma once

#include <string>
#include <vector>

#include "framework/Control.h"

class QTabBar;

namespace fw {

class TabPanel : public Control {
  public:
    TabPanel(Window& window, std::string name);
    void SetProperties(const ControlProperties& properties) override;
    int Value() const;  // page shown, 0-based
    void Value(int page);
    int PageCount() const;
    std::string Caption(int page) const;
    void AddMember(Control& control);

  private:
    void ShowPage();
    QTabBar* tabs_ = nullptr;
    std::vector<Control*> members_;
};

}  // namespace fw
