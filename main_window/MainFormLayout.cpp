// The main window's designed values and controls.

#include <functional>

#include "MainForm.h"
#include "framework/Application.h"
#include "menus/MainFormMenu.h"

namespace {

enum Locks : unsigned { None = 0, L = 1, T = 2, R = 4, B = 8 };

struct ControlDesign {
    const char* name;
    int page;  // 0: the window; 1 "Recipes"; 2 "Categories"
    int left, top, width, height;
    unsigned locks;
    int tabIndex;
};

fw::ControlProperties Designed(const ControlDesign& d) {
    fw::ControlProperties p;
    p.left = d.left;
    p.top = d.top;
    p.width = d.width;
    p.height = d.height;
    p.lockLeft = d.locks & L;
    p.lockTop = d.locks & T;
    p.lockRight = d.locks & R;
    p.lockBottom = d.locks & B;
    p.tabIndex = d.tabIndex;
    p.textSize = 16;
    // On screen, text takes the system's size: 16 points do not fit the designed heights of 20
    // pixels. A styled field still prints in its designed size.
    p.screenTextSize = 0;
    if (d.page > 0) {
        p.initialParent = "tpnlMain";
        p.panelIndex = d.page;
    }
    return p;
}

}  // namespace

MainForm::MainForm() = default;

void MainForm::Layout() {
    MenuBar(&::MainFormMenu());
    fw::WindowProperties p;
    p.title = "Larderon";
    p.width = 700;
    p.height = 600;
    p.minWidth = 600;
    p.minHeight = 500;
    p.maxWidth = 32000;
    p.maxHeight = 32000;
    p.placement = 2;
    p.frame = 0;
    p.resizeable = true;
    p.closeButton = p.maximizeButton = p.minimizeButton = true;
    p.visible = true;
    p.menuBarVisible = true;
    p.hasBackColor = false;
    p.backColor = 0xFFFFFF;
    SetProperties(p);
}

void MainForm::CreateControls() {
    CreateControls0();
}

