// The page setup dialog and the window's menu commands.

#include "MainForm.h"
#include "framework/Dialogs.h"
#include "framework/Printing.h"
#include "framework/Text.h"

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

bool MainForm::HelpUserGuide_Action() {
    const std::string& eol = fw::EndOfLine();
    fw::MsgBox("Larderon keeps your recipes." + eol + eol +
               "Recipes page: pick a category or type part of a name to find a recipe; New, Edit, "
               "Save and Cancel change recipes; Delete removes the selected one; Print prints "
               "it, with the paper chosen under Page Setup." +
               eol + eol +
               "Categories page: New, Edit, Save and Delete manage categories. The recipes of a "
               "deleted category move to the default category, the one that cannot be edited or "
               "deleted." +
               eol + eol +
               "File > Backup... writes every recipe to a text file; File > Restore... replaces "
               "all recipes with those of such a file.");
    return true;
}

void MainForm::AddMenuHandlers(fw::Window& window) {
    auto& form = dynamic_cast<class MainForm&>(window);
    form.AddMenuHandler("FilePageSetup", [&form] { return form.FilePageSetup_Action(); });
    form.AddMenuHandler("FilePrint", [&form] { return form.FilePrint_Action(); });
    form.AddMenuHandler("HelpUserGuide", [&form] { return form.HelpUserGuide_Action(); });
}

void MainForm::Event_EnableMenuItems() {
    if (fw::MenuItem* item = FilePageSetup())
        item->Enable();
    if (fw::MenuItem* item = FilePrint())
        item->Enable();
}
