#pragma once
// Qt's own page setup and print dialogs, for the Qt implementation of the dialog seam.

#include <functional>
#include <memory>

class QPrinter;

namespace fw {

class Graphics;
class PrinterSetup;

// Lets the person change the page setup; on OK the setup takes the chosen page layout and printer.
bool QtPageSetupDialog(PrinterSetup& setup);

// Lets the person choose a printer (or a PDF file); the job's surface, or nullptr when cancelled.
// The setup, when given, decides the page layout the dialog starts from.
std::unique_ptr<Graphics> QtOpenPrinterDialog(const PrinterSetup* setup);

// How a print job starts: a printer is prepared from the setup (its printer, paper, orientation
// and margins), `choose` has its say over it — the print dialog, which may change the printer, the
// paper, the orientation and the output, or decline — and the job starts on the printer as it
// then stands. Nothing when `choose` declines.
std::unique_ptr<Graphics> OpenPrintJob(const PrinterSetup* setup,
                                       const std::function<bool(QPrinter&)>& choose);

}  // namespace fw
