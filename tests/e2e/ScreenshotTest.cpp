// Makes the README's picture of the main window: a small recipe book with one recipe selected,
// as a newcomer sees it after a few minutes of use. The picture is written to the build tree;
// docs/main_window.png is a copy of it.

#include <gtest/gtest.h>

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <set>

#include "MainForm.h"
#include "database/Database.h"
#include "support/LarderonHarness.h"

namespace {

void SeedKitchen(Database& db) {
    db.SQLExecute(
        "INSERT INTO Category (CategoryId, Name) VALUES (2, 'Baking'), (3, 'Soups'),"
        " (4, 'Weeknight');"
        "INSERT INTO Recipe (Name, CategoryId, Directions) VALUES"
        " ('Apple Crumble', 2, 'Rub the butter into the flour and sugar.'),"
        " ('Banana Bread', 2, 'Mash three ripe bananas.'),"
        " ('French Onion Soup', 3, 'Slice four onions thinly.' || char(10) ||"
        "  'Cook them slowly in butter for 40 minutes until deep brown.' || char(10) ||"
        "  'Add a glass of white wine and a litre of beef stock; simmer for 20 minutes.' ||"
        "  char(10) || 'Ladle into bowls, top with toasted bread and grated cheese,' ||"
        "  ' and grill until bubbling.'),"
        " ('Lemon Tart', 1, 'Zest two lemons.'),"
        " ('Minestrone', 3, 'Sweat the vegetables.'),"
        " ('Sourdough Loaf', 2, 'Feed the starter the night before.'),"
        " ('Thai Green Curry', 4, 'Fry the paste in coconut cream.');");
    if (db.Error())
        throw std::runtime_error("seed failed: " + db.ErrorMessage());
}

int RowNamed(const fw::Listbox& list, const std::string& name) {
    for (int i = 0; i < list.ListCount(); ++i) {
        if (list.Cell(i, 0) == name)
            return i;
    }
    return -1;
}

}  // namespace

TEST(ReadmeScreenshot, MainWindowWithARecipeSelected) {
    LarderonHarness h({.withDatabase = true, .seed = SeedKitchen});
    h.Start();
    class MainForm& form = h.Form();
    QWidget* window = form.NativeWidget();
    window->show();

    int row = RowNamed(form.lstRecipe(), "French Onion Soup");
    ASSERT_GE(row, 0);
    form.lstRecipe().SelectRowAsUser(row);
    // The picture must show the selected recipe's details, not the empty fields of browse mode.
    ASSERT_EQ(form.txtRecipeName().Text(), "French Onion Soup");
    ASSERT_EQ(form.cboRecipeCategory().Text(), "Soups");
    ASSERT_NE(form.txtDirections().Text().find("grill until bubbling"), std::string::npos);

    QImage shot = window->grab().toImage();
    // The whole window: the designed 700x600 content under the menu bar.
    EXPECT_EQ(shot.width(), 700);
    EXPECT_GT(shot.height(), 600);
    // A window grabbed before it painted is one flat colour; text, frames and buttons give many.
    std::set<QRgb> colours;
    for (int y = 0; y < shot.height(); y += 3) {
        for (int x = 0; x < shot.width(); x += 3) colours.insert(shot.pixel(x, y));
    }
    EXPECT_GT(colours.size(), 20u);

    const QString path = QStringLiteral(LARDERON_SCREENSHOT_PATH);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    ASSERT_TRUE(shot.save(path, "PNG")) << path.toStdString();
    QImage saved(path);
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
              shot.convertToFormat(QImage::Format_RGB32))
        << "the file holds another picture than the one grabbed";
}
