#pragma once
// The application object: Open and Close events, the menu bar, command handlers by menu item
// name, quitting, and the windows that are open.

#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QObject;

namespace fw {

class MenuBar;
class Window;

class Application {
  public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    virtual void Event_Open() {}
    virtual void Event_Close() {}

    fw::MenuBar* MenuBar() const { return menuBar_; }
    void MenuBar(fw::MenuBar* menuBar) { menuBar_ = menuBar; }
    // Quit once the last window has closed.
    bool AutoQuit() const { return autoQuit_; }
    void AutoQuit(bool value) { autoQuit_ = value; }

    // Registers this object as the application (there is one at a time).
    void Register();
    static Application* Current();

    // Binds a command handler (no argument, true when handled) to a menu item's name.
    void AddMenuHandler(const std::string& itemName, std::function<bool()> handler);

    // Raises Open, then the Open of the windows made before it.
    void Open();
    // Open, then the event loop until Quit. Returns the exit code given to Quit.
    int Run();
    // Closes every window (each raises its Close), raises the application's Close and ends the
    // event loop with the code. Calls made while quitting do nothing more.
    void Quit(int code = 0);
    bool IsQuitting() const { return quitting_; }
    bool HasOpened() const { return opened_; }
    int ExitCode() const { return exitCode_; }

    // Runs a menu command as choosing the item would: the front window's handler, then the
    // application's, then the framework's own (quit, the standard edit commands).
    bool DoMenuCommand(const std::string& itemName);
    // Sets every item's enabled state from AutoEnable, then lets the front window enable its own.
    void EnableMenuItems();

    // What happens to an exception that no handler caught.
    virtual void UnhandledException(const std::exception& error);
    // Runs an event handler, handing any exception to UnhandledException.
    void Guard(const std::function<void()>& handler);

    // Takes ownership of a window; a closed window is destroyed once its event has returned.
    void Adopt(std::unique_ptr<Window> window);
    // Framework: window bookkeeping.
    void WindowCreated(Window& window);
    void WindowClosed(Window& window);
    void WindowDestroyed(Window& window);
    const std::vector<Window*>& Windows() const { return windows_; }
    Window* FrontWindow() const;
    // The live window of a class, or nullptr.
    template <class T>
    T* ImplicitWindow() const {
        for (Window* w : windows_) {
            if (auto* t = dynamic_cast<T*>(w))
                return t;
        }
        return nullptr;
    }

  private:
    bool BuiltInCommand(const std::string& itemName);

    fw::MenuBar* menuBar_ = nullptr;
    bool autoQuit_ = false;
    bool opened_ = false;
    bool quitting_ = false;
    bool loopRunning_ = false;
    int exitCode_ = 0;
    std::map<std::string, std::function<bool()>> menuHandlers_;
    std::vector<Window*> windows_;
    std::vector<Window*> waitingForOpen_;
    std::vector<std::unique_ptr<Window>> owned_;
    std::unique_ptr<QObject> context_;  // ends pending deferred work with the application
};

}  // namespace fw
