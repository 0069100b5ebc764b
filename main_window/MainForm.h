#pragma once
// The main window: the recipe and category lists, search, the three modes, saving and deleting,
// page setup and printing.

#include <memory>
#include <optional>
#include <string>

#include "database/RecordSet.h"

#include "framework/Controls.h"
#include "framework/Menus.h"
#include "framework/Window.h"

class MainForm : public fw::Window {
  public:
    MainForm();

    // Set-up hooks.
    void Layout() override;
    void CreateControls() override;
    void CreateControls0();
    void AddMenuHandlers(fw::Window& window) override;

    // Window events.
    void Event_Open() override;
    void Event_Close() override;
    void Event_EnableMenuItems() override;

    // Control event handlers.
    void lstRecipe_Change();
    void txtSearch_TextChange();
    void cboSearchOption_Change();
    void btnResetSearch_Action();
    void cboCategory_Change();
    void lstCategory_Change();
    void btnEditCategory_Action();
    void btnNewCategory_Action();
    void btnSaveCategory_Action();
    void btnDeleteCategory_Action();
    void btnCancelCategory_Action();
    void btnEditRecipe_Action();
    void btnNewRecipe_Action();
    void btnSaveRecipe_Action();
    void btnCancelRecipe_Action();
    void btnDeleteRecipe_Action();
    void btnPrintRecipe_Action();
    void btnPageSetup_Action();

    // Menu commands.
    bool FilePageSetup_Action();
    bool FilePrint_Action();
    bool HelpUserGuide_Action();

    // The controls, by name.
    fw::TabPanel& tpnlMain() const { return ControlByName<fw::TabPanel>("tpnlMain"); }
    fw::EditField& txtDirections() const { return ControlByName<fw::EditField>("txtDirections"); }
    fw::Listbox& lstRecipe() const { return ControlByName<fw::Listbox>("lstRecipe"); }
    fw::EditField& txtSearch() const { return ControlByName<fw::EditField>("txtSearch"); }
    fw::PopupMenu& cboSearchOption() const {
        return ControlByName<fw::PopupMenu>("cboSearchOption");
    }
    fw::BevelButton& btnResetSearch() const {
        return ControlByName<fw::BevelButton>("btnResetSearch");
    }
    fw::PopupMenu& cboCategory() const { return ControlByName<fw::PopupMenu>("cboCategory"); }
    fw::Listbox& lstCategory() const { return ControlByName<fw::Listbox>("lstCategory"); }
    fw::PushButton& btnEditCategory() const {
        return ControlByName<fw::PushButton>("btnEditCategory");
    }
    fw::PushButton& btnNewCategory() const {
        return ControlByName<fw::PushButton>("btnNewCategory");
    }
    fw::PushButton& btnSaveCategory() const {
        return ControlByName<fw::PushButton>("btnSaveCategory");
    }
    fw::PushButton& btnDeleteCategory() const {
        return ControlByName<fw::PushButton>("btnDeleteCategory");
    }
    fw::EditField& txtCategoryName() const {
        return ControlByName<fw::EditField>("txtCategoryName");
    }
    fw::StaticText& StaticText1() const { return ControlByName<fw::StaticText>("StaticText1"); }
    fw::PushButton& btnCancelCategory() const {
        return ControlByName<fw::PushButton>("btnCancelCategory");
    }
    fw::StaticText& StaticText2() const { return ControlByName<fw::StaticText>("StaticText2"); }
    fw::EditField& txtRecipeName() const { return ControlByName<fw::EditField>("txtRecipeName"); }
    fw::PopupMenu& cboRecipeCategory() const {
        return ControlByName<fw::PopupMenu>("cboRecipeCategory");
    }
    fw::StaticText& StaticText4() const { return ControlByName<fw::StaticText>("StaticText4"); }
    fw::StaticText& StaticText5() const { return ControlByName<fw::StaticText>("StaticText5"); }
    fw::PushButton& btnEditRecipe() const { return ControlByName<fw::PushButton>("btnEditRecipe"); }
    fw::PushButton& btnNewRecipe() const { return ControlByName<fw::PushButton>("btnNewRecipe"); }
    fw::PushButton& btnSaveRecipe() const { return ControlByName<fw::PushButton>("btnSaveRecipe"); }
    fw::PushButton& btnCancelRecipe() const {
        return ControlByName<fw::PushButton>("btnCancelRecipe");
    }
    fw::PushButton& btnDeleteRecipe() const {
        return ControlByName<fw::PushButton>("btnDeleteRecipe");
    }
    fw::PushButton& btnPrintRecipe() const {
        return ControlByName<fw::PushButton>("btnPrintRecipe");
    }
    fw::EditField& txtPageNum() const { return ControlByName<fw::EditField>("txtPageNum"); }
    fw::PushButton& btnPageSetup() const { return ControlByName<fw::PushButton>("btnPageSetup"); }

