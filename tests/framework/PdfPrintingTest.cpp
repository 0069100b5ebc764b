#include <gtest/gtest.h>

#include <QFont>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <QTextDocument>
#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "framework/PrintDialogsQt.h"
#include "framework/PrinterGraphics.h"
#include "framework/Printing.h"
#include "support/PopplerTool.h"
#include "support/TempDir.h"

namespace {

fw::PrinterSetup LetterSetup() {
    fw::PrinterSetup setup;
    setup.PageLayout() = QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                     QMarginsF(36, 36, 36, 36), QPageLayout::Point);
    return setup;
}

TEST(PdfPrinting, UnwritableFileIsAnErrorNotACrash) {
    TempDir dir;
    EXPECT_THROW(fw::MakePdfGraphics(dir.path() / "no such folder" / "x.pdf", nullptr),
                 std::runtime_error);
}

TEST(PdfPrinting, TheJobPrintsOnThePageTheDialogLeft) {
    TempDir dir;
    const auto pdf = QString::fromStdString((dir.path() / "turned.pdf").string());
    const fw::PrinterSetup setup = LetterSetup();
    // The dialog is given the printer with the setup applied, and may turn the page.
    auto turn = [&](QPrinter& printer) {
        EXPECT_TRUE(printer.pageLayout().isEquivalentTo(setup.PageLayout()));
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageOrientation(QPageLayout::Landscape);
        return true;
    };
    auto g = fw::OpenPrintJob(&setup, turn);
    ASSERT_TRUE(g);
    EXPECT_NEAR(720, g->Width(), 1);
    EXPECT_NEAR(540, g->Height(), 1);

    EXPECT_EQ(fw::OpenPrintJob(&setup, [](QPrinter&) { return false; }), nullptr)
        << "a cancelled dialog starts no job";

    // Nothing set up: the dialog starts from Qt's own job, A4 less 10-point margins.
    auto asGiven = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    auto plain = fw::OpenPrintJob(nullptr, asGiven);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->Width(), 575);
    EXPECT_EQ(plain->Height(), 822);
}

TEST(PdfPrinting, LongTextFillsPagesWithEveryLineOnce) {
    constexpr int kLines = 150;
    QStringList lines;
    for (int i = 0; i < kLines; ++i) {
        lines << QStringLiteral("Recipe line %1 stir gently").arg(i, 3, 10, QLatin1Char('0'));
    }
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    document->setPlainText(lines.join(QLatin1Char('\n')));

    TempDir dir;
    const auto pdf = dir.path() / "long.pdf";
    const fw::PrinterSetup setup = LetterSetup();
    int pages = 0;
    {
        auto g = fw::MakePdfGraphics(pdf, &setup);
        EXPECT_NEAR(540, g->Width(), 1);  // the printable area in points
        EXPECT_NEAR(720, g->Height(), 1);
        EXPECT_GT(g->DeviceUnitsPerUnit(), 1);  // a high-resolution job, not a 72-dpi one
        fw::StyledTextPrinter printer(*g, std::move(document), g->Width());
        while (!printer.Eof()) {
            ASSERT_LT(pages, 50);
            if (pages++ > 0)
                g->NextPage();
            printer.DrawBlock(0, 0, g->Height());
        }
    }  // the job is written when the surface goes
    ASSERT_GE(pages, 3);

    const auto info = RunTool(QStringLiteral("pdfinfo"), {QString::fromStdString(pdf.string())});
    if (!info)
        GTEST_SKIP() << "pdfinfo is not installed (poppler-utils)";
    const auto count = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(*info);
    ASSERT_TRUE(count.hasMatch()) << info->toStdString();
    EXPECT_EQ(pages, count.captured(1).toInt());
    EXPECT_TRUE(info->contains(QStringLiteral("612 x 792"))) << info->toStdString();

    const auto text = RunTool(QStringLiteral("pdftotext"),
                              {QString::fromStdString(pdf.string()), QStringLiteral("-")});
    ASSERT_TRUE(text);
    std::map<int, int> seen;
    std::vector<int> order;
    const QRegularExpression number(QStringLiteral("Recipe line (\\d+)"));
    for (auto it = number.globalMatch(*text); it.hasNext();) {
        const int n = it.next().captured(1).toInt();
        ++seen[n];
        order.push_back(n);
    }
    for (int i = 0; i < kLines; ++i) EXPECT_EQ(1, seen[i]) << "line " << i;
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
}

}  // namespace
