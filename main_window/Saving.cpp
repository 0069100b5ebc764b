// Saving and deleting recipes and categories.

#include "Larderon.h"
#include "MainForm.h"
#include "framework/Dialogs.h"
#include "framework/Text.h"

void MainForm::btnSaveCategory_Action() {
    bool begun = false;
    try {
        App().db->SQLExecute("begin transaction");
        begun = true;
        if (!blnEditMode) {
            DatabaseRecord record;
            record.Column("Name", txtCategoryName().Text());
            App().db->InsertRecord("Category", record);
            if (ReportIfFailed(true))
                return;
        } else {
            // The category being edited is the one that was selected when Edit was pressed.
            std::string id = editedCategoryId_.empty()
                                 ? lstCategory().CellTag(lstCategory().ListIndex(), 0).Text()
                                 : editedCategoryId_;
            auto rs = App().db->SQLSelect("SELECT * FROM Category WHERE CategoryId = '" +
                                          SqlQuote(id) + "'");
            if (!rs)
                throw DatabaseException("no result");
            rs->Edit();
            if (ReportIfFailed(false)) {
                RollbackQuietly();
                return;
            }
            rs->Field("Name").StringValue(txtCategoryName().Text());
            rs->Update();
            if (ReportIfFailed(true))
                return;
        }
        if (!CommitOrReport())
            return;
        begun = false;
        UpdateCategoryList();
        UpdateCategoryComboList();
        blnEditMode = false;
        editedCategoryId_.clear();
        SetButtons(false);
    } catch (...) {
        if (begun)
            RollbackQuietly();
        fw::MsgBox("Unable to save Category.");
    }
}

void MainForm::btnSaveRecipe_Action() {
    bool begun = false;
    try {
        App().db->SQLExecute("begin transaction");
        begun = true;
        // Recipe edit mode whose fields hold a loaded recipe writes to that recipe, even when
        // the list's selection has moved since; with nothing loaded there is nothing to change,
        // and the typed recipe is added as a new one.
        if (blnEditMode && !loadedRecipeId_.empty()) {
            auto rs = App().db->SQLSelect("SELECT * FROM Recipe WHERE RecipeId = '" +
                                          SqlQuote(loadedRecipeId_) + "'");
            if (!rs)
                throw DatabaseException("no result");
            rs->Edit();
            if (ReportIfFailed(false)) {
                RollbackQuietly();
                return;
            }
            rs->Field("Name").StringValue(txtRecipeName().Text());
            rs->Field("CategoryId")
                .IntegerValue(
                    cboRecipeCategory().RowTag(cboRecipeCategory().ListIndex()).Integer());
            rs->Field("Directions").StringValue(txtDirections().Text());
            rs->Update();
            if (ReportIfFailed(true))
                return;
        } else {
            DatabaseRecord record;
            record.Column("Name", txtRecipeName().Text());
            record.IntegerColumn(
                "CategoryId",
                cboRecipeCategory().RowTag(cboRecipeCategory().ListIndex()).Integer());
            record.Column("Directions", txtDirections().Text());
            App().db->InsertRecord("Recipe", record);
            if (ReportIfFailed(true))
                return;
        }
        if (!CommitOrReport())
            return;
        begun = false;
        UpdateRecipeList();
        blnEditMode = false;
        SetButtons(true);
    } catch (...) {
        if (begun)
            RollbackQuietly();
        fw::MsgBox("Unable to save Recipe.");
    }
}

void MainForm::btnDeleteCategory_Action() {
    std::int64_t id = lstCategory().CellTag(lstCategory().ListIndex(), 0).Integer();
    if (!ConfirmDelete("category"))
        return;
    // Moving the recipes and deleting their category are one change: were the delete refused
    // after the move (another program taking the file between them), the recipes would sit in
    // the default category with nothing to tell where they came from.
    App().db->SQLExecute("begin transaction");
    try {
        App().db->SQLExecute("UPDATE Recipe SET CategoryId = 1 WHERE CategoryId = " + fw::Str(id));
        if (ReportIfFailed(true))
            return;
        App().db->SQLExecute("DELETE FROM Category WHERE CategoryId = " + fw::Str(id));
        if (ReportIfFailed(true))
            return;
        if (!CommitOrReport())
            return;
    } catch (...) {
        RollbackQuietly();
        throw;
    }
    UpdateCategoryList();
    UpdateCategoryComboList();
    blnEditMode = false;
    SetButtons(false);
}

void MainForm::btnDeleteRecipe_Action() {
    // After a refill that failed, the list is empty while the buttons still stand as they were:
    // with no row there is nothing to delete.
    if (lstRecipe().ListIndex() == -1)
        return;
    std::string statement = "DELETE FROM Recipe WHERE RecipeId = '" +
                            fw::Str(lstRecipe().CellTag(lstRecipe().ListIndex(), 0).Integer()) +
                            "'";
    if (!ConfirmDelete("recipe"))
        return;
    App().db->SQLExecute(statement);
    if (ReportIfFailed(false))
        return;
    UpdateRecipeList();
    blnEditMode = false;
    SetButtons(true);
}
