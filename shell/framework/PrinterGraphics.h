#pragma once
// Print jobs on a real printer (or a PDF file): a Graphics whose drawing units are points with
// (0,0) at the top-left corner of the printable area.

#include <filesystem>
#include <memory>

#include "framework/Graphics.h"

class QPrinter;

namespace fw {

class PrinterSetup;

// Starts a job on the printer as it is set up; the job ends when the surface is destroyed.
// Throws std::runtime_error when the printer cannot be opened.
std::unique_ptr<Graphics> MakePrinterGraphics(std::unique_ptr<QPrinter> printer);

// Starts a job that prints into a PDF file, with the page layout of the setup (the default setup
// when none is given).
std::unique_ptr<Graphics> MakePdfGraphics(const std::filesystem::path& pdf,
                                          const PrinterSetup* setup);

}  // namespace fw
