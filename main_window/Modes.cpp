// The three window modes and the handlers that move between them.

#include "MainForm.h"

void MainForm::SetButtons(bool blnRecipe, NoRecipeSelected filter) {
    if (!blnEditMode) {
        ApplyBrowseMode(filter);
    } else if (blnRecipe) {
        ApplyRecipeEditMode();
    } else {
        ApplyCategoryEditMode();
    }
}

void MainForm::ApplyBrowseMode(NoRecipeSelected filter) {
    editUnderway_ = false;
    btnNewCategory().Enabled(true);
    btnSaveCategory().Enabled(false);
    btnCancelCategory().Enabled(false);
    txtCategoryName().Enabled(false);
    lstCategory().Enabled(true);
    if (lstCategory().ListIndex() == -1) {
        txtCategoryName().Text("");
        btnDeleteCategory().Enabled(false);
        btnEditCategory().Enabled(false);
    } else {
        txtCategoryName().Text(lstCategory().Cell(lstCategory().ListIndex(), 0));
        bool isDefault = lstCategory().CellTag(lstCategory().ListIndex(), 0).Integer() == 1;
        btnDeleteCategory().Enabled(!isDefault);
        btnEditCategory().Enabled(!isDefault);
    }

    if (lstRecipe().ListIndex() != -1) {
        LoadRecipeData();
        btnDeleteRecipe().Enabled(true);
        btnEditRecipe().Enabled(true);
        btnPrintRecipe().Enabled(true);
    } else {
        txtRecipeName().Text("");
        if (filter == NoRecipeSelected::kFilterToAll)
            cboCategory().ListIndex(0);
        txtDirections().Text("");
        ClearLoadedRecipe();
        PreselectDefaultCategory();
        btnDeleteRecipe().Enabled(false);
        btnEditRecipe().Enabled(false);
        btnPrintRecipe().Enabled(false);
    }

    btnNewRecipe().Enabled(true);
    btnSaveRecipe().Enabled(false);
    btnCancelRecipe().Enabled(false);
    txtRecipeName().Enabled(false);
    cboRecipeCategory().Enabled(false);
    txtDirections().ReadOnly(true);
}

void MainForm::PreselectDefaultCategory() {
    for (int i = 0; i <= cboRecipeCategory().ListCount() - 1; ++i) {
        if (cboRecipeCategory().RowTag(i).Integer() == 1) {
            cboRecipeCategory().ListIndex(i);
            return;
        }
    }
}

void MainForm::ClearLoadedRecipe() {
    loadedRecipeId_.clear();
}

void MainForm::ApplyRecipeEditMode() {
    editUnderway_ = true;
    btnDeleteCategory().Enabled(false);
    btnNewCategory().Enabled(false);
    btnSaveCategory().Enabled(false);
    btnEditCategory().Enabled(false);
    btnCancelCategory().Enabled(false);
    txtCategoryName().Enabled(false);
    lstCategory().Enabled(false);

    btnDeleteRecipe().Enabled(false);
    btnNewRecipe().Enabled(false);
    btnSaveRecipe().Enabled(true);
    btnEditRecipe().Enabled(false);
    btnCancelRecipe().Enabled(true);
    txtRecipeName().Enabled(true);
    cboRecipeCategory().Enabled(true);
    txtDirections().ReadOnly(false);
    // Print prints what the fields show, and is usable exactly while a recipe is selected.
    btnPrintRecipe().Enabled(lstRecipe().ListIndex() != -1);
    txtRecipeName().SetFocus();
}

void MainForm::ApplyCategoryEditMode() {
    editUnderway_ = true;
    btnDeleteCategory().Enabled(false);
    btnNewCategory().Enabled(false);
    btnSaveCategory().Enabled(true);
    btnEditCategory().Enabled(false);
    btnCancelCategory().Enabled(true);
    txtCategoryName().Enabled(true);
    lstCategory().Enabled(false);
    txtCategoryName().SetFocus();

    btnDeleteRecipe().Enabled(false);
    btnNewRecipe().Enabled(false);
    btnSaveRecipe().Enabled(false);
    btnEditRecipe().Enabled(false);
    btnCancelRecipe().Enabled(false);
    txtRecipeName().Enabled(false);
    cboRecipeCategory().Enabled(false);
    txtDirections().ReadOnly(true);
    btnPrintRecipe().Enabled(lstRecipe().ListIndex() != -1);
}

void MainForm::lstRecipe_Change() {
    if (restoringRecipeSelection_) {
        // A refill moved the selection, not the person: an edit or entry in progress keeps its
        // mode, its fields and the focus (Print alone follows the selection), and browse mode
        // shows the new selection without undoing the filter that caused the refill.
        if (editUnderway_) {
            btnPrintRecipe().Enabled(lstRecipe().ListIndex() != -1);
        } else {
            SetButtons(true, NoRecipeSelected::kFilterKept);
        }
        return;
    }
    SetButtons(true);
}

void MainForm::lstCategory_Change() {
    SetButtons(false);
}

void MainForm::btnResetSearch_Action() {
    txtSearch().Text("");
    blnEditMode = false;
    SetButtons(true);
}

void MainForm::btnEditCategory_Action() {
    blnEditMode = true;
    editedCategoryId_ = lstCategory().CellTag(lstCategory().ListIndex(), 0).Text();
    SetButtons(false);
}

void MainForm::btnNewCategory_Action() {
    txtCategoryName().Text("");
    blnEditMode = true;
    SetButtons(false);
    blnEditMode = false;
    editedCategoryId_.clear();
}

void MainForm::btnCancelCategory_Action() {
    // With no row selected (New, then Cancel) there is no name to put back: browse mode empties
    // the field itself.
    if (lstCategory().ListIndex() != -1) {
        txtCategoryName().Text(lstCategory().Cell(lstCategory().ListIndex(), 0));
    }
    txtCategoryName().Enabled(false);
    blnEditMode = false;
    SetButtons(false);
}

void MainForm::btnEditRecipe_Action() {
    blnEditMode = true;
    SetButtons(true);
}

void MainForm::btnNewRecipe_Action() {
    txtRecipeName().Text("");
    txtDirections().Text("");
    blnEditMode = true;
    SetButtons(true);
    blnEditMode = false;
}

void MainForm::btnCancelRecipe_Action() {
    if (lstRecipe().ListIndex() != -1) {
        txtRecipeName().Text(lstRecipe().Cell(lstRecipe().ListIndex(), 0));
    }
    txtRecipeName().Enabled(false);
    blnEditMode = false;
    SetButtons(true);
}
