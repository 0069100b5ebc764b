#include "framework/Control.h"

#include <QWidget>

#include "framework/Application.h"
#include "framework/ControlSupport.h"
#include "framework/Listbox.h"
#include "framework/Window.h"

namespace fw {

using detail::Q;
using detail::ScreenFontFor;

Control::Control(Window& window, std::string name) : window_(window), name_(std::move(name)) {}

Control::~Control() = default;

void Control::SetWidget(QWidget* widget) {
    widget_ = widget;
    widget_->setParent(window_.ContentWidget());
}

bool Control::Enabled() const {
    return widget_ && widget_->isEnabled();
}

void Control::Enabled(bool value) {
    if (widget_)
        widget_->setEnabled(value);
}

void Control::Visible(bool value) {
    visible_ = value;
    UpdateVisibility();
}

void Control::PageShown(bool shown) {
    pageShown_ = shown;
    UpdateVisibility();
}

void Control::UpdateVisibility() {
    if (widget_)
        widget_->setVisible(visible_ && pageShown_);
}

void Control::SetFocus() {
    if (widget_)
        widget_->setFocus(Qt::OtherFocusReason);
}

bool Control::HasFocus() const {
    return widget_ && (widget_->hasFocus() || widget_->window()->focusWidget() == widget_);
}

int Control::Left() const {
    return widget_ ? widget_->x() : designed_.left;
}
int Control::Top() const {
    return widget_ ? widget_->y() : designed_.top;
}
int Control::Width() const {
    return widget_ ? widget_->width() : designed_.width;
}
int Control::Height() const {
    return widget_ ? widget_->height() : designed_.height;
}

void Control::SetProperties(const ControlProperties& properties) {
    designed_ = properties;
    ApplyCommonProperties();
}

void Control::ApplyCommonProperties() {
    if (!widget_)
        return;
    widget_->setGeometry(designed_.left, designed_.top, designed_.width, designed_.height);
    widget_->setEnabled(designed_.enabled);
    widget_->setFont(ScreenFontFor(designed_));
    if (!designed_.accessibleName.empty())
        widget_->setAccessibleName(Q(designed_.accessibleName));
    if (!designed_.accessibleDescription.empty())
        widget_->setAccessibleDescription(Q(designed_.accessibleDescription));
    widget_->setToolTip(Q(designed_.helpTag));
    visible_ = designed_.visible;
    if (!designed_.initialParent.empty()) {
        if (auto* panel = dynamic_cast<TabPanel*>(window_.FindControl(designed_.initialParent))) {
            panel->AddMember(*this);
        }
    }
    UpdateVisibility();
    ApplyLocks(window_.Width() - 0 - window_.Properties().width,
               window_.Height() - window_.Properties().height);
}

void Control::ApplyLocks(int dw, int dh) {
    if (!widget_)
        return;
    const ControlProperties& d = designed_;
    int left = d.left, top = d.top, width = d.width, height = d.height;
    if (d.lockLeft && d.lockRight) {
        width += dw;
    } else if (d.lockRight) {
        left += dw;
    }
    if (d.lockTop && d.lockBottom) {
        height += dh;
    } else if (d.lockBottom) {
        top += dh;
    }
    widget_->setGeometry(left, top, std::max(0, width), std::max(0, height));
}

void Control::ReportSelection(SelectedRow& reported, SelectedRow now) {
    if (now == reported)
        return;
    reported = std::move(now);
    RaiseEvent("Change");
}

void Control::InstallEventHandler(const std::string& eventName, std::function<void()> handler) {
    handlers_[eventName] = std::move(handler);
}

void Control::RaiseEvent(const std::string& eventName) {
    auto it = handlers_.find(eventName);
    if (it == handlers_.end() || !it->second)
        return;
    auto handler = it->second;  // a handler may replace itself while it runs
    if (auto* app = Application::Current()) {
        app->Guard(handler);
    } else {
        handler();
    }
    // Whatever reads the lists once control is back with Qt finds every row the handler added.
    Listbox::AnnounceAddedRows();
}

}  // namespace fw
