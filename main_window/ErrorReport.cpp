// The database error report and the delete confirmation.

#include "Larderon.h"
#include "MainForm.h"
#include "framework/Dialogs.h"
#include "framework/Text.h"

void MainForm::DisplayDatabaseError(bool blnRollback) {
    std::string message = "Database Error: " + fw::Str(App().db->ErrorCode()) + fw::EndOfLine() +
                          fw::EndOfLine() + App().db->ErrorMessage();
    fw::MsgBox(message);
    // Only once the person has read the report: the rollback replaces the engine's error state.
    if (blnRollback)
        App().db->Rollback();
}

bool MainForm::ReportIfFailed(bool blnRollback) {
    if (!App().db->Error())
        return false;
    DisplayDatabaseError(blnRollback);
    return true;
}

void MainForm::RollbackQuietly() {
    // The save has already failed and been reported; the rollback only ends its transaction, so
    // that the next save does not meet it still open.
    try {
        if (App().db)
            App().db->Rollback();
    } catch (...) {
    }
}

bool MainForm::CommitOrReport() {
    App().db->Commit();
    // A commit the engine refuses (another program reading the file) leaves the transaction open:
    // it is reported and rolled back, and the edit stays on screen to be saved again.
    return !ReportIfFailed(true);
}

bool MainForm::ConfirmDelete(const std::string& ItemType) {
    fw::MessageDialogRequest dialog;
    dialog.message = "Are you sure you want to delete the selected " + ItemType + "?";
    dialog.explanation = "This action cannot be undone.";
    dialog.actionCaption = "Delete";
    dialog.cancelCaption = "Cancel";
    dialog.cancelVisible = true;
    // Nothing can bring the item back: Return, like Escape, keeps it, and Delete takes a click.
    dialog.cancelDefault = true;
    return fw::CurrentDialogs().ShowMessageDialog(dialog) == "Delete";
}
