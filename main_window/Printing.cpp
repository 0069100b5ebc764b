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

        fw::StyledTextPrinter directions = txtDirections().StyledTextPrinter(*g, areaWidth);
        directions.Width(areaWidth);
        // The print dialog may have left a page that cannot hold the area: turned, on smaller
        // paper or with wider margins. A side of the job's printable page too short for the area
        // and, beyond its lower right corner, the widest page number (the last) cuts the area down
        // to that page less the half inch; a side that holds them keeps the area as it was fixed.
        // The number reaches past the area both ways, so where it fits the lines fit too.
        auto lastNumber = [&] {
            const int pages = std::max(1, directions.BlocksLeft(areaHeight - 30));
            txtPageNum().Text("- " + fw::CStr(pages) + " -");
            return txtPageNum().StyledTextPrinter(*g, areaWidth);
        };
        if (areaHeight + 10 + lastNumber().HeightLeft() > g->Height())
            areaHeight = std::min(areaHeight, static_cast<int>(g->Height()) - kNumberRoom);
        const fw::StyledTextPrinter widest = lastNumber();
        if (areaWidth - static_cast<double>(fw::Len(txtPageNum().Text())) + widest.WidthLeft() >
            g->Width()) {
            areaWidth = std::min(areaWidth, static_cast<int>(g->Width()) - kNumberRoom);
            directions.Width(areaWidth);
        }

        auto printPageNumber = [&] {
            txtPageNum().Text("- " + fw::CStr(pageNumber) + " -");
            fw::StyledTextPrinter number = txtPageNum().StyledTextPrinter(*g, areaWidth);
            number.DrawBlock(areaWidth - static_cast<double>(fw::Len(txtPageNum().Text())),
                             areaHeight + 10, areaHeight);
        };

        fw::StyledTextPrinter name = txtRecipeName().StyledTextPrinter(*g, areaWidth);
        name.Width(areaWidth);
        name.DrawBlock(0, 0, areaHeight);

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
