#include "framework/Window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>

#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/Graphics.h"
#include "framework/Menus.h"

namespace fw {

// The native top-level window: a menu bar above a content area that holds the controls.
class WindowWidget : public QWidget {
  public:
    explicit WindowWidget(Window& owner) : owner_(owner) {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        content_ = new Content(owner, this);
        layout->addWidget(content_);
    }
    QWidget* content() const { return content_; }
    QMenuBar* menuBar() {
        if (!menuBar_) {
            menuBar_ = new QMenuBar(this);
            static_cast<QVBoxLayout*>(layout())->setMenuBar(menuBar_);
        }
        return menuBar_;
    }
    int menuBarHeight() const { return menuBar_ ? menuBar_->sizeHint().height() : 0; }

  protected:
    void closeEvent(QCloseEvent* event) override {
        event->accept();
        owner_.NativeCloseRequested();
    }
    void changeEvent(QEvent* event) override {
        QWidget::changeEvent(event);
        if (event->type() == QEvent::ActivationChange && isActiveWindow())
            owner_.NativeActivated();
    }

  private:
    class Content : public QWidget {
      public:
        Content(Window& owner, QWidget* parent) : QWidget(parent), owner_(owner) {}

      protected:
        void resizeEvent(QResizeEvent*) override { owner_.NativeResized(); }
        void paintEvent(QPaintEvent*) override { owner_.NativePaint(); }

      private:
        Window& owner_;
    };

    Window& owner_;
    Content* content_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
};

Window::Window() : widget_(std::make_unique<WindowWidget>(*this)) {}

Window::~Window() {
    controls_.clear();
    if (auto* app = Application::Current())
        app->WindowDestroyed(*this);
}

void Window::Constructor() {
    if (constructed_)
        return;
    constructed_ = true;
    if (auto* app = Application::Current())
        app->WindowCreated(*this);
    Layout();
    CreateControls();
    AddMenuHandlers(*this);
    // Keyboard order follows each control's TabIndex.
    std::vector<Control*> order;
    for (const auto& c : controls_) order.push_back(c.get());
    std::stable_sort(order.begin(), order.end(), [](Control* a, Control* b) {
        return a->DesignedValues().tabIndex < b->DesignedValues().tabIndex;
    });
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1]->NativeWidget(), order[i]->NativeWidget());
    }
    ApplyPlacement();
    open_ = true;
    auto* app = Application::Current();
    if (!app || app->HasOpened())
        RaiseOpen();
}

void Window::RaiseOpen() {
    if (openRaised_ || closed_)
        return;
    openRaised_ = true;
    auto* app = Application::Current();
    if (app) {
        app->Guard([this] { Event_Open(); });
    } else {
        Event_Open();
    }
    if (properties_.visible && !closed_)
        widget_->show();
    if (app && !closed_)
        app->EnableMenuItems();
}

void Window::SetProperties(const WindowProperties& p) {
    properties_ = p;
    widget_->setWindowTitle(QString::fromStdString(p.title));
    QWidget* content = widget_->content();
    content->setMinimumSize(p.minWidth, p.minHeight);
    content->setMaximumSize(p.maxWidth, p.maxHeight);
    Qt::WindowFlags flags = Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint;
    if (p.closeButton)
        flags |= Qt::WindowCloseButtonHint;
    if (p.minimizeButton)
        flags |= Qt::WindowMinimizeButtonHint;
    if (p.maximizeButton)
        flags |= Qt::WindowMaximizeButtonHint;
    widget_->setWindowFlags(flags);
    if (p.hasBackColor) {
        QPalette palette = content->palette();
        palette.setColor(QPalette::Window, QColor::fromRgb(p.backColor));
        content->setPalette(palette);
        content->setAutoFillBackground(true);
    }
    Resize(p.width, p.height);
    if (!p.resizeable) {
        content->setFixedSize(p.width, p.height);
        widget_->layout()->setSizeConstraint(QLayout::SetFixedSize);
    }
}

void Window::MenuBar(fw::MenuBar* menuBar) {
    menuBar_ = menuBar;
    QMenuBar* native = widget_->menuBar();
    native->clear();
    if (!menuBar)
        return;
    for (std::size_t i = 0; i < menuBar->Count(); ++i)
        native->addAction(menuBar->Item(i)->NativeAction());
    Resize(Width(), Height());
}

std::string Window::Title() const {
    return widget_->windowTitle().toStdString();
}

int Window::Width() const {
    return widget_->content()->width();
}

int Window::Height() const {
    return widget_->content()->height();
}

void Window::Resize(int width, int height) {
    width = std::clamp(width, properties_.minWidth, properties_.maxWidth);
    height = std::clamp(height, properties_.minHeight, properties_.maxHeight);
    widget_->resize(width, height + widget_->menuBarHeight());
    widget_->content()->resize(width, height);
    if (widget_->layout())
        widget_->layout()->activate();
    NativeResized();
}

void Window::ApplyPlacement() {
    if (properties_.placement != 2)
        return;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->availableGeometry();
        QSize size = widget_->size();
        widget_->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
    }
}

void Window::Refresh(bool eraseBackground) {
    (void)eraseBackground;
    widget_->update();
    widget_->content()->update();
}

void Window::ShowModal() {
    CurrentDialogs().ShowModalWindow(*this);
}

void Window::Close() {
    if (closing_ || closed_)
        return;
    closing_ = true;
    auto* app = Application::Current();
    if (app) {
        app->Guard([this] { Event_Close(); });
    } else {
        Event_Close();
    }
    widget_->hide();
    closed_ = true;
    open_ = false;
    closing_ = false;
    if (app)
        app->WindowClosed(*this);
}

void Window::NativeCloseRequested() {
    Close();
}

void Window::NativeActivated() {
    // The window in front decides which menu items are enabled, for shortcuts as for menus.
    if (auto* app = Application::Current(); app && !closed_ && !app->IsQuitting())
        app->EnableMenuItems();
}

void Window::NativeResized() {
    int dw = Width() - properties_.width;
    int dh = Height() - properties_.height;
    for (const auto& control : controls_) control->ApplyLocks(dw, dh);
}

void Window::NativePaint() {
    auto graphics = MakePainterGraphics(*widget_->content());
    auto* app = Application::Current();
    if (app) {
        app->Guard([&] { Event_Paint(*graphics); });
    } else {
        Event_Paint(*graphics);
    }
}

void Window::AddMenuHandler(const std::string& itemName, std::function<bool()> handler) {
    menuHandlers_[itemName] = std::move(handler);
}

bool Window::HandleMenuCommand(const std::string& itemName) {
    auto it = menuHandlers_.find(itemName);
    return it != menuHandlers_.end() && it->second && it->second();
}

QWidget* Window::NativeWidget() const {
    return widget_.get();
}

QWidget* Window::ContentWidget() const {
    return widget_->content();
}

void Window::AddControl(std::unique_ptr<Control> control) {
    if (FindControl(control->Name())) {
        throw std::invalid_argument("a control named " + control->Name() + " exists already");
    }
    controls_.push_back(std::move(control));
}

Control* Window::FindControl(const std::string& name) const {
    for (const auto& control : controls_) {
        if (control->Name() == name)
            return control.get();
    }
    return nullptr;
}

Control& Window::FindControlOrThrow(const std::string& name) const {
    Control* control = FindControl(name);
    if (!control)
        throw std::out_of_range("no control named " + name);
    return *control;
}

}  // namespace fw
