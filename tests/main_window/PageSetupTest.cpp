// The page setup dialog from the button and the File menu, and the window's menu items.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMarginsF>
#include <QMenuBar>
#include <QPageLayout>
#include <QPageSize>
#include <QTest>
#include <QWidget>
#include <string>
#include <vector>

#include "AboutForm.h"
#include "Larderon.h"
#include "MainForm.h"
#include "PrintingHelpers.h"
#include "framework/Dialogs.h"
#include "framework/Menus.h"
#include "menus/MainFormMenu.h"
#include "support/LarderonHarness.h"

namespace {

using namespace printing;

// The page a person picks in the dialog: A5 landscape with wide margins.
void PickA5Landscape(fw::PrinterSetup& setup) {
    setup.PageLayout() = QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Landscape,
                                     QMarginsF(54, 54, 54, 54), QPageLayout::Point);
}

std::string A5Landscape() {
    fw::PrinterSetup setup;
    PickA5Landscape(setup);
    return setup.SetupString();
}

class PageSetup : public ::testing::Test {
  protected:
    void SetUp() override {
        h_.Start();
        h_.Dialogs().ClearLog();
    }
    class MainForm& Form() {
        return h_.Form();
    }
    std::string Stored() {
        return QueryText(*h_.OpenDatabase(), "SELECT PageSetup AS v FROM Preferences WHERE Id = 1");
    }

    LarderonHarness h_{LarderonHarness::Options{true, SeedRecipes}};
};

TEST_F(PageSetup, CancelKeepsWhatWasThereAndShowsNothing) {
    // The person changes the page and then cancels: none of it is kept.
    auto cancelAfterChanging = [](fw::PrinterSetup& setup) {
        PickA5Landscape(setup);
        return false;
    };
    h_.Dialogs().ExpectPageSetup(cancelAfterChanging);
    Form().btnPageSetup().Push();
    EXPECT_EQ(Form().PageSetupText(), "");

    const std::string letter = PaperOf(612, 792).SetupString();
    Form().PageSetupText(letter);
    h_.Dialogs().ExpectPageSetup(cancelAfterChanging);
    EXPECT_TRUE(h_.App().DoMenuCommand("FilePageSetup"));
    EXPECT_EQ(Form().PageSetupText(), letter);
    EXPECT_EQ(h_.Dialogs().Log(), (std::vector<std::string>{"pagesetup", "pagesetup"}));
}

TEST_F(PageSetup, ConfirmedSetupIsKeptAndTheNextRunStartsFromIt) {
    std::string firstOffered, secondOffered;
    h_.Dialogs().ExpectPageSetup([&](fw::PrinterSetup& setup) {
        firstOffered = setup.SetupString();
        PickA5Landscape(setup);
        return true;
    });
    Form().btnPageSetup().Push();
    EXPECT_EQ(firstOffered, fw::PrinterSetup().SetupString()) << "none chosen: the defaults";
    EXPECT_EQ(Form().PageSetupText(), A5Landscape());

    h_.Dialogs().ExpectPageSetup([&](fw::PrinterSetup& setup) {
        secondOffered = setup.SetupString();
        return true;
    });
    Form().btnPageSetup().Push();
    EXPECT_EQ(secondOffered, A5Landscape());
    EXPECT_EQ(Form().PageSetupText(), A5Landscape());
    EXPECT_EQ(Stored(), "") << "the setup reaches the database only when the window closes";
    EXPECT_EQ(h_.Dialogs().Messages(), std::vector<std::string>{});
}

TEST_F(PageSetup, ButtonAndMenuItemRunTheSameDialog) {
    auto pick = [](fw::PrinterSetup& setup) {
        PickA5Landscape(setup);
        return true;
    };
    h_.Dialogs().ExpectPageSetup(pick);
    Form().btnPageSetup().Push();
    const std::string byButton = Form().PageSetupText();

    Form().PageSetupText("");
    h_.Dialogs().ExpectPageSetup(pick);
    EXPECT_TRUE(h_.App().DoMenuCommand("FilePageSetup")) << "the command reports itself handled";
    EXPECT_EQ(Form().PageSetupText(), byButton);
    EXPECT_EQ(byButton, A5Landscape());
}