    // The items of the window's menu bar, by name.
    fw::MenuItem* HelpMenu() const { return MenuItemNamed("HelpMenu"); }
    fw::MenuItem* HelpUserGuide() const { return MenuItemNamed("HelpUserGuide"); }
    fw::AppleMenuItem* HelpAbout() const;
    fw::MenuItem* EditMenu() const { return MenuItemNamed("EditMenu"); }
    fw::MenuItem* EditSelectAll() const { return MenuItemNamed("EditSelectAll"); }
    fw::MenuItem* UntitledMenu0() const { return MenuItemNamed("UntitledMenu0"); }
    fw::MenuItem* EditClear() const { return MenuItemNamed("EditClear"); }
    fw::MenuItem* EditPaste() const { return MenuItemNamed("EditPaste"); }
    fw::MenuItem* EditCopy() const { return MenuItemNamed("EditCopy"); }
    fw::MenuItem* EditCut() const { return MenuItemNamed("EditCut"); }
    fw::MenuItem* FileMenu() const { return MenuItemNamed("FileMenu"); }
    fw::QuitMenuItem* FileQuit() const;
    fw::MenuItem* UntitledSeparator() const { return MenuItemNamed("UntitledSeparator"); }
    fw::MenuItem* FilePrint() const { return MenuItemNamed("FilePrint"); }
    fw::MenuItem* UntitledSeparator0() const { return MenuItemNamed("UntitledSeparator0"); }
    fw::MenuItem* FilePageSetup() const { return MenuItemNamed("FilePageSetup"); }
    fw::MenuItem* UntitledSeparator1() const { return MenuItemNamed("UntitledSeparator1"); }
    fw::MenuItem* FileRestore() const { return MenuItemNamed("FileRestore"); }
    fw::MenuItem* FileBackup() const { return MenuItemNamed("FileBackup"); }

    // Brings every list up to date with the database and returns to browse mode, dropping any
    // edit in progress (used when the data has been replaced underneath the window).
    void ReloadAll();

    // For tests: the mode and the page setup the window keeps between events.
    bool EditMode() const { return blnEditMode; }
    const std::string& PageSetupText() const { return PageSetup; }
    void PageSetupText(const std::string& text) { PageSetup = text; }

  private:
    fw::MenuItem* MenuItemNamed(const std::string& name) const;

    // Lists and search.
    // Runs a query of the window's: nullptr once a database error has been reported.
    std::unique_ptr<RecordSet> SelectOrReport(const std::string& query);
    void UpdateCategoryList();
    void UpdateCategoryComboList();
    void UpdateRecipeList();
    std::string GetSearchString();
    void LoadRecipeData();

    // Modes.
    // What browse mode does with the category filter when it finds no recipe selected. The
    // refill of the recipe list keeps it when its restored selection raises "Change": the refill
    // that the person's change of filter, search text or search option causes would otherwise
    // undo that change. Every other browse mode puts it back on "All": at opening, after "X", a
    // click in either list, a save, a delete, a cancel or a restore (those that refill the list
    // apply browse mode themselves once the refill is done).
    enum class NoRecipeSelected { kFilterToAll, kFilterKept };
    void SetButtons(bool blnRecipe, NoRecipeSelected filter = NoRecipeSelected::kFilterToAll);
    void ApplyBrowseMode(NoRecipeSelected filter);
    void ApplyRecipeEditMode();
    void ApplyCategoryEditMode();
    void PreselectDefaultCategory();
    void ClearLoadedRecipe();

    // Error report and confirmation.
    void DisplayDatabaseError(bool blnRollback);
    // After a database operation: true once its failure has been reported (and, with
    // blnRollback, the open transaction rolled back).
    bool ReportIfFailed(bool blnRollback);
    // Commits a save's transaction; false once a refused commit has been reported and rolled back.
    bool CommitOrReport();
    // Ends a save's transaction after a failure that left it open.
    void RollbackQuietly();
    bool ConfirmDelete(const std::string& ItemType);

    // Preferences and page setup.
    void LoadPreferences();
    void SavePreferences();
    void EditPageSetup();

    bool blnEditMode = false;
    std::string PageSetup;
    // What the database held when the window opened; none when it could not be read.
    std::optional<std::string> storedPageSetup_;

    // From an Edit or New of either page until browse mode: an edit or entry is under way, and
    // the refills of the recipe list that the search controls cause leave it as it stands.
    bool editUnderway_ = false;
    // While UpdateRecipeList puts its kept position back: a selection change raised then is the
    // program's, not the person's choice of another recipe.
    bool restoringRecipeSelection_ = false;

    // The record whose values the detail fields hold: a save writes to it, whatever row the
    // lists have selected by then. Empty when none is loaded.
    std::string loadedRecipeId_;
    std::string editedCategoryId_;
};

// The shared main window, made and opened on the first call.
class MainForm& MainForm();
