#pragma once
// What the page setup and printing tests share: paper that remembers what was printed on it, page
// setups of chosen sizes, and a recipe book with recipes of every length.

#include <gtest/gtest.h>

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QSizeF>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "MainForm.h"
#include "database/Database.h"
#include "framework/Printing.h"
#include "support/LarderonHarness.h"
#include "support/RecordingGraphics.h"

namespace printing {

using fwtest::RecordingGraphics;

// The window drops the job's surface when it is done, so the paper it prints on stays with the
// test. A run that keeps asking for new pages is cut off after `pageLimit` page breaks (the
// window swallows the exception), so that a runaway shows as too many pages instead of a hang.
class Paper : public fw::Graphics {
  public:
    Paper(std::shared_ptr<RecordingGraphics> sheet, int pageLimit, int failAtPage)
        : sheet_(std::move(sheet)), pageLimit_(pageLimit), failAtPage_(failAtPage) {}

    double Width() const override { return sheet_->Width(); }
    double Height() const override { return sheet_->Height(); }
    void NextPage() override {
        if (sheet_->PageBreaks() + 2 >= failAtPage_)
            throw std::runtime_error("the printer went away");
        if (sheet_->PageBreaks() >= pageLimit_)
            throw std::runtime_error("runaway print run");
        sheet_->NextPage();
    }
    void ClearRect(double x, double y, double width, double height) override {
        sheet_->ClearRect(x, y, width, height);
    }
    void DrawPicture(const fw::Picture& picture, double x, double y) override {
        sheet_->DrawPicture(picture, x, y);
    }
    QPaintDevice* LayoutDevice() override { return sheet_->LayoutDevice(); }
    double DeviceUnitsPerUnit() const override { return sheet_->DeviceUnitsPerUnit(); }
    void DrawTextBlock(const fw::TextBlock& block,
                       const std::function<void(QPainter&)>& paint) override {
        sheet_->DrawTextBlock(block, paint);
    }

  private:
    std::shared_ptr<RecordingGraphics> sheet_;
    int pageLimit_;
    int failAtPage_;
};

// The printable page of the job that Qt's print dialog starts from when nothing was set up: A4
// (595 x 842) less Qt's 10-point margins, under the offscreen platform the tests run on.
constexpr double kDefaultJobWidth = 575;
constexpr double kDefaultJobHeight = 822;

// One print dialog, answered with paper, and what the dialog was given. Unless the test chose the
// paper, the job prints on the page the dialog was given, as when the person changes nothing: the
// setup's printable page, or the default job's.
struct PrintRun {
    std::shared_ptr<RecordingGraphics> sheet;
    bool dialogShown = false;
    bool gotSetup = false;
    std::string setupString;  // of the setup the dialog was given
    int pageLimit = 100;
    int failAtPage = 1 << 30;  // the page whose start fails, as a printer that goes away

    std::function<std::unique_ptr<fw::Graphics>(const fw::PrinterSetup*)> Answer() {
        return [this](const fw::PrinterSetup* setup) -> std::unique_ptr<fw::Graphics> {
            dialogShown = true;
            gotSetup = setup != nullptr;
            if (setup)
                setupString = setup->SetupString();
            if (!sheet) {
                const QSizeF page = setup ? setup->PageLayout().paintRect(QPageLayout::Point).size()
                                          : QSizeF(kDefaultJobWidth, kDefaultJobHeight);
                sheet = std::make_shared<RecordingGraphics>(page.width(), page.height());
            }
            return std::make_unique<Paper>(sheet, pageLimit, failAtPage);
        };
    }
    std::vector<RecordingGraphics::Event> Blocks() const {
        return sheet ? sheet->TextBlocks() : std::vector<RecordingGraphics::Event>{};
    }
};

// Standard paper with the same margin on every side, as a printer's page setup gives it.
inline fw::PrinterSetup PaperWithMargins(
    QPageSize::PageSizeId paper, double margin,
    QPageLayout::Orientation orientation = QPageLayout::Portrait) {
    fw::PrinterSetup setup;
    setup.PageLayout() = QPageLayout(QPageSize(paper), orientation,
                                     QMarginsF(margin, margin, margin, margin), QPageLayout::Point);
    return setup;
}

// A page of the given size in points with no margins, so that Width and Height are the paper's.
inline fw::PrinterSetup PaperOf(double width, double height) {
    fw::PrinterSetup setup;
    const QPageSize size =
        width == 612 && height == 792
            ? QPageSize(QPageSize::Letter)
            : QPageSize(QSizeF(width, height), QPageSize::Point, QString(), QPageSize::ExactMatch);
    setup.PageLayout() =
        QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    return setup;
}

// "Step 001 ..." to "Step <n> ...", one short line each (none wraps at 500 points).
inline std::string StepLines(int n) {
    std::string text;
    for (int i = 1; i <= n; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "Step %03d stir and taste", i);
        text += (i > 1 ? "\n" : "") + std::string(line);
    }
    return text;
}

// Recipes sorted by name: "Bare Toast" (no directions), "Lemon Tart" (three lines),
// "Long Stew" (400 lines, rewritten by tests that need a given number of pages); and a category
// "Cakes" besides the default one, so that a category can be edited.
inline void SeedRecipes(Database& db) {
    db.SQLExecute("INSERT INTO Category (CategoryId, Name) VALUES (2, 'Cakes')");
    db.SQLExecute(
        "INSERT INTO Recipe (RecipeId, Name, CategoryId, Directions) VALUES "
        "(1, 'Bare Toast', 1, ''), "
        "(2, 'Lemon Tart', 1, ?), "
        "(3, 'Long Stew', 1, ?)",
        {SqlValue(std::string("Zest the lemons.\nMake the curd.\nBake.")),
         SqlValue(StepLines(400))});
    if (db.Error())
        throw std::runtime_error("seed failed: " + db.ErrorMessage());
}

inline int RowOf(const fw::Listbox& list, const std::string& text) {
    for (int i = 0; i < list.ListCount(); ++i) {
        if (list.Cell(i, 0) == text)
            return i;
    }
    throw std::logic_error("no row " + text);
}

inline void SelectRecipe(class MainForm& form, const std::string& name) {
    form.tpnlMain().Value(0);
    form.lstRecipe().SelectRowAsUser(RowOf(form.lstRecipe(), name));
}

// How many lines of the shown directions fit into a block of the given height at the given width,
// as the window's print would lay them out on recording paper.
inline int DirectionLinesPerBlock(class MainForm& form, double width, double height) {
    RecordingGraphics sheet;
    fw::StyledTextPrinter printer = form.txtDirections().StyledTextPrinter(sheet, width);
    printer.DrawBlock(0, 0, height);
    const auto blocks = sheet.TextBlocks();
    if (blocks.empty())
        return 0;
    return static_cast<int>(std::count(blocks[0].text.begin(), blocks[0].text.end(), '\n')) + 1;
}

// Gives "Long Stew" the directions from outside the app and shows it again.
inline void RewriteLongStew(LarderonHarness& h, const std::string& directions) {
    auto db = h.OpenDatabase();
    db->SQLExecute("UPDATE Recipe SET Directions = ? WHERE RecipeId = 3", {SqlValue(directions)});
    if (db->Error())
        throw std::runtime_error("rewrite failed: " + db->ErrorMessage());
    db->Close();
    h.Form().lstRecipe().SelectRowAsUser(-1);
    SelectRecipe(h.Form(), "Long Stew");
}

}  // namespace printing