// ---------------------------------------------------------------------------------------------
// Menu items

bool PrintingItemsEnabled(LarderonHarness& h) {
    class MainForm& form = h.Form();
    // Start from the items switched off, so only the window's enabling can switch them on.
    form.FilePageSetup()->Enabled(false);
    form.FilePrint()->Enabled(false);
    h.App().EnableMenuItems();
    return form.FilePageSetup()->Enabled() && form.FilePrint()->Enabled();
}

TEST_F(PageSetup, PrintingItemsAreEnabledInEveryMode) {
    EXPECT_TRUE(PrintingItemsEnabled(h_)) << "browse mode, nothing selected";

    SelectRecipe(Form(), "Lemon Tart");
    Form().btnEditRecipe().Push();
    ASSERT_TRUE(Form().EditMode());
    EXPECT_TRUE(PrintingItemsEnabled(h_)) << "recipe edit mode";
    Form().btnCancelRecipe().Push();
    ASSERT_FALSE(Form().EditMode());

    Form().tpnlMain().Value(1);
    Form().lstCategory().SelectRowAsUser(RowOf(Form().lstCategory(), "Cakes"));
    Form().btnEditCategory().Push();
    ASSERT_TRUE(Form().EditMode());
    EXPECT_TRUE(PrintingItemsEnabled(h_)) << "category edit mode";
    EXPECT_EQ(h_.Dialogs().Log(), std::vector<std::string>{});
}

TEST(PageSetupMenus, PrintingItemsAreEnabledWithoutADatabase) {
    // Without a database file the app quits before its window ever shows a menu.
    {
        LarderonHarness h{LarderonHarness::Options{false, {}}};
        h.Start();
        EXPECT_EQ(h.Dialogs().Log(),
                  (std::vector<std::string>{"beep",
                                            "msgbox:Unable to connect to the database becuase the "
                                            "larderon_db.rsd file is missing or corrupt."}));
        EXPECT_EQ(h.App().ImplicitWindow<class MainForm>(), nullptr);
    }
    // So the window is asked for its menus after losing its connection: the items do not
    // depend on it, and the dialog still runs.
    LarderonHarness h;
    h.Start();
    h.App().db.Reset();
    EXPECT_TRUE(PrintingItemsEnabled(h));
    h.Dialogs().ExpectPageSetup([](fw::PrinterSetup& setup) {
        PickA5Landscape(setup);
        return true;
    });
    EXPECT_TRUE(h.App().DoMenuCommand("FilePageSetup"));
    EXPECT_EQ(h.Form().PageSetupText(), A5Landscape());
    EXPECT_EQ(h.Dialogs().Log(), std::vector<std::string>{"pagesetup"});
}

