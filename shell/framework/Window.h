#pragma once
// A window: set-up hooks, events, designed values and controls registered by name.

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <typeinfo>
#include <vector>

#include "framework/Controls.h"

class QWidget;

namespace fw {

class Graphics;
class MenuBar;
class WindowWidget;

struct WindowProperties {
    int placement = 2;  // 2: centred on the main screen
    int width = 300, height = 300;
    int minWidth = 64, minHeight = 64;
    int maxWidth = 32000, maxHeight = 32000;
    int frame = 0;  // 0: document window
    std::string title;
    bool visible = true;
    bool resizeable = true;
    bool closeButton = true;
    bool maximizeButton = true;
    bool minimizeButton = true;
    bool hasBackColor = false;
    unsigned backColor = 0xFFFFFF;
    bool menuBarVisible = true;
};

class Window {
  public:
    Window();
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Builds the window: Layout, CreateControls, AddMenuHandlers, then shows it when Visible and
    // raises Open (once the application itself has opened).
    void Constructor();

    // Set-up hooks.
    virtual void Layout() {}
    virtual void CreateControls() {}
    virtual void AddMenuHandlers(Window& window) { (void)window; }

    // Events.
    virtual void Event_Open() {}
    virtual void Event_Close() {}
    virtual void Event_EnableMenuItems() {}
    virtual void Event_Paint(Graphics& g) { (void)g; }

    void SetProperties(const WindowProperties& properties);
    const WindowProperties& Properties() const { return properties_; }
    fw::MenuBar* MenuBar() const { return menuBar_; }
    void MenuBar(fw::MenuBar* menuBar);
    std::string Title() const;

    // Size of the content area, below the menu bar.
    int Width() const;
    int Height() const;
    void Resize(int width, int height);

    void Refresh(bool eraseBackground = true);
    // Shows the window modally; returns once it has been closed.
    void ShowModal();
    // Closes the window: raises Close, then hides and forgets it.
    void Close();
    bool IsOpen() const { return open_; }
    bool IsClosed() const { return closed_; }

    // Creates a control of a class in this window and registers it under its name.
    template <class T>
    T& NewControl(const std::string& name) {
        auto control = std::make_unique<T>(*this, name);
        T& ref = *control;
        AddControl(std::move(control));
        return ref;
    }
    // The control of that name as its class; throws std::out_of_range when there is none.
    template <class T>
    T& ControlByName(const std::string& name) const {
        T* control = dynamic_cast<T*>(&FindControlOrThrow(name));
        if (!control)
            throw std::out_of_range("control " + name + " is not a " + typeid(T).name());
        return *control;
    }
    Control* FindControl(const std::string& name) const;
    std::size_t ControlCount() const { return controls_.size(); }
    const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }

    // Binds a command handler (no argument, true when handled) to a menu item's name.
    void AddMenuHandler(const std::string& itemName, std::function<bool()> handler);
    // Framework: runs the window's handler of a menu item; false when it has none or declined.
    bool HandleMenuCommand(const std::string& itemName);

    QWidget* NativeWidget() const;
    QWidget* ContentWidget() const;

    // Framework: called by the native window.
    void NativeCloseRequested();
    void NativeActivated();
    void NativeResized();
    void NativePaint();
    void RaiseOpen();

  private:
    void AddControl(std::unique_ptr<Control> control);
    Control& FindControlOrThrow(const std::string& name) const;
    void ApplyPlacement();

    WindowProperties properties_;
    fw::MenuBar* menuBar_ = nullptr;
    std::unique_ptr<WindowWidget> widget_;
    std::vector<std::unique_ptr<Control>> controls_;
    std::map<std::string, std::function<bool()>> menuHandlers_;
    bool constructed_ = false;
    bool open_ = false;
    bool openRaised_ = false;
    bool closing_ = false;
    bool closed_ = false;
};

}  // namespace fw
