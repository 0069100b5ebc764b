// The page setup dialog and the window's menu commands.

#include "MainForm.h"
#include "framework/Printing.h"

void MainForm::EditPageSetup() {
    fw::PrinterSetup setup;
    if (!PageSetup.empty())
        setup.SetupString(PageSetup);
    if (setup.PageSetupDialog())
        PageSetup = setup.SetupString();
}

void MainForm::btnPageSetup_Action() {
    EditPageSetup();
}

bool MainForm::FilePageSetup_Action() {
    EditPageSetup();
    return true;
}

bool MainForm::FilePrint_Action() {
    // The menu prints what the Print button prints, and only while it could be pressed.
    if (lstRecipe().ListIndex() != -1 && btnPrintRecipe().Enabled())
        btnPrintRecipe_Action();
    return true;
}

void MainForm::AddMenuHandlers(fw::Window& window) {
    auto& form = dynamic_cast<class MainForm&>(window);
    form.AddMenuHandler("FilePageSetup", [&form] { return form.FilePageSetup_Action(); });
    form.AddMenuHandler("FilePrint", [&form] { return form.FilePrint_Action(); });
}

void MainForm::Event_EnableMenuItems() {
    if (fw::MenuItem* item = FilePageSetup())
        item->Enable();
    if (fw::MenuItem* item = FilePrint())
        item->Enable();
}
