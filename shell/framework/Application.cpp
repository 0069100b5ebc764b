#include "framework/Application.h"

#include <QApplication>
#include <QLineEdit>
#include <QMetaObject>
#include <QTextEdit>
#include <QTimer>
#include <algorithm>

#include "framework/Dialogs.h"
#include "framework/Menus.h"
#include "framework/Window.h"

namespace fw {

namespace {
Application* current = nullptr;
}

Application::Application() : context_(std::make_unique<QObject>()) {
    // The application, not Qt, decides when closing the last window ends the run.
    if (auto* qapp = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        qapp->setQuitOnLastWindowClosed(false);
    }
}

Application::~Application() {
    owned_.clear();
    if (current == this)
        current = nullptr;
}

void Application::Register() {
    current = this;
}

Application* Application::Current() {
    return current;
}

void Application::AddMenuHandler(const std::string& itemName, std::function<bool()> handler) {
    menuHandlers_[itemName] = std::move(handler);
}

void Application::Open() {
    if (opened_)
        return;
    Guard([this] { Event_Open(); });
    opened_ = true;
    // Windows made before the application opened raise their Open now, after the application's.
    std::vector<Window*> waiting;
    waiting.swap(waitingForOpen_);
    for (Window* window : waiting) {
        if (std::find(windows_.begin(), windows_.end(), window) != windows_.end()) {
            window->RaiseOpen();
        }
    }
}

int Application::Run() {
    Open();
    if (quitting_)
        return exitCode_;
    loopRunning_ = true;
    int code = QCoreApplication::exec();
    loopRunning_ = false;
    return quitting_ ? exitCode_ : code;
}

void Application::Quit(int code) {
    if (quitting_)
        return;
    quitting_ = true;
    exitCode_ = code;
    // Windows close first, so that their Close events still find what the application's Close
    // event releases.
    std::vector<Window*> open = windows_;
    for (auto it = open.rbegin(); it != open.rend(); ++it) (*it)->Close();
    Guard([this] { Event_Close(); });
    if (loopRunning_)
        QCoreApplication::exit(code);
}

bool Application::DoMenuCommand(const std::string& itemName) {
    bool handled = false;
    Guard([&] {
        if (Window* front = FrontWindow(); front && front->HandleMenuCommand(itemName)) {
            handled = true;
            return;
        }
        if (auto it = menuHandlers_.find(itemName); it != menuHandlers_.end() && it->second) {
            if (it->second()) {
                handled = true;
                return;
            }
        }
        handled = BuiltInCommand(itemName);
    });
    return handled;
}

bool Application::BuiltInCommand(const std::string& itemName) {
    MenuItem* item = menuBar_ ? menuBar_->FindItem(itemName) : nullptr;
    if (item && item->IsQuitItem()) {
        Quit(0);
        return true;
    }
    // The standard edit commands act on the focused text field.
    static const std::pair<const char*, const char*> editCommands[] = {
        {"EditCut", "cut"},     {"EditCopy", "copy"},           {"EditPaste", "paste"},
        {"EditClear", "clear"}, {"EditSelectAll", "selectAll"},
    };
    QWidget* focus = QApplication::focusWidget();
    for (const auto& [name, slot] : editCommands) {
        if (itemName != name || !focus)
            continue;
        if (std::string(slot) == "clear") {
            if (auto* line = qobject_cast<QLineEdit*>(focus)) {
                line->del();
                return true;
            }
            if (auto* text = qobject_cast<QTextEdit*>(focus)) {
                if (!text->isReadOnly())
                    text->textCursor().removeSelectedText();
                return true;
            }
            return false;
        }
        return QMetaObject::invokeMethod(focus, slot);
    }
    return false;
}

void Application::EnableMenuItems() {
    if (!menuBar_)
        return;
    std::function<void(MenuItem&)> reset = [&](MenuItem& item) {
        for (std::size_t i = 0; i < item.Count(); ++i) {
            MenuItem& child = *item.Item(i);
            if (child.Count() == 0)
                child.Enabled(child.AutoEnable());
            reset(child);
        }
    };
    reset(*menuBar_);
    if (Window* front = FrontWindow())
        Guard([front] { front->Event_EnableMenuItems(); });
}

void Application::UnhandledException(const std::exception& error) {
    MsgBox(std::string("An unexpected error occurred: ") + error.what());
}

void Application::Guard(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        UnhandledException(error);
    } catch (...) {
        UnhandledException(std::runtime_error("unknown error"));
    }
}

void Application::Adopt(std::unique_ptr<Window> window) {
    owned_.push_back(std::move(window));
}

void Application::WindowCreated(Window& window) {
    windows_.push_back(&window);
    if (!opened_)
        waitingForOpen_.push_back(&window);
}

void Application::WindowClosed(Window& window) {
    windows_.erase(std::remove(windows_.begin(), windows_.end(), &window), windows_.end());
    // A closed window is destroyed once the event that closed it has returned.
    auto it = std::find_if(owned_.begin(), owned_.end(),
                           [&](const std::unique_ptr<Window>& w) { return w.get() == &window; });
    if (it != owned_.end()) {
        Window* doomed = it->get();
        QTimer::singleShot(0, context_.get(), [this, doomed] {
            auto at =
                std::find_if(owned_.begin(), owned_.end(),
                             [&](const std::unique_ptr<Window>& w) { return w.get() == doomed; });
            if (at != owned_.end())
                owned_.erase(at);
        });
    }
    if (autoQuit_ && windows_.empty())
        Quit(0);
    // Another window is in front now.
    if (!quitting_)
        EnableMenuItems();
}

void Application::WindowDestroyed(Window& window) {
    windows_.erase(std::remove(windows_.begin(), windows_.end(), &window), windows_.end());
    waitingForOpen_.erase(std::remove(waitingForOpen_.begin(), waitingForOpen_.end(), &window),
                          waitingForOpen_.end());
}

Window* Application::FrontWindow() const {
    QWidget* active = QApplication::activeWindow();
    for (Window* window : windows_) {
        if (active && window->NativeWidget() == active)
            return window;
    }
    // Without an active window (offscreen), the front one is the modal one, else the newest shown.
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
        QWidget* w = (*it)->NativeWidget();
        if (w && w->isVisible() && w->isModal())
            return *it;
    }
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
        if ((*it)->NativeWidget() && (*it)->NativeWidget()->isVisible())
            return *it;
    }
    return windows_.empty() ? nullptr : windows_.back();
}

}  // namespace fw