// Qt's own modal machinery, as a person meets it: while the About window is up the main window
// takes no click and no menu; once any modal window has closed, the printing items work again.
TEST(PageSetupMenus, TheRealAboutWindowIsModalAndTheItemsWorkWhenAnyModalCloses) {
    LarderonHarness h{LarderonHarness::Options{true, SeedRecipes}};
    h.Start();
    class MainForm& form = h.Form();
    QWidget* main = form.NativeWidget();
    main->show();
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main));
    SelectRecipe(form, "Lemon Tart");
    auto* menuBar = main->findChild<QMenuBar*>();
    ASSERT_NE(menuBar, nullptr);
    const QPoint fileTitle =
        menuBar->mapTo(main, menuBar->actionGeometry(form.FileMenu()->NativeAction()).center());
    const QPoint newButton = form.btnNewRecipe().NativeWidget()->mapTo(main, QPoint(5, 5));

    {
        RealDialogs real;
        bool wasUp = false;
        AtNextModal([&](QWidget* modal) {
            auto* about = h.App().ImplicitWindow<class AboutForm>();
            if (!about) {
                ADD_FAILURE() << "no About window";
                return;
            }
            wasUp = true;
            EXPECT_EQ(modal, about->NativeWidget());
            EXPECT_EQ(QGuiApplication::modalWindow(), about->NativeWidget()->windowHandle());
            QTest::mouseClick(main->windowHandle(), Qt::LeftButton, {}, fileTitle);
            EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "the File menu opened";
            if (QWidget* popup = QApplication::activePopupWidget())
                popup->close();
            QTest::mouseClick(main->windowHandle(), Qt::LeftButton, {}, newButton);
            EXPECT_FALSE(form.btnSaveRecipe().Enabled()) << "New took the click";
            // As its close button does.
            about->NativeWidget()->close();
        });
        form.HelpAbout()->NativeAction()->trigger();
        EXPECT_TRUE(wasUp);
        EXPECT_EQ(h.App().ImplicitWindow<class AboutForm>(), nullptr);
    }
    EXPECT_TRUE(form.FilePageSetup()->Enabled());
    EXPECT_TRUE(form.FilePrint()->Enabled());
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main));
    h.Dialogs().ExpectPrint([](const fw::PrinterSetup*) { return nullptr; });
    QTest::keyClick(main->windowHandle(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(h.Dialogs().Log(), std::vector<std::string>{"print"}) << "Ctrl+P did nothing";

    // A message box: whatever the items said before, they are as the window asks afterwards.
    form.FilePrint()->Enabled(false);
    form.FilePageSetup()->Enabled(false);
    {
        RealDialogs real;
        bool answered = false;
        AtNextModal([&](QWidget* box) {
            answered = box != nullptr;
            if (box)
                QTest::keyClick(box->windowHandle(), Qt::Key_Return);
        });
        fw::MsgBox("Done.");
        EXPECT_TRUE(answered) << "no message box came up";
    }
    EXPECT_TRUE(form.FilePageSetup()->Enabled());
    EXPECT_TRUE(form.FilePrint()->Enabled());

    // With no modal window up, the same click reaches New.
    QTest::mouseClick(main->windowHandle(), Qt::LeftButton, {}, newButton);
    EXPECT_TRUE(form.btnSaveRecipe().Enabled()) << "a new recipe is under way";
}

TEST(PageSetupMenus, AccessorsReachEachItemByItsName) {
    LarderonHarness h;
    h.Start();
    class MainForm& form = h.Form();
    class MainFormMenu& menu = MainFormMenu();
    const std::vector<std::pair<const char*, fw::MenuItem*>> items = {
        {"FileMenu", form.FileMenu()},
        {"FileBackup", form.FileBackup()},
        {"FileRestore", form.FileRestore()},
        {"UntitledSeparator1", form.UntitledSeparator1()},
        {"FilePageSetup", form.FilePageSetup()},
        {"UntitledSeparator0", form.UntitledSeparator0()},
        {"FilePrint", form.FilePrint()},
        {"UntitledSeparator", form.UntitledSeparator()},
        {"FileQuit", form.FileQuit()},
        {"EditMenu", form.EditMenu()},
        {"EditCut", form.EditCut()},
        {"EditCopy", form.EditCopy()},
        {"EditPaste", form.EditPaste()},
        {"EditClear", form.EditClear()},
        {"UntitledMenu0", form.UntitledMenu0()},
        {"EditSelectAll", form.EditSelectAll()},
        {"HelpMenu", form.HelpMenu()},
        {"HelpAbout", form.HelpAbout()},
        {"HelpUserGuide", form.HelpUserGuide()},
    };
    for (const auto& [name, item] : items) {
        ASSERT_NE(item, nullptr) << name;
        EXPECT_EQ(item, menu.FindItem(name)) << name;
    }
    EXPECT_TRUE(form.FileQuit()->IsQuitItem());
}

TEST(PageSetupMenus, UserGuideShowsOneShortMessage) {
    LarderonHarness h;
    h.Start();
    h.Dialogs().ClearLog();
    EXPECT_TRUE(h.App().DoMenuCommand("HelpUserGuide"));
    const auto messages = h.Dialogs().Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("Page Setup"), std::string::npos) << messages[0];
    EXPECT_LT(messages[0].size(), 1000u);
}

}  // namespace
