#include "menus/MainFormMenu.h"

#include <memory>

namespace {

std::unique_ptr<class MainFormMenu> shared;

// A separator leaves its shortcut at the default.
constexpr const char* kNotSet = nullptr;

template <class Item = fw::MenuItem>
void AddItem(fw::MenuItem& menu, const char* name, bool autoEnable, const char* text,
             const char* shortcut) {
    auto item = std::make_unique<Item>();
    item->Name(name);
    item->AutoEnable(autoEnable);
    item->Text(text);
    if (shortcut)
        item->KeyboardShortcut(shortcut);
    menu.Append(std::move(item));
}

}  // namespace

MainFormMenu::MainFormMenu() {
    Untitled0();
    Untitled1();
    Untitled2();
}

void MainFormMenu::Untitled0() {
    AddItem(*this, "FileMenu", true, "&File", "");
    fw::MenuItem& file = *Child("FileMenu");
    AddItem(file, "FileBackup", true, "Backup...", "");
    AddItem(file, "FileRestore", true, "Restore...", "");
    AddItem(file, "UntitledSeparator1", true, "-", kNotSet);
    AddItem(file, "FilePageSetup", false, "Page Setup...", "");
    AddItem(file, "UntitledSeparator0", true, "-", kNotSet);
    AddItem(file, "FilePrint", false, "Print...", "P");
    AddItem(file, "UntitledSeparator", true, "-", kNotSet);
    AddItem<fw::QuitMenuItem>(file, "FileQuit", true, "&Quit", "Cmd+Q");
}

void MainFormMenu::Untitled1() {
    AddItem(*this, "EditMenu", true, "&Edit", "");
    fw::MenuItem& edit = *Child("EditMenu");
    AddItem(edit, "EditCut", true, "Cu&t", "Cmd+X");
    AddItem(edit, "EditCopy", true, "&Copy", "Cmd+C");
    AddItem(edit, "EditPaste", true, "&Paste", "Cmd+V");
    AddItem(edit, "EditClear", true, "&Delete", "");
    AddItem(edit, "UntitledMenu0", true, "-", kNotSet);
    AddItem(edit, "EditSelectAll", true, "Select &All", "Cmd+A");
}

void MainFormMenu::Untitled2() {
    AddItem(*this, "HelpMenu", true, "Help", "");
    fw::MenuItem& help = *Child("HelpMenu");
    AddItem<fw::AppleMenuItem>(help, "HelpAbout", true, "About...", "");
    AddItem(help, "HelpUserGuide", true, "User Guide", "");
}

class MainFormMenu& MainFormMenu() {
    if (!shared)
        shared = std::make_unique<class MainFormMenu>();
    return *shared;
}

void ReleaseMainFormMenu() {
    shared.reset();
}
