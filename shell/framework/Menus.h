#pragma once
// Menu bar and menu items. Items are known by Name; commands are bound to names, not to items,
// by the application and by windows (see Application::AddMenuHandler, Window::AddMenuHandler).

#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenu;

namespace fw {

class MenuItem {
  public:
    MenuItem();
    virtual ~MenuItem();
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    const std::string& Name() const { return name_; }
    void Name(const std::string& name) { name_ = name; }
    const std::string& Text() const { return text_; }
    // "-" makes the item a separator; "&" marks the mnemonic.
    void Text(const std::string& text);
    const std::string& KeyboardShortcut() const { return shortcut_; }
    // "Cmd+Q" and a lone letter "P" both mean the platform's command key with that letter.
    void KeyboardShortcut(const std::string& shortcut);
    bool AutoEnable() const { return autoEnable_; }
    void AutoEnable(bool value) { autoEnable_ = value; }

    bool Enabled() const;
    void Enabled(bool value);
    void Enable() { Enabled(true); }

    // Adds an item as the last child; the item becomes a menu when it first gets a child.
    void Append(std::unique_ptr<MenuItem> item);
    // The direct child of that name, or nullptr.
    MenuItem* Child(const std::string& name) const;
    // Any item of that name in this item's tree (this item included), or nullptr.
    MenuItem* FindItem(const std::string& name);
    std::size_t Count() const { return children_.size(); }
    MenuItem* Item(std::size_t index) const { return children_.at(index).get(); }
    MenuItem* Parent() const { return parent_; }

    bool IsSeparator() const { return text_ == "-"; }
    virtual bool IsQuitItem() const { return false; }

    // Native objects, for the framework and tests.
    QAction* NativeAction() const;
    QMenu* NativeMenu() const { return menu_; }

  private:
    void ApplyText();

    std::string name_;
    std::string text_;
    std::string shortcut_;
    bool autoEnable_ = true;
    MenuItem* parent_ = nullptr;
    std::vector<std::unique_ptr<MenuItem>> children_;
    QAction* action_ = nullptr;  // owned here
    QMenu* menu_ = nullptr;      // owned here once the item has children
};

// Choosing it quits the application unless a handler of its name says otherwise.
class QuitMenuItem : public MenuItem {
  public:
    bool IsQuitItem() const override { return true; }
};

// The item that names the application (About); shown in the menu where it is appended.
class AppleMenuItem : public MenuItem {};

class MenuBar : public MenuItem {};

}  // namespace fw
