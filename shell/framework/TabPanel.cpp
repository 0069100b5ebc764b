#include "framework/TabPanel.h"

#include <QFrame>
#include <QTabBar>
#include <QVBoxLayout>

#include "framework/ControlSupport.h"
#include "framework/Window.h"

namespace fw {

using detail::Lines;
using detail::Q;

// TabPanel: a tab bar over a framed page; the controls of each page lie in the window's content,
// so that their positions are the window's own coordinates.

namespace {
class PanelWidget : public QWidget {
  public:
    PanelWidget() {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        tabs = new QTabBar(this);
        tabs->setDrawBase(false);
        tabs->setExpanding(false);
        frame = new QFrame(this);
        frame->setFrameShape(QFrame::StyledPanel);
        layout->addWidget(tabs);
        layout->addWidget(frame, 1);
    }
    QTabBar* tabs;
    QFrame* frame;
};
}  // namespace

TabPanel::TabPanel(Window& window, std::string name) : Control(window, std::move(name)) {
    auto* panel = new PanelWidget();
    tabs_ = panel->tabs;
    SetWidget(panel);
    QObject::connect(tabs_, &QTabBar::currentChanged, [this](int) { ShowPage(); });
}

void TabPanel::SetProperties(const ControlProperties& properties) {
    designed_ = properties;
    while (tabs_->count() > 0) tabs_->removeTab(0);
    for (const std::string& caption : Lines(properties.initialValue)) tabs_->addTab(Q(caption));
    ApplyCommonProperties();
    Value(properties.value);
}

int TabPanel::Value() const {
    return tabs_->currentIndex();
}

void TabPanel::Value(int page) {
    tabs_->setCurrentIndex(page);
    ShowPage();
}

int TabPanel::PageCount() const {
    return tabs_->count();
}

std::string TabPanel::Caption(int page) const {
    return tabs_->tabText(page).toStdString();
}

void TabPanel::AddMember(Control& control) {
    if (std::find(members_.begin(), members_.end(), &control) == members_.end()) {
        members_.push_back(&control);
    }
    control.PageShown(control.DesignedValues().panelIndex == Value() + 1);
    control.NativeWidget()->raise();
}

void TabPanel::ShowPage() {
    for (Control* member : members_)
        member->PageShown(member->DesignedValues().panelIndex == Value() + 1);
}

}  // namespace fw
