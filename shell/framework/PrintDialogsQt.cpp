#include "framework/PrintDialogsQt.h"

#include <QApplication>
#include <QDialog>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>

#include "framework/PrinterGraphics.h"
#include "framework/Printing.h"

namespace fw {

namespace {

std::unique_ptr<QPrinter> PrinterFor(const PrinterSetup* setup) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (setup) {
        // The printer first: choosing it resets the page layout to the printer's defaults.
        if (!setup->PrinterName().empty()) {
            printer->setPrinterName(QString::fromStdString(setup->PrinterName()));
        }
        printer->setPageLayout(setup->PageLayout());
    }
    return printer;
}

}  // namespace

bool QtPageSetupDialog(PrinterSetup& setup) {
    auto printer = PrinterFor(&setup);
    QPageSetupDialog dialog(printer.get(), QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    QPageLayout layout = printer->pageLayout();
    layout.setUnits(QPageLayout::Point);
    setup.PageLayout() = layout;
    setup.PrinterName(printer->printerName().toStdString());
    return true;
}

std::unique_ptr<Graphics> QtOpenPrinterDialog(const PrinterSetup* setup) {
    return OpenPrintJob(setup, [](QPrinter& printer) {
        QPrintDialog dialog(&printer, QApplication::activeWindow());
        return dialog.exec() == QDialog::Accepted;
    });
}

std::unique_ptr<Graphics> OpenPrintJob(const PrinterSetup* setup,
                                       const std::function<bool(QPrinter&)>& choose) {
    auto printer = PrinterFor(setup);
    if (!choose(*printer))
        return nullptr;
    return MakePrinterGraphics(std::move(printer));
}

}  // namespace fw
