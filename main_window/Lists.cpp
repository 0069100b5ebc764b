// The category and recipe lists, the search, and loading the selected recipe.

#include "Larderon.h"
#include "MainForm.h"
#include "framework/Dialogs.h"
#include "framework/Text.h"

namespace {

// Ids go into statements as the decimal text of their number, so that a tag can never carry
// anything else into a statement.
std::string IdText(const fw::Tag& tag) {
    return fw::Str(tag.Integer());
}

// Sets a flag for as long as it lives, and puts back what the flag held before, however the
// stretch of work it marks ends.
class FlagRaised {
  public:
    explicit FlagRaised(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
    ~FlagRaised() { flag_ = before_; }
    FlagRaised(const FlagRaised&) = delete;
    FlagRaised& operator=(const FlagRaised&) = delete;

  private:
    bool& flag_;
    bool before_;
};

}  // namespace

std::unique_ptr<RecordSet> MainForm::SelectOrReport(const std::string& query) {
    auto rs = App().db->SQLSelect(query);
    if (App().db->Error()) {
        DisplayDatabaseError(false);
        return nullptr;
    }
    // No result without an error is a failure of the caller's work, for its guard to report.
    if (!rs)
        throw DatabaseException("the query gave no result");
    return rs;
}

void MainForm::UpdateCategoryList() {
    try {
        fw::Listbox& list = lstCategory();
        list.DeleteAllRows();
        auto rs = SelectOrReport("SELECT * FROM Category ORDER BY Name");
        if (!rs)
            return;
        while (!rs->Eof()) {
            list.AddRow(rs->Field("Name").StringValue());
            list.CellTag(list.LastIndex(), 0, rs->Field("CategoryId").StringValue());
            rs->MoveNext();
        }
        rs->Close();
    } catch (...) {
        fw::MsgBox("Unable to update Category list.");
    }
}

void MainForm::UpdateCategoryComboList() {
    try {
        cboCategory().DeleteAllRows();
        cboRecipeCategory().DeleteAllRows();
        auto rs = SelectOrReport("SELECT * FROM Category " + std::string() + " ORDER BY Name");
        if (!rs)
            return;
        cboCategory().AddRow("All");
        cboCategory().ListIndex(0);
        while (!rs->Eof()) {
            std::string id = rs->Field("CategoryId").StringValue();
            cboCategory().AddRow(rs->Field("Name").StringValue());
            cboRecipeCategory().AddRow(rs->Field("Name").StringValue());
            cboCategory().RowTag(cboCategory().ListCount() - 1, id);
            cboRecipeCategory().RowTag(cboRecipeCategory().ListCount() - 1, id);
            if (id == "1")
                cboRecipeCategory().ListIndex(cboRecipeCategory().ListCount() - 1);
            rs->MoveNext();
        }
        rs->Close();
    } catch (...) {
        fw::MsgBox("Unable to update Category Combo list.");
    }
}

void MainForm::UpdateRecipeList() {
    std::string query = GetSearchString();
    fw::Listbox& list = lstRecipe();
    int position = list.ListIndex();
    try {
        list.DeleteAllRows();
        auto rs = SelectOrReport(query);
        if (!rs)
            return;
        while (!rs->Eof()) {
            list.AddRow(rs->Field("Name").StringValue());
            list.CellTag(list.LastIndex(), 0, rs->Field("RecipeId").StringValue());
            rs->MoveNext();
        }
        rs->Close();
        FlagRaised restoring(restoringRecipeSelection_);
        list.ListIndex(position);
    } catch (...) {
        fw::MsgBox("Unable to refresh Recipe list!");
    }
}

std::string MainForm::GetSearchString() {
    std::string query = "SELECT * FROM Recipe ";
    fw::PopupMenu& filter = cboCategory();
    // No row selected (only while the filter is refilled, or after it failed) counts as "All".
    fw::Tag filterTag = filter.ListIndex() >= 0 ? filter.RowTag(filter.ListIndex()) : fw::Tag();
    std::string text = txtSearch().Text();
    if (filterTag.Integer() > 0) {
        query += " WHERE CategoryId = " + IdText(filterTag);
        if (!text.empty())
            query += " AND ";
    }
    if (!text.empty()) {
        if (filterTag.Integer() <= 0)
            query += " WHERE ";
        // The search text stays inside its quotes: every quote in it is doubled.
        std::string t = SqlQuote(text);
        switch (cboSearchOption().ListIndex()) {
            case 1:
                query += "Name LIKE '" + t + "'";
                break;
            case 2:
                query += "Name LIKE '" + t + "%'";
                break;
            case 3:
                query += "Name LIKE '%" + t + "'";
                break;
            default:
                query += "Name LIKE '%" + t + "%'";
                break;
        }
    }
    query += " ORDER BY Name";
    return query;
}

void MainForm::LoadRecipeData() {
    std::string id = IdText(lstRecipe().CellTag(lstRecipe().ListIndex(), 0));
    std::string query = "SELECT * FROM Recipe WHERE RecipeId = " + id;
    try {
        auto rs = SelectOrReport(query);
        if (!rs)
            return;
        txtRecipeName().Text(rs->Field("Name").StringValue());
        std::string categoryId = rs->Field("CategoryId").StringValue();
        for (int i = 0; i <= cboRecipeCategory().ListCount() - 1; ++i) {
            if (cboRecipeCategory().RowTag(i).Text() == categoryId) {
                cboRecipeCategory().ListIndex(i);
                break;
            }
        }
        txtDirections().Text(rs->Field("Directions").StringValue());
        loadedRecipeId_ = id;
        rs->Close();
    } catch (...) {
        fw::MsgBox("Unable to get Recipe!");
    }
}

void MainForm::txtSearch_TextChange() {
    UpdateRecipeList();
}

void MainForm::cboSearchOption_Change() {
    UpdateRecipeList();
}

void MainForm::cboCategory_Change() {
    UpdateRecipeList();
}
