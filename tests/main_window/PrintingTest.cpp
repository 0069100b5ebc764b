// Printing the shown recipe: where each block lands on each page, what the print dialog is
// given, and a real print into a PDF file.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFont>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSizeF>
#include <QStandardPaths>
#include <QTest>
#include <QTextDocument>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "Larderon.h"
#include "MainForm.h"
#include "PrintingHelpers.h"
#include "framework/PrintDialogsQt.h"
#include "support/LarderonHarness.h"
#include "support/PopplerTool.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace {

using namespace printing;

struct Area {
    int width, height;
};

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// A text block as "<what> at x,y height h"; directions blocks are named, not quoted, so that a
// page's shape can be compared whatever lines it holds.
std::string Describe(const RecordingGraphics::Event& e, const std::string& name) {
    if (e.kind == RecordingGraphics::Kind::NextPage)
        return "next page";
    if (e.kind != RecordingGraphics::Kind::TextBlock)
        return "something else";
    const std::string what = e.text == name               ? "name"
                             : e.text.rfind("- ", 0) == 0 ? "'" + e.text + "'"
                                                          : "directions";
    return what + " at " + Number(e.x) + "," + Number(e.y) + " height " + Number(e.height);
}

std::vector<std::string> Printed(const RecordingGraphics& sheet, const std::string& name) {
    std::vector<std::string> out;
    for (const auto& e : sheet.Events()) out.push_back(Describe(e, name));
    return out;
}

// What a run of `pages` pages must look like for an area; page 1 carries the name twice when
// there are directions to print.
std::vector<std::string> Expected(Area a, int pages, bool withDirections) {
    const std::string nameBlock = "name at 0,0 height " + std::to_string(a.height);
    std::vector<std::string> out{nameBlock};
    for (int page = 1; page <= pages; ++page) {
        if (withDirections) {
            out.push_back(nameBlock);
            out.push_back("directions at 0,30 height " + std::to_string(a.height - 30));
        }
        const std::string number = "- " + std::to_string(page) + " -";
        out.push_back("'" + number + "' at " +
                      std::to_string(a.width - static_cast<int>(number.size())) + "," +
                      std::to_string(a.height + 10) + " height " + std::to_string(a.height));
        if (page < pages)
            out.push_back("next page");
    }
    return out;
}

// The directions blocks' lines, joined, as they came out of the printer.
std::string PrintedDirections(const PrintRun& run, const std::string& name) {
    std::string text;
    for (const auto& block : run.Blocks()) {
        if (block.text != name && block.text.rfind("- ", 0) != 0)
            text += (text.empty() ? "" : "\n") + block.text;
    }
    return text;
}

// The shown directions laid out on recording paper into one block of the given size.
std::string ReferenceBlock(class MainForm& form, double width, double height) {
    RecordingGraphics sheet;
    fw::StyledTextPrinter printer = form.txtDirections().StyledTextPrinter(sheet, width);
    printer.DrawBlock(0, 0, height);
    return sheet.TextBlocks().at(0).text;
}

class RecipePrinting : public ::testing::Test {
  protected:
    void SetUp() override {
        h_.Start();
        h_.Dialogs().ClearLog();
    }
    // Printing never speaks: a failure that escaped the handler would show the framework's
    // message.
    void TearDown() override { EXPECT_EQ(h_.Dialogs().Messages(), std::vector<std::string>{}); }

    class MainForm& Form() {
        return h_.Form();
    }
    // Presses Print with the dialog answered by `run`.
    void Print(PrintRun& run) {
        h_.Dialogs().ExpectPrint(run.Answer());
        Form().btnPrintRecipe().Push();
        ASSERT_TRUE(run.dialogShown) << "Print did not open the print dialog";
    }
    // Gives "Long Stew" enough lines for the given number of pages of the area: half a page on
    // the last, or a single line.
    int FillPages(Area a, int pages, bool oneLineOnTheLast = false) {
        SelectRecipe(Form(), "Long Stew");
        const int perPage = DirectionLinesPerBlock(Form(), a.width, a.height - 30);
        EXPECT_GT(perPage, 10);
        const int lines = (pages - 1) * perPage + (oneLineOnTheLast ? 1 : perPage / 2);
        RewriteLongStew(h_, StepLines(lines));
        return lines;
    }

