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

bool MainForm::ConfirmDelete(const std::string& ItemType) {
    fw::MessageDialogRequest dialog;
    dialog.message = "Are you sure you want to delete the selected " + ItemType + "?";
    dialog.explanation = "This action cannot be undone.";
    dialog.actionCaption = "Delete";
    dialog.cancelCaption = "Cancel";
    dialog.cancelVisible = true;
    return fw::CurrentDialogs().ShowMessageDialog(dialog) == "Delete";
}
