// Opening and closing the window, and the page setup kept in the database.

#include "Larderon.h"
#include "MainForm.h"
#include "framework/Dialogs.h"

void MainForm::Event_Open() {
    try {
        if (!App().db) {
            App().AutoQuit(true);
            return;
        }
        UpdateCategoryComboList();
        UpdateCategoryList();
        UpdateRecipeList();
        SetButtons(true);
        LoadPreferences();
    } catch (...) {
        fw::MsgBox("An error has occured");
    }
}

void MainForm::ReloadAll() {
    blnEditMode = false;
    editedCategoryId_.clear();
    UpdateCategoryComboList();
    UpdateCategoryList();
    UpdateRecipeList();
    SetButtons(true);
}

void MainForm::Event_Close() {
    if (App().db)
        SavePreferences();
    App().Quit(0);
}

void MainForm::LoadPreferences() {
    try {
        auto rs = SelectOrReport("SELECT * FROM Preferences WHERE Id = 1");
        if (!rs)
            return;
        PageSetup = rs->Field("PageSetup").StringValue();
        storedPageSetup_ = PageSetup;
        rs->Close();
    } catch (...) {
        fw::MsgBox("Unable to get Preferences!");
    }
}

void MainForm::SavePreferences() {
    // Nothing to store: a book that may only be read would refuse even an unchanged page setup,
    // at every close.
    if (storedPageSetup_ == PageSetup)
        return;
    bool begun = false;
    try {
        App().db->SQLExecute("begin transaction");
        begun = true;
        auto rs = App().db->SQLSelect("SELECT * FROM Preferences WHERE Id = 1");
        if (!rs)
            throw DatabaseException("no result");
        rs->Edit();
        if (ReportIfFailed(false)) {
            RollbackQuietly();
            return;
        }
        rs->Field("PageSetup").StringValue(PageSetup);
        rs->Update();
        if (ReportIfFailed(true))
            return;
        // Refused (another program reading the file), the transaction would stay open and the
        // quit that follows would drop the page setup without a word.
        CommitOrReport();
    } catch (...) {
        if (begun)
            RollbackQuietly();
        fw::MsgBox("Unable to save preferences.");
    }
}