    LarderonHarness h_{LarderonHarness::Options{true, SeedRecipes}};
};

// The size a text takes printed whole in the system's font at the given size, laid out as on
// recording paper.
QSizeF PrintedSize(int points, const char* text) {
    RecordingGraphics reference;
    auto document = std::make_unique<QTextDocument>();
    QFont font = QApplication::font();
    font.setPointSize(points);
    document->setDefaultFont(font);
    document->setPlainText(QString::fromUtf8(text));
    fw::StyledTextPrinter(reference, std::move(document), 540).DrawBlock(0, 0, 720);
    const QFontMetricsF metrics(font, reference.LayoutDevice());
    return {metrics.horizontalAdvance(QString::fromUtf8(text)),
            reference.TextBlocks().at(0).usedHeight};
}

TEST_F(RecipePrinting, WithoutPageSetupTheAreaIs540By720) {
    SelectRecipe(Form(), "Lemon Tart");
    PrintRun run;
    Print(run);
    EXPECT_FALSE(run.gotSetup) << "no page setup chosen: the dialog starts from its own";
    EXPECT_EQ(run.sheet->Width(), kDefaultJobWidth) << "printed on the default job's page";
    EXPECT_EQ(Printed(*run.sheet, "Lemon Tart"), Expected({540, 720}, 1, true));
    EXPECT_EQ(Printed(*run.sheet, "Lemon Tart").back(), "'- 1 -' at 535,730 height 720");
    EXPECT_EQ(PrintedDirections(run, "Lemon Tart"), "Zest the lemons.\nMake the curd.\nBake.");
    EXPECT_EQ(Form().txtPageNum().Text(), "- 1 -");

    // The name takes its field's designed 16-point style and the page number the invisible
    // field's 10-point one, not the size the window shows its text in.
    ASSERT_NE(Form().txtRecipeName().NativeWidget()->font().pointSize(), 16);
    EXPECT_DOUBLE_EQ(run.Blocks().front().usedHeight, PrintedSize(16, "Lemon Tart").height());
    EXPECT_DOUBLE_EQ(run.Blocks().back().usedHeight, PrintedSize(10, "- 1 -").height());
}