void MainForm::CreateControls0() {
    // Each control: create and register, apply its designed values, and only then attach its
    // handler, so that the designed values run no handler.
    auto make = [this]<class T>(const ControlDesign& d,
                                std::function<void(fw::ControlProperties&)> values,
                                const char* event, void (MainForm::*handler)()) {
        NewControl<T>(d.name);
        fw::ControlProperties p = Designed(d);
        if (values)
            values(p);
        ControlByName<T>(d.name).SetProperties(p);
        if (event)
            ControlByName<T>(d.name).InstallEventHandler(event,
                                                         [this, handler] { (this->*handler)(); });
    };
    using Values = std::function<void(fw::ControlProperties&)>;
    auto caption = [](const char* text) -> Values {
        return [text](fw::ControlProperties& p) { p.text = text; };
    };
    // What a screen reader calls a control whose text does not say what it is for.
    auto named = [](const char* name) -> Values {
        return [name](fw::ControlProperties& p) { p.accessibleName = name; };
    };
    // A label, and the control it names.
    auto label = [](const char* text, const char* field) -> Values {
        return [text, field](fw::ControlProperties& p) {
            p.text = text;
            p.labelFor = field;
        };
    };

    make.operator()<fw::TabPanel>(
        {"tpnlMain", 0, 11, 14, 678, 566, L | T | R | B, 0},
        [](fw::ControlProperties& p) {
            p.initialValue = "Recipes\rCategories";
            p.value = 0;
        },
        nullptr, nullptr);
    make.operator()<fw::EditField>(
        {"txtDirections", 1, 20, 318, 660, 213, L | T | R | B, 0},
        [](fw::ControlProperties& p) {
            p.multiline = true;
            p.styled = true;
            p.acceptTabs = true;
            p.textSize = 0;
            p.accessibleName = "Directions";
        },
        nullptr, nullptr);
    make.operator()<fw::Listbox>(
        {"lstRecipe", 1, 20, 96, 660, 120, L | T | R, 1},
        [](fw::ControlProperties& p) {
            p.initialValue = "Recipe Name";
            p.scrollbarHorizontal = false;
            p.accessibleName = "Recipes";
        },
        "Change", &MainForm::lstRecipe_Change);
    make.operator()<fw::EditField>({"txtSearch", 1, 395, 64, 267, 22, L | T | R, 2},
                                   named("Search"), "TextChange", &MainForm::txtSearch_TextChange);
    make.operator()<fw::PopupMenu>(
        {"cboSearchOption", 1, 258, 64, 125, 20, L | T, 3},
        [](fw::ControlProperties& p) {
            p.initialValue = "Contains\rIs Exactly\rBegins With\rEnds With";
            p.listIndex = 0;
            p.accessibleDescription = "Search option";
        },
        "Change", &MainForm::cboSearchOption_Change);
    make.operator()<fw::BevelButton>(
        {"btnResetSearch", 1, 664, 64, 16, 22, T | R, 4},
        [](fw::ControlProperties& p) {
            p.text = "X";
            p.acceptFocus = false;
            p.accessibleName = "Clear search";
        },
        "Action", &MainForm::btnResetSearch_Action);
    make.operator()<fw::PopupMenu>(
        {"cboCategory", 1, 20, 64, 226, 20, None, 5},
        [](fw::ControlProperties& p) {
            p.listIndex = 0;
            p.accessibleDescription = "Category filter";
        },
        "Change", &MainForm::cboCategory_Change);
    make.operator()<fw::Listbox>(
        {"lstCategory", 2, 20, 58, 190, 508, L | T | R | B, 6},
        [](fw::ControlProperties& p) {
            p.initialValue = "Category Name";
            p.scrollbarHorizontal = true;
            p.accessibleName = "Categories";
        },
        "Change", &MainForm::lstCategory_Change);
    make.operator()<fw::PushButton>({"btnEditCategory", 2, 222, 58, 80, 20, T | R, 7},
                                    caption("Edit"), "Action", &MainForm::btnEditCategory_Action);
    make.operator()<fw::PushButton>({"btnNewCategory", 2, 314, 58, 80, 20, T | R, 8},
                                    caption("New"), "Action", &MainForm::btnNewCategory_Action);
    make.operator()<fw::PushButton>({"btnSaveCategory", 2, 600, 58, 80, 20, T | R, 9},
                                    caption("Save"), "Action", &MainForm::btnSaveCategory_Action);
    make.operator()<fw::PushButton>({"btnDeleteCategory", 2, 222, 546, 80, 20, R | B, 10},
                                    caption("Delete"), "Action",
                                    &MainForm::btnDeleteCategory_Action);
    make.operator()<fw::EditField>(
        {"txtCategoryName", 2, 222, 117, 458, 424, T | R | B, 11},
        [](fw::ControlProperties& p) {
            p.multiline = true;
            p.textSize = 0;
            p.accessibleName = "Category Name";
        },
        nullptr, nullptr);
    make.operator()<fw::StaticText>({"StaticText1", 2, 222, 90, 458, 20, T | R, 12},
                                    label("Category Name", "txtCategoryName"), nullptr, nullptr);
    make.operator()<fw::PushButton>({"btnCancelCategory", 2, 600, 546, 80, 20, R | B, 13},
                                    caption("Cancel"), "Action",
                                    &MainForm::btnCancelCategory_Action);
    make.operator()<fw::StaticText>({"StaticText2", 1, 20, 295, 984, 20, None, 14},
                                    label("Directions", "txtDirections"), nullptr, nullptr);
    make.operator()<fw::EditField>(
        {"txtRecipeName", 1, 139, 260, 212, 22, L | T | R, 15},
        [](fw::ControlProperties& p) {
            p.styled = true;
            p.accessibleName = "Recipe Name";
        },
        nullptr, nullptr);
    make.operator()<fw::PopupMenu>(
        {"cboRecipeCategory", 1, 454, 260, 226, 20, T | R, 16},
        [](fw::ControlProperties& p) { p.listIndex = 0; }, nullptr, nullptr);
    make.operator()<fw::StaticText>({"StaticText4", 1, 20, 262, 106, 20, L | T, 17},
                                    label("Recipe Name", "txtRecipeName"), nullptr, nullptr);
    make.operator()<fw::StaticText>({"StaticText5", 1, 363, 262, 79, 20, T | R, 18},
                                    label("Category", "cboRecipeCategory"), nullptr, nullptr);
    make.operator()<fw::PushButton>({"btnEditRecipe", 1, 508, 543, 80, 20, R | B, 19},
                                    caption("Edit"), "Action", &MainForm::btnEditRecipe_Action);
    make.operator()<fw::PushButton>({"btnNewRecipe", 1, 600, 228, 80, 20, T | R, 20},
                                    caption("New"), "Action", &MainForm::btnNewRecipe_Action);
    make.operator()<fw::PushButton>({"btnSaveRecipe", 1, 600, 543, 80, 20, R | B, 21},
                                    caption("Save"), "Action", &MainForm::btnSaveRecipe_Action);
    make.operator()<fw::PushButton>({"btnCancelRecipe", 1, 20, 544, 80, 20, L | B, 22},
                                    caption("Cancel"), "Action", &MainForm::btnCancelRecipe_Action);
    make.operator()<fw::PushButton>({"btnDeleteRecipe", 1, 20, 228, 80, 20, L | T, 23},
                                    caption("Delete"), "Action", &MainForm::btnDeleteRecipe_Action);
    make.operator()<fw::PushButton>({"btnPrintRecipe", 1, 303, 543, 80, 20, L | B, 24},
                                    caption("Print"), "Action", &MainForm::btnPrintRecipe_Action);
    make.operator()<fw::EditField>(
        {"txtPageNum", 1, 112, 543, 62, 21, L | B, 25},
        [](fw::ControlProperties& p) {
            p.text = "Page Num";
            p.visible = false;
            p.styled = true;
            p.textSize = 10;
        },
        nullptr, nullptr);
    make.operator()<fw::PushButton>({"btnPageSetup", 1, 180, 543, 111, 20, L | B, 26},
                                    caption("Page Setup"), "Action",
                                    &MainForm::btnPageSetup_Action);
}

fw::MenuItem* MainForm::MenuItemNamed(const std::string& name) const {
    return MenuBar() ? MenuBar()->FindItem(name) : nullptr;
}

fw::AppleMenuItem* MainForm::HelpAbout() const {
    return dynamic_cast<fw::AppleMenuItem*>(MenuItemNamed("HelpAbout"));
}

fw::QuitMenuItem* MainForm::FileQuit() const {
    return dynamic_cast<fw::QuitMenuItem*>(MenuItemNamed("FileQuit"));
}

class MainForm& MainForm() {
    fw::Application* app = fw::Application::Current();
    if (auto* existing = app ? app->ImplicitWindow<class MainForm>() : nullptr)
        return *existing;
    auto window = std::make_unique<class MainForm>();
    class MainForm& ref = *window;
    if (app) {
        app->Adopt(std::move(window));
    } else {
        throw std::logic_error("the main window needs an application object");
    }
    ref.Constructor();
    return ref;
}
