#include <gtest/gtest.h>

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QTimer>

#include "framework/Application.h"
#include "framework/Menus.h"
#include "framework/Window.h"
#include "support/ScriptedDialogs.h"

namespace {

class LoggingWindow : public fw::Window {
  public:
    explicit LoggingWindow(std::vector<std::string>& log) : log_(log) {}
    void Layout() override {
        fw::WindowProperties p;
        p.title = "log";
        p.width = 300;
        p.height = 200;
        p.minWidth = 250;
        p.minHeight = 150;
        SetProperties(p);
    }
    void Event_Open() override { log_.push_back("window open"); }
    void Event_Close() override { log_.push_back("window close"); }

  private:
    std::vector<std::string>& log_;
};

class LoggingApp : public fw::Application {
  public:
    void Event_Open() override { log.push_back("app open"); }
    void Event_Close() override { log.push_back("app close"); }
    std::vector<std::string> log;
};

}  // namespace

TEST(Menus, ShortcutsMeanTheCommandKeyAndItemsAreFoundByName) {
    fw::MenuBar bar;
    auto file = std::make_unique<fw::MenuItem>();
    file->Name("FileMenu");
    file->Text("&File");
    bar.Append(std::move(file));
    auto print = std::make_unique<fw::MenuItem>();
    print->Name("FilePrint");
    print->Text("Print...");
    print->KeyboardShortcut("P");
    bar.Child("FileMenu")->Append(std::move(print));
    auto separator = std::make_unique<fw::MenuItem>();
    separator->Name("UntitledSeparator");
    separator->Text("-");
    bar.Child("FileMenu")->Append(std::move(separator));
    auto quit = std::make_unique<fw::QuitMenuItem>();
    quit->Name("FileQuit");
    quit->Text("&Quit");
    quit->KeyboardShortcut("Cmd+Q");
    bar.Child("FileMenu")->Append(std::move(quit));

    EXPECT_EQ(bar.FindItem("FilePrint")->NativeAction()->shortcut(), QKeySequence("Ctrl+P"));
    EXPECT_EQ(bar.FindItem("FileQuit")->NativeAction()->shortcut(), QKeySequence("Ctrl+Q"));
    EXPECT_TRUE(bar.FindItem("FileQuit")->IsQuitItem());
    ASSERT_NE(bar.Child("FileMenu")->NativeMenu(), nullptr);
    // The menu Qt shows: a separator is a bare line, without the caption that made it one.
    const QList<QAction*> shown = bar.Child("FileMenu")->NativeMenu()->actions();
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[1], bar.FindItem("UntitledSeparator")->NativeAction());
    EXPECT_TRUE(shown[1]->isSeparator());
    EXPECT_EQ(shown[1]->text(), QString());
    EXPECT_EQ(bar.FindItem("UntitledSeparator")->Text(), "-");
    EXPECT_TRUE(bar.FindItem("UntitledSeparator")->IsSeparator());
    EXPECT_EQ(shown[0]->text(), "Print...");
    EXPECT_EQ(bar.FindItem("Nothing"), nullptr);
}

TEST(Windows, ApplicationOpensFirstAndWindowsCloseBeforeIt) {
    ScriptedDialogs dialogs;
    LoggingApp app;
    app.Register();
    auto window = std::make_unique<LoggingWindow>(app.log);
    LoggingWindow& ref = *window;
    app.Adopt(std::move(window));
    ref.Constructor();
    EXPECT_TRUE(app.log.empty()) << "a window made before the application opened waits for it";
    QTimer::singleShot(0, [&app] { app.Quit(3); });
    EXPECT_EQ(app.Run(), 3);
    EXPECT_EQ(app.log,
              (std::vector<std::string>{"app open", "window open", "window close", "app close"}));
    app.Quit(0);
    EXPECT_EQ(app.log.size(), 4u) << "a second Quit does nothing more";
}

TEST(Windows, ContentKeepsItsMinimumSize) {
    ScriptedDialogs dialogs;
    LoggingApp app;
    app.Register();
    std::vector<std::string> log;
    LoggingWindow window(log);
    window.Constructor();
    EXPECT_EQ(window.Width(), 300);
    EXPECT_EQ(window.Height(), 200);
    window.Resize(100, 100);
    EXPECT_EQ(window.Width(), 250);
    EXPECT_EQ(window.Height(), 150);
}