TEST_F(RecipePrinting, AreaShrinksOnlyWhereTheJobsPrintablePageCannotHoldIt) {
    // The page the job prints on, as the print dialog left it, and the area printed on it: the
    // stored setup's (or the designed 540 x 720) wherever that page holds it and, 10 points below
    // and a unit per character left of its lower right corner, the last page's number ("- 2 -",
    // or "- 10 -" over ten pages); a side too short for that is cut down to the page less the
    // half inch.
    const std::string letter = PaperOf(612, 792).SetupString();
    const std::string quarterInch = PaperWithMargins(QPageSize::Letter, 18).SetupString();
    const QSizeF two = PrintedSize(10, "- 2 -");
    const double holdsWidth = 535 + two.width(), holdsHeight = 730 + two.height();
    const double holdsTen = 534 + PrintedSize(10, "- 10 -").width();
    // Pages that hold the area and the number with no room to spare lie between those below.
    ASSERT_GT(holdsWidth, 540);
    ASSERT_LT(holdsWidth, 559);
    ASSERT_GT(holdsHeight, 730);
    ASSERT_LT(holdsHeight, 806);
    ASSERT_GT(holdsTen - 0.5, holdsWidth) << "a page that holds '- 2 -' but not '- 10 -'";
    const int shortOfWidth = static_cast<int>(holdsWidth - 0.5) - 36;
    const int shortOfHeight = static_cast<int>(holdsHeight - 0.5) - 36;
    const int shortOfTen = static_cast<int>(holdsTen - 0.5) - 36;
    const struct {
        const char* what;
        std::string setup;
        double sheetWidth, sheetHeight;
        Area area;
        int pages = 2;
        // The last page holds one line: at the designed height the run is a page shorter.
        bool oneLineOnTheLast = false;
    } cases[] = {
        {"no setup, Qt's default job", "", kDefaultJobWidth, kDefaultJobHeight, {540, 720}},
        {"no setup, A4 less a quarter inch", "", 559, 806, {540, 720}},
        {"no setup, just room for the number", "", holdsWidth, holdsHeight, {540, 720}},
        {"no setup, half a point narrower", "", holdsWidth - 0.5, 800, {shortOfWidth, 720}},
        {"no setup, half a point lower", "", 570, holdsHeight - 0.5, {540, shortOfHeight}},
        {"no setup, Letter less half an inch", "", 540, 720, {504, 684}},
        {"no setup, landscape Letter", "", 792, 612, {540, 576}},
        {"Letter less a quarter inch as set up", quarterInch, 576, 756, {540, 720}},
        {"Letter less a quarter inch turned", quarterInch, 756, 576, {540, 540}},
        {"Letter on Letter", letter, 612, 792, {576, 756}},
        {"Letter turned to landscape", letter, 792, 612, {576, 576}},
        {"Letter on A5", letter, 420, 595, {384, 559}},
        {"ten pages, just room for '- 10 -'", "", holdsTen, 800, {540, 720}, 10},
        {"ten pages, room for '- 9 -' only", "", holdsTen - 0.5, 800, {shortOfTen, 720}, 10},
        {"nine pages there", "", holdsTen - 0.5, 800, {540, 720}, 9},
        {"a lower page needs a tenth page", "", holdsTen - 0.5, holdsHeight - 0.5,
         {shortOfTen, shortOfHeight}, 10, true},
        {"a lower page with nine", "", holdsTen - 0.5, holdsHeight - 0.5, {540, shortOfHeight}, 9,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Form().PageSetupText(c.setup);
        const int lines = FillPages(c.area, c.pages, c.oneLineOnTheLast);
        if (c.oneLineOnTheLast) {
            ASSERT_LE(lines, (c.pages - 1) * DirectionLinesPerBlock(Form(), 540, 690))
                << "the designed height holds the run in a page less";
        }
        PrintRun run;
        run.sheet = std::make_shared<RecordingGraphics>(c.sheetWidth, c.sheetHeight);
        Print(run);
        EXPECT_EQ(Printed(*run.sheet, "Long Stew"), Expected(c.area, c.pages, true));
        EXPECT_EQ(PrintedDirections(run, "Long Stew"), StepLines(lines));
        EXPECT_EQ(Form().txtPageNum().Text(), "- " + std::to_string(c.pages) + " -")
            << "the field shows the last number printed";
    }
}

TEST_F(RecipePrinting, DirectionsWrapAtTheAreaWidth) {
    // One paragraph long enough to wrap many times: where it breaks shows the width used.
    std::string paragraph;
    for (int i = 0; i < 150; ++i) paragraph += "word" + std::to_string(i) + " ";
    SelectRecipe(Form(), "Long Stew");
    RewriteLongStew(h_, paragraph);
    const std::string at540 = ReferenceBlock(Form(), 540, 690);
    const std::string at576 = ReferenceBlock(Form(), 576, 726);
    ASSERT_NE(at540.substr(0, at540.find('\n')), at576.substr(0, at576.find('\n')))
        << "the paragraph must break differently at the two widths";

    PrintRun plain;
    Print(plain);
    ASSERT_GE(plain.Blocks().size(), 3u);
    EXPECT_EQ(plain.Blocks()[2].text, at540);

    Form().PageSetupText(PaperOf(612, 792).SetupString());
    PrintRun letter;
    Print(letter);
    ASSERT_GE(letter.Blocks().size(), 3u);
    EXPECT_EQ(letter.Blocks()[2].text, at576);
}

TEST_F(RecipePrinting, LetterPageSetupGivesAnAreaHalfAnInchSmaller) {
    const fw::PrinterSetup letter = PaperOf(612, 792);
    ASSERT_EQ(letter.Width(), 612);
    ASSERT_EQ(letter.Height(), 792);
    Form().PageSetupText(letter.SetupString());
    SelectRecipe(Form(), "Lemon Tart");

    PrintRun run;
    Print(run);
    EXPECT_TRUE(run.gotSetup);
    EXPECT_EQ(run.setupString, letter.SetupString());
    EXPECT_EQ(Printed(*run.sheet, "Lemon Tart"), Expected({576, 756}, 1, true));
    EXPECT_EQ(Form().PageSetupText(), letter.SetupString()) << "printing never changes it";
}

TEST_F(RecipePrinting, EmptyDirectionsPrintOnePageWithNameAndNumber) {
    SelectRecipe(Form(), "Bare Toast");
    ASSERT_EQ(Form().txtDirections().Text(), "");
    PrintRun run;
    Print(run);
    EXPECT_EQ(Printed(*run.sheet, "Bare Toast"), Expected({540, 720}, 1, false));
}

TEST_F(RecipePrinting, LongDirectionsGoOnOverPagesEachWithNameAndNumber) {
    const int lines = FillPages({540, 720}, 3);
    PrintRun run;
    Print(run);
    EXPECT_EQ(run.sheet->PageBreaks(), 2);
    EXPECT_EQ(Printed(*run.sheet, "Long Stew"), Expected({540, 720}, 3, true));
    // Each line once, in order, across the pages.
    EXPECT_EQ(PrintedDirections(run, "Long Stew"), StepLines(lines));
    EXPECT_EQ(Form().txtPageNum().Text(), "- 3 -") << "the field keeps the last number";
}

TEST_F(RecipePrinting, TenPagesMoveTheNumberOneUnitLeft) {
    Form().PageSetupText(PaperOf(612, 792).SetupString());
    const int lines = FillPages({576, 756}, 10);
    PrintRun run;
    Print(run);
    EXPECT_EQ(run.sheet->PageBreaks(), 9);
    const auto printed = Printed(*run.sheet, "Long Stew");
    EXPECT_EQ(printed, Expected({576, 756}, 10, true));
    EXPECT_EQ(printed.back(), "'- 10 -' at 570,766 height 756");
    EXPECT_EQ(PrintedDirections(run, "Long Stew"), StepLines(lines));
}

TEST_F(RecipePrinting, CancelledDialogPrintsNothing) {
    SelectRecipe(Form(), "Lemon Tart");
    h_.Dialogs().ExpectPrint([](const fw::PrinterSetup*) { return nullptr; });
    Form().btnPrintRecipe().Push();
    EXPECT_EQ(h_.Dialogs().Log(), std::vector<std::string>{"print"});
    EXPECT_EQ(Form().txtPageNum().Text(), "Page Num") << "no page was numbered";
}

TEST_F(RecipePrinting, PrintsTheUnsavedTextsWhileEditing) {
    SelectRecipe(Form(), "Lemon Tart");
    Form().btnEditRecipe().Push();
    ASSERT_TRUE(Form().EditMode());
    QWidget* name = Form().txtRecipeName().NativeWidget();
    QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(name, "Lime Tart");
    QWidget* directions = Form().txtDirections().NativeWidget();
    QTest::keyClick(directions, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(directions, " Chill.");
    ASSERT_TRUE(Form().btnPrintRecipe().Enabled());

    PrintRun run;
    Print(run);
    EXPECT_EQ(Printed(*run.sheet, "Lime Tart"), Expected({540, 720}, 1, true));
    EXPECT_EQ(PrintedDirections(run, "Lime Tart"),
              "Zest the lemons.\nMake the curd.\nBake. Chill.");
    EXPECT_TRUE(Form().EditMode()) << "printing leaves the edit as it was";
    EXPECT_EQ(Form().txtRecipeName().Text(), "Lime Tart");
    EXPECT_EQ(QueryText(*h_.OpenDatabase(), "SELECT Name AS v FROM Recipe WHERE RecipeId = 2"),
              "Lemon Tart");
}

TEST_F(RecipePrinting, PrinterFailureEndsTheRunSilently) {
    FillPages({540, 720}, 3);
    PrintRun run;
    run.failAtPage = 2;
    Print(run);
    // Page 1 is whole; nothing follows the failed page break and nobody is told.
    const auto pageOne = Expected({540, 720}, 1, true);
    EXPECT_EQ(Printed(*run.sheet, "Long Stew"), pageOne);
    EXPECT_EQ(h_.Dialogs().Log(), std::vector<std::string>{"print"});
}

TEST_F(RecipePrinting, PageTooShortForALineOfDirectionsEndsTheRun) {
    SelectRecipe(Form(), "Long Stew");
    // Heights whose directions block is shorter than a line, empty, or negative.
    for (int height : {72, 66, 50}) {
        SCOPED_TRACE(height);
        const fw::PrinterSetup paper = PaperOf(612, height);
        ASSERT_EQ(paper.Height(), height);
        Form().PageSetupText(paper.SetupString());
        PrintRun run;
        Print(run);
        EXPECT_EQ(run.setupString, paper.SetupString());
        EXPECT_EQ(run.sheet->PageBreaks(), 0) << "the run must end, not turn pages";
        EXPECT_EQ(PrintedDirections(run, "Long Stew"), "");
        ASSERT_FALSE(run.Blocks().empty());
        const auto number = run.Blocks().back();  // a copy: Blocks() is a temporary
        EXPECT_EQ(number.text, "- 1 -");
        EXPECT_EQ(Describe(number, "Long Stew"), "'- 1 -' at 571," + std::to_string(height - 26) +
                                                     " height " + std::to_string(height - 36));
    }
}

TEST_F(RecipePrinting, PrintMenuPrintsLikeTheButtonOnlyWithARecipeShown) {
    // Nothing selected: the command is taken and nothing is printed (an unexpected print dialog
    // would fail the test).
    EXPECT_TRUE(h_.App().DoMenuCommand("FilePrint"));
    EXPECT_TRUE(h_.Dialogs().Log().empty());

    SelectRecipe(Form(), "Lemon Tart");
    PrintRun byButton, byMenu;
    Print(byButton);
    h_.Dialogs().ExpectPrint(byMenu.Answer());
    EXPECT_TRUE(h_.App().DoMenuCommand("FilePrint"));
    ASSERT_TRUE(byMenu.dialogShown);
    EXPECT_EQ(Printed(*byMenu.sheet, "Lemon Tart"), Printed(*byButton.sheet, "Lemon Tart"));
    EXPECT_EQ(PrintedDirections(byMenu, "Lemon Tart"), PrintedDirections(byButton, "Lemon Tart"));
}

// ---------------------------------------------------------------------------------------------
// Through a real printer into a PDF file.

using PrintDialog = std::function<std::unique_ptr<fw::Graphics>(const fw::PrinterSetup*,
                                                                const std::filesystem::path&)>;

// What Qt's print dialog does to the job's printer when the person presses Print, after the page
// setup was applied to it: it sends the job into the file and sets the page layout shown in the
// dialog, which started from the setup's and may since have been turned or given other paper.
PrintDialog DialogChoosing(std::function<void(QPageLayout&)> change) {
    return [change](const fw::PrinterSetup* setup, const std::filesystem::path& pdf) {
        return fw::OpenPrintJob(setup, [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(pdf.string()));
            QPageLayout layout = printer.pageLayout();
            change(layout);
            printer.setPageLayout(layout);
            return true;
        });
    };
}

// A control of Qt's own dialog, found by the name Qt gives it; a missing one fails the test.
template <typename T>
T* DialogControl(QWidget* dialog, const char* name) {
    T* control = dialog ? dialog->findChild<T*>(QLatin1String(name)) : nullptr;
    if (!control)
        ADD_FAILURE() << "the print dialog has no " << name;
    return control;
}

void Press(QWidget* dialog, QDialogButtonBox::StandardButton which) {
    auto* box = dialog ? dialog->findChild<QDialogButtonBox*>(QString(), Qt::FindDirectChildrenOnly)
                       : nullptr;
    if (box && box->button(which)) {
        box->button(which)->click();
    } else {
        ADD_FAILURE() << "the dialog has no such button";
        if (dialog)
            dialog->close();
    }
}

// Qt's own print dialog, worked as a person would: "Print to File (PDF)" chosen (never a real
// printer that the machine may have), the file name typed in, Properties opened, Landscape chosen
// there and confirmed, then Print pressed. Anything missing fails the test and cancels.
PrintDialog RealDialogTurningThePage() {
    return [](const fw::PrinterSetup* setup, const std::filesystem::path& pdf) {
        AtNextModal([pdf](QWidget* dialog) {
            auto* printers = DialogControl<QComboBox>(dialog, "printers");
            auto* properties = DialogControl<QPushButton>(dialog, "properties");
            auto* file = DialogControl<QLineEdit>(dialog, "filename");
            if (!printers || !properties || !file ||
                !printers->itemText(printers->count() - 1).contains(QLatin1String("PDF"))) {
                ADD_FAILURE() << "the print dialog offers no PDF file";
                Press(dialog, QDialogButtonBox::Cancel);
                return;
            }
            printers->setCurrentIndex(printers->count() - 1);
            AtNextModal([](QWidget* page) {
                if (auto* landscape = DialogControl<QRadioButton>(page, "landscape"))
                    landscape->click();
                Press(page, QDialogButtonBox::Ok);
            });
            properties->click();  // returns when the properties are confirmed
            file->setText(QString::fromStdString(pdf.string()));
            Press(dialog, QDialogButtonBox::Ok);
        });
        return fw::QtOpenPrinterDialog(setup);
    };
}

// LARDERON_PRINT_SAMPLES=<folder> keeps a copy of each file, to look at the pages by eye.
void KeepSample(const std::filesystem::path& pdf, const std::string& name) {
    if (const char* keep = std::getenv("LARDERON_PRINT_SAMPLES")) {
        std::filesystem::copy_file(pdf, std::filesystem::path(keep) / (name + ".pdf"),
                                   std::filesystem::copy_options::overwrite_existing);
    }
}

// The numbers of the directions' lines ("Step 012 ..."), in the order printed.
std::vector<int> StepNumbers(const std::vector<PdfPage>& pages) {
    std::vector<int> steps;
    for (const PdfPage& page : pages) {
        for (std::size_t i = 0; i + 1 < page.words.size(); ++i) {
            if (page.words[i].text == QLatin1String("Step"))
                steps.push_back(page.words[i + 1].text.toInt());
        }
    }
    return steps;
}

TEST_F(RecipePrinting, IntoAPdfEveryLineOnceAndEveryPageNumberedWhateverPaperTheDialogChooses) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "poppler-utils are not installed (scripts/install-deps.sh)";
    constexpr int kLines = 150;
    SelectRecipe(Form(), "Long Stew");
    RewriteLongStew(h_, StepLines(kLines));
    // Letter less half an inch: a 540 x 720 printable page, so the print area is 504 x 684.
    const std::string halfInch = PaperWithMargins(QPageSize::Letter, 36).SetupString();

    const PrintDialog asGiven = DialogChoosing([](QPageLayout&) {});
    const struct {
        const char* what;
        std::string setup;
        PrintDialog dialog;
        QSizeF sheet;
        double margin;
        Area area;
    } cases[] = {
        {"nothing set up, Qt's default job", "", asGiven, {595, 842}, 10, {540, 720}},
        {"as set up", halfInch, asGiven, {612, 792}, 36, {504, 684}},
        {"landscape chosen in the dialog",
         halfInch,
         DialogChoosing([](QPageLayout& l) { l.setOrientation(QPageLayout::Landscape); }),
         {792, 612},
         36,
         {504, 504}},
        {"smaller paper chosen in the dialog",
         halfInch,
         DialogChoosing([](QPageLayout& l) { l.setPageSize(QPageSize(QPageSize::A5)); }),
         {420, 595},
         36,
         {312, 487}},
        {"landscape chosen in Qt's own dialog",
         halfInch,
         RealDialogTurningThePage(),
         {792, 612},
         36,
         {504, 504}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Form().PageSetupText(c.setup);
        TempDir dir;
        const std::filesystem::path pdf = dir.path() / "long-stew.pdf";
        bool printed = false;
        h_.Dialogs().ExpectPrint([&](const fw::PrinterSetup* setup) {
            printed = true;
            return c.dialog(setup, pdf);
        });
        Form().btnPrintRecipe().Push();
        ASSERT_TRUE(printed);
        ASSERT_TRUE(std::filesystem::exists(pdf)) << "the job is written when the window drops it";
        KeepSample(pdf, c.what);

        const auto pages = PdfPages(QString::fromStdString(pdf.string()));
        ASSERT_TRUE(pages);
        ASSERT_GE(pages->size(), 3u);
        for (std::size_t i = 0; i < pages->size(); ++i) {
            SCOPED_TRACE("page " + std::to_string(i + 1));
            const PdfPage& page = (*pages)[i];
            EXPECT_NEAR(page.width, c.sheet.width(), 0.5);
            EXPECT_NEAR(page.height, c.sheet.height(), 0.5);
            const QString text = page.Text();
            EXPECT_TRUE(text.startsWith(QStringLiteral("Long Stew Step "))) << text.toStdString();
            EXPECT_TRUE(text.endsWith(QStringLiteral("- %1 -").arg(i + 1))) << text.toStdString();
            // Everything lies on the printable page, inside the job's margins.
            for (const PdfWord& word : page.words) {
                EXPECT_GE(word.xMin, c.margin - 0.01) << word.text.toStdString();
                EXPECT_GE(word.yMin, c.margin - 0.01) << word.text.toStdString();
                EXPECT_LE(word.xMax, page.width - c.margin) << word.text.toStdString();
                EXPECT_LE(word.yMax, page.height - c.margin) << word.text.toStdString();
            }
            // The number "- N -" starts a unit per character left of the area's right edge, 10
            // points below it; the area's corner is the printable page's less the margin.
            const PdfWord& dash = page.words.at(page.words.size() - 3);
            const double characters = 4 + std::to_string(i + 1).size();
            EXPECT_NEAR(dash.xMin, c.margin + c.area.width - characters, 0.05);
            EXPECT_NEAR(dash.yMin, c.margin + c.area.height + 10, 0.05);
        }
        std::vector<int> all(kLines);
        for (int i = 0; i < kLines; ++i) all[i] = i + 1;
        EXPECT_EQ(StepNumbers(*pages), all) << "every line once, in order";

        // Each text prints in its field's designed size: the name in 16 points, the page number
        // in 10 and the directions in the system's size, whatever the window shows on screen.
        // A word's box is the font's extent at its size, so the heights relate as the sizes.
        const PdfPage& first = pages->front();
        const double name = first.words.at(0).Height();
        const double directions = first.words.at(2).Height();
        const double number = first.words.at(first.words.size() - 2).Height();
        const double extent = number / 10;
        EXPECT_GT(extent, 1.0);
        EXPECT_LT(extent, 1.3);
        EXPECT_NEAR(name / 16, extent, extent * 0.01);
        EXPECT_NEAR(directions / QApplication::font().pointSizeF(), extent, extent * 0.01);
    }
}

TEST_F(RecipePrinting, OneUnbrokenLineOf512KiBPrintsWholeEveryLetterOnceInOrder) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "poppler-utils are not installed (scripts/install-deps.sh)";
    // Letters and digits in a run that shows any letter lost, doubled or out of place.
    const std::string piece = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string line;
    while (line.size() < 512 * 1024) line += piece;
    line.resize(512 * 1024);
    SelectRecipe(Form(), "Long Stew");
    RewriteLongStew(h_, line);

    // Into a PDF through Qt's printer, at its resolution: there the field's own layout was a
    // column of a few letters.
    TempDir dir;
    const std::filesystem::path pdf = dir.path() / "one-line.pdf";
    h_.Dialogs().ExpectPrint([&](const fw::PrinterSetup* setup) {
        return DialogChoosing([](QPageLayout&) {})(setup, pdf);
    });
    Form().btnPrintRecipe().Push();
    KeepSample(pdf, "one unbroken line");
    const auto pages = PdfPages(QString::fromStdString(pdf.string()));
    ASSERT_TRUE(pages);
    ASSERT_GT(pages->size(), 50u);
    std::string letters;
    for (std::size_t i = 0; i < pages->size(); ++i) {
        const std::vector<PdfWord>& words = (*pages)[i].words;
        ASSERT_GT(words.size(), 5u);
        EXPECT_EQ((*pages)[i].Text().left(10), QStringLiteral("Long Stew "));
        EXPECT_TRUE((*pages)[i].Text().endsWith(QStringLiteral("- %1 -").arg(i + 1)));
        for (std::size_t w = 2; w + 3 < words.size(); ++w) letters += words[w].text.toStdString();
    }
    EXPECT_TRUE(letters == line) << "printed " << letters.size() << " of " << line.size();
}
}  // namespace
