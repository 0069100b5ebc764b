#pragma once
// Qt's own page setup and print dialogs, for the Qt implementation of the dialog seam.

#include <memory>

namespace fw {

class Graphics;
class PrinterSetup;

// Lets the person change the page setup; on OK the setup takes the chosen page layout and printer.
bool QtPageSetupDialog(PrinterSetup& setup);

// Lets the person choose a printer (or a PDF file); the job's surface, or nullptr when cancelled.
// The setup, when given, decides the page layout the dialog starts from.
std::unique_ptr<Graphics> QtOpenPrinterDialog(const PrinterSetup* setup);

}  // namespace fw
