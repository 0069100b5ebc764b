#pragma once
// What the window's tests share: a small recipe book to start from, clicking and typing as a
// person does, and a look at the database from outside the app.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QTest>
#include <QWidget>
#include <string>
#include <vector>

#include "Larderon.h"
#include "database/Database.h"
#include "framework/Controls.h"
#include "support/LarderonHarness.h"

namespace driving {

// Four recipes over three categories plus one category without recipes. The recipe list sorts
// them by name: Apple Pie, Bagels, Carrot Soup, Damper.
inline void SeedBook(Database& db) {
    db.SQLExecute(
        "INSERT INTO Category (CategoryId, Name) VALUES (2, 'Bread'), (3, 'Soup'), (4, 'Unused');"
        "INSERT INTO Recipe (RecipeId, Name, CategoryId, Directions) VALUES"
        " (10, 'Apple Pie', 1, 'Peel the apples.'),"
        " (11, 'Bagels', 2, 'Boil, then bake.'),"
        " (12, 'Carrot Soup', 3, 'Simmer the carrots.'),"
        " (13, 'Damper', 2, 'Bake in the coals.');");
    if (db.Error())
        throw std::runtime_error("seed failed: " + db.ErrorMessage());
}

// A statement from outside the app, which must succeed.
inline void Exec(Database& db, const std::string& sql, const std::vector<SqlValue>& params = {}) {
    db.SQLExecute(sql, params);
    EXPECT_FALSE(db.Error()) << sql << ": " << db.ErrorMessage();
}

// Replaces the field's text by typing, as a person selects all and types over it.
inline void TypeInto(fw::EditField& field, const std::string& text) {
    QWidget* w = field.NativeWidget();
    QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(w, Qt::Key_Delete);
    QTest::keyClicks(w, QString::fromStdString(text));
}

// A click on a button, as a person makes it with the mouse.
inline void Click(fw::PushButton& button) {
    QTest::mouseClick(button.NativeWidget(), Qt::LeftButton);
}

// A click on a row of a list, scrolled into view first as a person would.
inline void ClickRow(fw::Listbox& list, int row) {
    auto* view = static_cast<QAbstractItemView*>(list.NativeWidget());
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

// Clicks into a control as a person does, which gives it the focus.
inline void ClickInto(fw::Control& control) {
    QWidget* w = control.NativeWidget();
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
}

// Types as a person does: each key goes to whichever widget of the window has the focus when
// the key is pressed, so a handler that moves the focus takes the rest of the typing with it.
inline void TypeAtFocus(QWidget* window, const std::string& text) {
    for (QChar c : QString::fromStdString(text)) {
        QWidget* target = window->focusWidget();
        ASSERT_NE(target, nullptr) << "nothing in the window has the focus";
        QTest::keyClicks(target, QString(c));
    }
}

inline int RowOf(const fw::Listbox& list, const std::string& text) {
    for (int i = 0; i < list.ListCount(); ++i) {
        if (list.Cell(i, 0) == text)
            return i;
    }
    return -1;
}

inline int RowOf(const fw::PopupMenu& popup, const std::string& text) {
    for (int i = 0; i < popup.ListCount(); ++i) {
        if (popup.List(i) == text)
            return i;
    }
    return -1;
}

inline std::vector<std::string> Rows(const fw::Listbox& list) {
    std::vector<std::string> rows;
    for (int i = 0; i < list.ListCount(); ++i) rows.push_back(list.Cell(i, 0));
    return rows;
}

inline std::vector<std::string> Rows(const fw::PopupMenu& popup) {
    std::vector<std::string> rows;
    for (int i = 0; i < popup.ListCount(); ++i) rows.push_back(popup.List(i));
    return rows;
}

// Every recipe as "id|name|category|directions", in id order, to compare whole tables.
inline std::vector<std::string> RecipeRows(Database& db) {
    std::vector<std::string> rows;
    auto rs = db.SQLSelect(
        "SELECT RecipeId || '|' || Name || '|' || CategoryId || '|' || Directions AS v "
        "FROM Recipe ORDER BY RecipeId");
    if (!rs)
        throw std::runtime_error("cannot read the recipes: " + db.ErrorMessage());
    for (; !rs->Eof(); rs->MoveNext()) rows.push_back(rs->Field("v").StringValue());
    return rows;
}

// Whether the app's own connection is still inside a transaction: starting one then fails.
inline bool AppTransactionOpen(Larderon& app) {
    app.db->SQLExecute("begin transaction");
    if (app.db->Error())
        return true;
    app.db->Rollback();
    return false;
}

}  // namespace driving
