// Printing the shown recipe, page by page.

#include <algorithm>

#include "MainForm.h"
#include "framework/Printing.h"
#include "framework/Text.h"

void MainForm::btnPrintRecipe_Action() {
    try {
        // What the area keeps free of the page setup's printable page, for the page number.
        constexpr int kNumberRoom = 36;
        int areaWidth = 540;
        int areaHeight = 720;
        int pageNumber = 1;
        fw::PrinterSetup setup;
        std::unique_ptr<fw::Graphics> g;
        if (!PageSetup.empty()) {
            setup.SetupString(PageSetup);
            areaWidth = setup.Width() - kNumberRoom;
            areaHeight = setup.Height() - kNumberRoom;
            g = fw::OpenPrinterDialog(&setup);
        } else {
            g = fw::OpenPrinterDialog(nullptr);
        }
        if (!g)
            return;
        // The person may have turned the page or chosen smaller paper in the print dialog: the
        // area never reaches past the page the job prints on, and keeps free below and right of
        // it the half inch that the page number is printed in.
        areaWidth = std::min(areaWidth, static_cast<int>(g->Width()) - kNumberRoom);
        areaHeight = std::min(areaHeight, static_cast<int>(g->Height()) - kNumberRoom);

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
