// Printing the shown recipe, page by page.

#include "framework/Printing.h"
#include "MainForm.h"
#include "framework/Text.h"

void MainForm::btnPrintRecipe_Action() {
    try {
        int areaWidth = 540;
        int areaHeight = 720;
        int pageNumber = 1;
        fw::PrinterSetup setup;
        std::unique_ptr<fw::Graphics> g;
        if (!PageSetup.empty()) {
            setup.SetupString(PageSetup);
            areaWidth = setup.Width() - 36;
            areaHeight = setup.Height() - 36;
            g = fw::OpenPrinterDialog(&setup);
        } else {
            g = fw::OpenPrinterDialog(nullptr);
        }
        if (!g)
            return;

        auto printPageNumber = [&] {
            txtPageNum().Text("- " + fw::CStr(pageNumber) + " -");
            fw::StyledTextPrinter number = txtPageNum().StyledTextPrinter(*g, areaWidth);
            number.DrawBlock(areaWidth - static_cast<double>(fw::Len(txtPageNum().Text())),
                             areaHeight + 10, areaHeight);
        };

        fw::StyledTextPrinter name = txtRecipeName().StyledTextPrinter(*g, areaWidth);
        name.Width(areaWidth);
        name.DrawBlock(0, 0, areaHeight);

        fw::StyledTextPrinter directions = txtDirections().StyledTextPrinter(*g, areaWidth);
        directions.Width(areaWidth);
        while (!directions.Eof()) {
            fw::StyledTextPrinter pageName = txtRecipeName().StyledTextPrinter(*g, areaWidth);
            pageName.Width(areaWidth);
            pageName.DrawBlock(0, 0, areaHeight);
            directions.DrawBlock(0, 30, areaHeight - 30);
            if (!directions.Eof()) {
                printPageNumber();
                g->NextPage();
                ++pageNumber;
            }
        }
        printPageNumber();
    } catch (...) {
        // Printing ends where it stood, without a message.
    }
}
