// Printing the shown recipe, page by page.

#include <algorithm>
#include <string>

#include "MainForm.h"
#include "framework/Printing.h"
#include "framework/Text.h"

namespace {

std::string PageNumberText(int page) {
    return "- " + fw::CStr(page) + " -";
}

}  // namespace

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

        // The print dialog may have left a page that cannot hold the area: turned, on smaller
        // paper or with wider margins. A side of the job's printable page too short for the area
        // and, beyond its lower right corner, the widest page number (the last) cuts the area down
        // to that page less the half inch; a side that holds them keeps the area as it was fixed.
        // The number reaches past the area both ways, so where it fits the lines fit too. The
        // numbers are measured on documents of the print's own: the window's field shows only
        // the numbers printed.
        auto measuredNumber = [&](int page) {
            return txtPageNum().StyledTextPrinter(*g, areaWidth, PageNumberText(page));
        };
        // Every number is one line of the same height, whatever its digits.
        if (areaHeight + 10 + measuredNumber(1).HeightLeft() > g->Height())
            areaHeight = std::min(areaHeight, static_cast<int>(g->Height()) - kNumberRoom);
        auto lastNumberOverhangs = [&](int pages) {
            return areaWidth - static_cast<double>(fw::Len(PageNumberText(pages))) +
                       measuredNumber(pages).WidthLeft() >
                   g->Width();
        };
        auto cutWidth = [&] {
            areaWidth = std::min(areaWidth, static_cast<int>(g->Width()) - kNumberRoom);
        };
        // The count of pages depends on the width the directions are laid out at, and the width
        // on the count's digits, which only ever make the last number wider. So where even one
        // digit overhangs, the width is cut before the directions are laid out; otherwise they
        // are laid out at the width they keep unless the count's digits overhang, and only then,
        // on a page narrower than the area by about the width of those digits, laid out again.
        // The count is taken at the height decided above: a shorter area can need more pages.
        if (lastNumberOverhangs(1))
            cutWidth();
        fw::StyledTextPrinter directions = txtDirections().StyledTextPrinter(*g, areaWidth);
        if (lastNumberOverhangs(std::max(1, directions.BlocksLeft(areaHeight - 30)))) {
            cutWidth();
            directions.Width(areaWidth);
        }

        auto printPageNumber = [&] {
            txtPageNum().Text(PageNumberText(pageNumber));
            fw::StyledTextPrinter number = txtPageNum().StyledTextPrinter(*g, areaWidth);
            number.DrawBlock(areaWidth - static_cast<double>(fw::Len(txtPageNum().Text())),
                             areaHeight + 10, areaHeight);
        };

        txtRecipeName().StyledTextPrinter(*g, areaWidth).DrawBlock(0, 0, areaHeight);

        while (!directions.Eof()) {
            txtRecipeName().StyledTextPrinter(*g, areaWidth).DrawBlock(0, 0, areaHeight);
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
