#pragma once
// Page setup, print jobs and printing styled text block by block.

#include <memory>
#include <string>

#include "framework/Graphics.h"

class QPageLayout;
class QTextDocument;

namespace fw {

// The printer's page setup. Its settings travel as one opaque text (SetupString).
class PrinterSetup {
  public:
    PrinterSetup();
    ~PrinterSetup();
    PrinterSetup(const PrinterSetup& other);
    PrinterSetup& operator=(const PrinterSetup& other);

    // Round-trips page size, orientation, margins and the printer name. A text that cannot be
    // read leaves the defaults in place.
    std::string SetupString() const;
    void SetupString(const std::string& text);

    // Printable page in points (1/72 inch).
    int Width() const;
    int Height() const;

    const std::string& PrinterName() const { return printerName_; }
    void PrinterName(const std::string& name) { printerName_ = name; }
    QPageLayout& PageLayout() { return *layout_; }
    const QPageLayout& PageLayout() const { return *layout_; }

    // Shows the page setup dialog (through the dialog seam); true when confirmed.
    bool PageSetupDialog();

  private:
    std::unique_ptr<QPageLayout> layout_;
    std::string printerName_;
};

// Shows the print dialog (through the dialog seam): the job's surface, or nullptr when cancelled.
std::unique_ptr<Graphics> OpenPrinterDialog(const PrinterSetup* setup);

// Prints a styled text in blocks: each DrawBlock draws as many whole lines of what is left as fit
// into the block's height, at the printer's width, and moves on past them.
class StyledTextPrinter {
  public:
    StyledTextPrinter(Graphics& graphics, std::unique_ptr<QTextDocument> document, double width);
    ~StyledTextPrinter();
    StyledTextPrinter(StyledTextPrinter&&) noexcept;
    StyledTextPrinter& operator=(StyledTextPrinter&&) noexcept;

    double Width() const { return width_; }
    void Width(double width);
    void DrawBlock(double x, double y, double height);
    // True once all of the text has been drawn.
    bool Eof() const;

    // What is left, measured without drawing it: how many DrawBlock calls of the given height
    // print it (the last one draws nothing when not one line fits, and ends the run), and the
    // width of its widest line and the height of its lines, drawn in one block.
    int BlocksLeft(double height) const;
    double WidthLeft() const;
    double HeightLeft() const;

  private:
    struct State;
    Graphics* graphics_;
    double width_;
    std::unique_ptr<State> state_;
};

}  // namespace fw
