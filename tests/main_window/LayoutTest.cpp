// The main window as it opens: its controls, designed places, locks and menus, and what a
// screen reader is told of them.

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <QAccessible>
#include <QAction>
#include <QCoreApplication>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "DrivingHelpers.h"
#include "Larderon.h"
#include "MainForm.h"
#include "menus/MainFormMenu.h"
#include "support/LarderonHarness.h"

namespace {

struct Box {
    const char* name;
    int left, top, width, height;
};

QAccessibleInterface* Accessible(const fw::Control& control) {
    return QAccessible::queryAccessibleInterface(control.NativeWidget());
}

// What Qt prints when an item view's accessibility is asked for a row the view does not have.
QStringList g_invalidIndexWarnings;
QtMessageHandler g_otherMessages = nullptr;

void CatchInvalidIndex(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains(QLatin1String("invalid index"), Qt::CaseInsensitive)) {
        g_invalidIndexWarnings << text;
    } else if (g_otherMessages) {
        g_otherMessages(type, context, text);
    }
}

// A new name the window told a screen reader of, with the name the control had as it told it.
struct Renamed {
    const QObject* object;
    std::string name;
};
std::vector<Renamed> g_renamed;

void RecordRenamed(QAccessibleEvent* event) {
    if (event->type() == QAccessible::NameChanged)
        g_renamed.push_back(
            {event->object(), event->accessibleInterface()->text(QAccessible::Name).toStdString()});
}

// What the platform's bridge does when a screen reader starts or stops listening: only then does
// Qt send its accessibility events on.
void SetAccessibilityActive(bool active) {
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(active);
}

// A screen reader listening while this lives: accessibility is on, and the invalid-index warnings
// and the changes the window tells of are caught. However the test leaves the scope, a failed
// ASSERT included, the message handler and accessibility go back to what they were, so that no
// later test runs with them.
class ScreenReaderListening {
  public:
    ScreenReaderListening() {
        g_invalidIndexWarnings.clear();
        g_renamed.clear();
        g_otherMessages = qInstallMessageHandler(CatchInvalidIndex);
        QAccessible::installUpdateHandler(RecordRenamed);
        SetAccessibilityActive(true);
    }
    ~ScreenReaderListening() {
        SetAccessibilityActive(wasActive_);
        QAccessible::installUpdateHandler(nullptr);
        qInstallMessageHandler(g_otherMessages);
        g_otherMessages = nullptr;
    }
    ScreenReaderListening(const ScreenReaderListening&) = delete;
    ScreenReaderListening& operator=(const ScreenReaderListening&) = delete;

  private:
    const bool wasActive_ = QAccessible::isActive();
};

QtMessageHandler CurrentMessageHandler() {
    QtMessageHandler current = qInstallMessageHandler(nullptr);
    qInstallMessageHandler(current);
    return current;
}

void FailWhileListening() {
    ScreenReaderListening listening;
    ASSERT_TRUE(false) << "a check failed midway";
}

// A screen reader going through a list: it learns how many children there are and then asks for
// each by its position, so between two looks it still goes by the count it last learnt.
struct ListReader {
    QAccessibleInterface* list;
    int known = 0;

    std::vector<std::string> ReadAsKnown() const {
        std::vector<std::string> names;
        for (int i = 0; i < known; ++i) {
            QAccessibleInterface* child = list->child(i);
            names.push_back(child ? child->text(QAccessible::Name).toStdString() : "(none)");
        }
        return names;
    }
    std::vector<std::string> Read() {
        known = list->childCount();
        return ReadAsKnown();
    }
};

std::vector<std::string> Shown(const std::string& heading, std::vector<std::string> rows) {
    rows.insert(rows.begin(), heading);
    return rows;
}

std::vector<std::string> First(std::vector<std::string> rows, int count) {
    rows.resize(std::min(static_cast<std::size_t>(count), rows.size()));
    return rows;
}

// The window started over the seeded book and shown, as a screen reader finds it.
class MainForm& ShownOverSeededBook(LarderonHarness& h) {
    h.Start();
    h.Form().NativeWidget()->show();
    QCoreApplication::processEvents();
    return h.Form();
}

}  // namespace

TEST(MainWindowLayout, OpensOnceWithEveryControlAtItsDesignedPlace) {
    LarderonHarness h;
    h.Start();
    class MainForm& form = MainForm();
    EXPECT_EQ(&form, &MainForm()) << "one shared window";
    EXPECT_EQ(form.Title(), "Larderon");
    EXPECT_EQ(form.Width(), 700);
    EXPECT_EQ(form.Height(), 600);
    EXPECT_EQ(form.ControlCount(), 28u);
    const Box boxes[] = {
        {"tpnlMain", 11, 14, 678, 566},          {"txtDirections", 20, 318, 660, 213},
        {"lstRecipe", 20, 96, 660, 120},         {"txtSearch", 395, 64, 267, 22},
        {"cboSearchOption", 258, 64, 125, 20},   {"btnResetSearch", 664, 64, 16, 22},
        {"cboCategory", 20, 64, 226, 20},        {"lstCategory", 20, 58, 190, 508},
        {"btnEditCategory", 222, 58, 80, 20},    {"btnNewCategory", 314, 58, 80, 20},
        {"btnSaveCategory", 600, 58, 80, 20},    {"btnDeleteCategory", 222, 546, 80, 20},
        {"txtCategoryName", 222, 117, 458, 424}, {"StaticText1", 222, 90, 458, 20},
        {"btnCancelCategory", 600, 546, 80, 20}, {"StaticText2", 20, 295, 984, 20},
        {"txtRecipeName", 139, 260, 212, 22},    {"cboRecipeCategory", 454, 260, 226, 20},
        {"StaticText4", 20, 262, 106, 20},       {"StaticText5", 363, 262, 79, 20},
        {"btnEditRecipe", 508, 543, 80, 20},     {"btnNewRecipe", 600, 228, 80, 20},
        {"btnSaveRecipe", 600, 543, 80, 20},     {"btnCancelRecipe", 20, 544, 80, 20},
        {"btnDeleteRecipe", 20, 228, 80, 20},    {"btnPrintRecipe", 303, 543, 80, 20},
        {"txtPageNum", 112, 543, 62, 21},        {"btnPageSetup", 180, 543, 111, 20},
    };
    for (const Box& b : boxes) {
        fw::Control* c = form.FindControl(b.name);
        ASSERT_NE(c, nullptr) << b.name;
        EXPECT_EQ(c->Left(), b.left) << b.name;
        EXPECT_EQ(c->Top(), b.top) << b.name;
        EXPECT_EQ(c->Width(), b.width) << b.name;
        EXPECT_EQ(c->Height(), b.height) << b.name;
    }
    EXPECT_EQ(form.tpnlMain().Value(), 0);
    EXPECT_EQ(form.tpnlMain().Caption(0), "Recipes");
    EXPECT_EQ(form.tpnlMain().Caption(1), "Categories");
    EXPECT_EQ(form.cboSearchOption().Text(), "Contains");
    EXPECT_FALSE(form.txtPageNum().NativeWidget()->isVisible());
    EXPECT_EQ(form.lstRecipe().Heading(), "Recipe Name");
    EXPECT_EQ(form.lstCategory().Heading(), "Category Name");
}

TEST(MainWindowLayout, ControlsFollowTheirLocksAndTheWindowKeepsItsMinimum) {
    LarderonHarness h;
    h.Start();
    class MainForm& form = MainForm();
    form.Resize(800, 700);
    auto box = [&](const char* name) {
        fw::Control& c = *form.FindControl(name);
        return std::vector<int>{c.Left(), c.Top(), c.Width(), c.Height()};
    };
    EXPECT_EQ(box("tpnlMain"), (std::vector<int>{11, 14, 778, 666}));
    EXPECT_EQ(box("lstRecipe"), (std::vector<int>{20, 96, 760, 120}));
    EXPECT_EQ(box("txtDirections"), (std::vector<int>{20, 318, 760, 313}));
    EXPECT_EQ(box("btnSaveRecipe"), (std::vector<int>{700, 643, 80, 20}));
    EXPECT_EQ(box("txtCategoryName"), (std::vector<int>{322, 117, 458, 524}));
    EXPECT_EQ(box("lstCategory"), (std::vector<int>{20, 58, 290, 608}));
    EXPECT_EQ(box("cboCategory"), (std::vector<int>{20, 64, 226, 20}));
    EXPECT_EQ(box("StaticText2"), (std::vector<int>{20, 295, 984, 20}));
    form.Resize(300, 200);
    EXPECT_EQ(form.Width(), 600);
    EXPECT_EQ(form.Height(), 500);
}

TEST(MainWindowLayout, PagesShowTheirOwnControls) {
    LarderonHarness h;
    h.Start();
    class MainForm& form = MainForm();
    form.NativeWidget()->show();
    EXPECT_TRUE(form.lstRecipe().NativeWidget()->isVisible());
    EXPECT_FALSE(form.lstCategory().NativeWidget()->isVisible());
    form.tpnlMain().Value(1);
    EXPECT_FALSE(form.lstRecipe().NativeWidget()->isVisible());
    EXPECT_TRUE(form.lstCategory().NativeWidget()->isVisible());
}

TEST(MenuBar, NineteenItemsOnceEachWithTheirCaptionsAndShortcuts) {
    LarderonHarness h;
    h.Start();
    class MainFormMenu& menu = MainFormMenu();
    EXPECT_EQ(&menu, &MainFormMenu());
    EXPECT_EQ(MainForm().MenuBar(), &menu);
    EXPECT_EQ(h.App().MenuBar(), &menu);
    ASSERT_EQ(menu.Count(), 3u);
    EXPECT_EQ(menu.Child("FileMenu")->Count(), 8u);
    EXPECT_EQ(menu.Child("EditMenu")->Count(), 6u);
    EXPECT_EQ(menu.Child("HelpMenu")->Count(), 2u);
    struct Row {
        const char* name;
        const char* text;
        const char* shortcut;
        bool autoEnable;
    };
    const Row rows[] = {
        {"FileMenu", "&File", "", true},
        {"FileBackup", "Backup...", "", true},
        {"FileRestore", "Restore...", "", true},
        {"UntitledSeparator1", "-", "", true},
        {"FilePageSetup", "Page Setup...", "", false},
        {"UntitledSeparator0", "-", "", true},
        {"FilePrint", "Print...", "P", false},
        {"UntitledSeparator", "-", "", true},
        {"FileQuit", "&Quit", "Cmd+Q", true},
        {"EditMenu", "&Edit", "", true},
        {"EditCut", "Cu&t", "Cmd+X", true},
        {"EditCopy", "&Copy", "Cmd+C", true},
        {"EditPaste", "&Paste", "Cmd+V", true},
        {"EditClear", "&Delete", "", true},
        {"UntitledMenu0", "-", "", true},
        {"EditSelectAll", "Select &All", "Cmd+A", true},
        {"HelpMenu", "Help", "", true},
        {"HelpAbout", "About...", "", true},
        {"HelpUserGuide", "User Guide", "", true},
    };
    for (const Row& r : rows) {
        fw::MenuItem* item = menu.FindItem(r.name);
        ASSERT_NE(item, nullptr) << r.name;
        EXPECT_EQ(item->Text(), r.text) << r.name;
        EXPECT_EQ(item->KeyboardShortcut(), r.shortcut) << r.name;
        EXPECT_EQ(item->AutoEnable(), r.autoEnable) << r.name;
        // What the opened menu shows: the caption, or a bare line for a separator.
        const QAction* shown = item->NativeAction();
        EXPECT_EQ(shown->isSeparator(), std::string(r.text) == "-") << r.name;
        EXPECT_EQ(shown->text().toStdString(), shown->isSeparator() ? "" : r.text) << r.name;
    }
    EXPECT_NE(MainForm().FileQuit(), nullptr);
    EXPECT_NE(MainForm().HelpAbout(), nullptr);
}

TEST(MainWindowLayout, AScreenReaderNamesEveryControlAndReadsTheListsAsTheyAreNow) {
    LarderonHarness h(LarderonHarness::Options{true, driving::SeedBook});
    class MainForm& form = ShownOverSeededBook(h);

    const std::pair<const char*, const char*> names[] = {
        {"lstRecipe", "Recipes"},
        {"txtSearch", "Search"},
        {"btnResetSearch", "Clear search"},
        {"lstCategory", "Categories"},
        {"txtCategoryName", "Category Name"},
        {"txtRecipeName", "Recipe Name"},
        {"txtDirections", "Directions"},
        {"btnSaveRecipe", "Save"},
    };
    for (const auto& [control, name] : names)
        EXPECT_EQ(Accessible(*form.FindControl(control))->text(QAccessible::Name).toStdString(),
                  name)
            << control;
    // "X" has no tip on screen, as designed; only a screen reader names it.
    EXPECT_EQ(form.btnResetSearch().NativeWidget()->toolTip().toStdString(), "");

    // A pop-up is named by the row it shows; what it is for, by its label or its description.
    const std::pair<const char*, const char*> popups[] = {
        {"cboSearchOption", "Search option"},
        {"cboCategory", "Category filter"},
        {"cboRecipeCategory", ""},
    };
    for (const auto& [control, description] : popups) {
        auto& popup = form.ControlByName<fw::PopupMenu>(control);
        QAccessibleInterface* iface = Accessible(popup);
        EXPECT_FALSE(popup.Text().empty()) << control;
        EXPECT_EQ(iface->text(QAccessible::Name).toStdString(), popup.Text()) << control;
        EXPECT_EQ(iface->text(QAccessible::Description).toStdString(), description) << control;
    }
    for (const auto& control : form.Controls()) {
        if (auto* popup = dynamic_cast<fw::PopupMenu*>(control.get())) {
            QAccessibleInterface* iface = Accessible(*popup);
            EXPECT_TRUE(!iface->text(QAccessible::Description).isEmpty() ||
                        !iface->relations(QAccessible::Label).isEmpty())
                << popup->Name() << " does not say what it is for";
        }
    }

    const std::pair<const char*, const char*> labels[] = {
        {"StaticText1", "txtCategoryName"},
        {"StaticText2", "txtDirections"},
        {"StaticText4", "txtRecipeName"},
        {"StaticText5", "cboRecipeCategory"},
    };
    for (const auto& [labelName, fieldName] : labels) {
        QAccessibleInterface* label = Accessible(*form.FindControl(labelName));
        QAccessibleInterface* field = Accessible(*form.FindControl(fieldName));
        auto labelled = label->relations(QAccessible::Labelled);
        EXPECT_TRUE(labelled.size() == 1 && labelled.front().first == field) << labelName;
        auto namedBy = field->relations(QAccessible::Label);
        EXPECT_TRUE(std::any_of(namedBy.begin(), namedBy.end(), [&](const auto& relation) {
            return relation.first == label;
        })) << fieldName;
    }

    // The lists, read by a screen reader right after each refill, before the event loop runs
    // again, and with the row count it learnt before the refill.
    ScreenReaderListening listening;
    fw::Listbox& recipes = form.lstRecipe();
    fw::Listbox& categories = form.lstCategory();
    ListReader recipeReader{Accessible(recipes)};
    ListReader categoryReader{Accessible(categories)};
    ListReader filterReader{Accessible(form.cboCategory())->child(0)};
    EXPECT_EQ(recipeReader.Read(), Shown("Recipe Name", driving::Rows(recipes)));
    EXPECT_EQ(categoryReader.Read(), Shown("Category Name", driving::Rows(categories)));

    QTest::keyClick(form.txtSearch().NativeWidget(), Qt::Key_S);
    ASSERT_EQ(driving::Rows(recipes), (std::vector<std::string>{"Bagels", "Carrot Soup"}));
    EXPECT_EQ(recipeReader.Read(), Shown("Recipe Name", driving::Rows(recipes)));
    QTest::keyClick(form.txtSearch().NativeWidget(), Qt::Key_Backspace);
    ASSERT_EQ(recipes.ListCount(), 4);
    EXPECT_EQ(recipeReader.ReadAsKnown(),
              First(Shown("Recipe Name", driving::Rows(recipes)), recipeReader.known));
    EXPECT_EQ(recipeReader.Read(), Shown("Recipe Name", driving::Rows(recipes)));

    // A new category refills the category list, which sets no selection, and the filter.
    form.tpnlMain().Value(1);
    form.btnNewCategory().Push();
    driving::TypeInto(form.txtCategoryName(), "Cakes");
    form.btnSaveCategory().Push();
    ASSERT_EQ(driving::Rows(categories),
              (std::vector<std::string>{"Bread", "Cakes", "General", "Soup", "Unused"}));
    EXPECT_EQ(categoryReader.ReadAsKnown(),
              First(Shown("Category Name", driving::Rows(categories)), categoryReader.known));
    EXPECT_EQ(categoryReader.Read(), Shown("Category Name", driving::Rows(categories)));
    EXPECT_EQ(filterReader.Read(), driving::Rows(form.cboCategory()));

    QCoreApplication::processEvents();
    EXPECT_EQ(recipeReader.Read(), Shown("Recipe Name", driving::Rows(recipes)));
    EXPECT_EQ(categoryReader.Read(), Shown("Category Name", driving::Rows(categories)));
    EXPECT_TRUE(g_invalidIndexWarnings.isEmpty())
        << g_invalidIndexWarnings.join(QLatin1Char('\n')).toStdString();
}

TEST(MainWindowLayout, APopUpIsNamedByTheRowItShowsAfterEveryChangeOfRow) {
    LarderonHarness h(LarderonHarness::Options{true, driving::SeedBook});
    class MainForm& form = ShownOverSeededBook(h);
    ScreenReaderListening listening;

    struct Step {
        const char* what;
        const char* popup;
        std::function<void(class MainForm&)> change;
        const char* shown;
    };
    const Step steps[] = {
        {"the person chooses an option", "cboSearchOption",
         [](class MainForm& f) { f.cboSearchOption().ChooseRowAsUser(2); }, "Begins With"},
        {"the person chooses a filter", "cboCategory",
         [](class MainForm& f) {
             f.cboCategory().ChooseRowAsUser(driving::RowOf(f.cboCategory(), "Soup"));
         },
         "Soup"},
        {"the person chooses a recipe", "cboRecipeCategory",
         [](class MainForm& f) {
             driving::ClickRow(f.lstRecipe(), driving::RowOf(f.lstRecipe(), "Carrot Soup"));
         },
         "Soup"},
        {"a new category refills the filter", "cboCategory",
         [](class MainForm& f) {
             f.tpnlMain().Value(1);
             f.btnNewCategory().Push();
             driving::TypeInto(f.txtCategoryName(), "Cakes");
             f.btnSaveCategory().Push();
         },
         "All"},
        {"the program sets the row", "cboCategory",
         [](class MainForm& f) { f.cboCategory().ListIndex(1); }, "Bread"},
        {"a refill that sets no row", "cboSearchOption",
         [](class MainForm& f) {
             f.cboSearchOption().DeleteAllRows();
             for (const char* row : {"Contains", "Is Exactly", "Begins With", "Ends With"})
                 f.cboSearchOption().AddRow(row);
         },
         ""},
        {"the program sets a row after the refill", "cboSearchOption",
         [](class MainForm& f) { f.cboSearchOption().ListIndex(3); }, "Ends With"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        auto& popup = form.ControlByName<fw::PopupMenu>(step.popup);
        g_renamed.clear();
        step.change(form);
        ASSERT_EQ(popup.Text(), step.shown);
        QAccessibleInterface* iface = Accessible(popup);
        EXPECT_EQ(iface->text(QAccessible::Name).toStdString(), step.shown);
        auto last = std::find_if(g_renamed.rbegin(), g_renamed.rend(), [&](const Renamed& r) {
            return r.object == popup.NativeWidget();
        });
        ASSERT_NE(last, g_renamed.rend()) << "no new name told";
        EXPECT_EQ(last->name, step.shown);
        // The rows, read while the list is closed, mark the shown one (and none when none is).
        QAccessibleInterface* rows = iface->child(0);
        ASSERT_NE(rows, nullptr);
        ASSERT_EQ(rows->childCount(), popup.ListCount());
        for (int row = 0; row < popup.ListCount(); ++row)
            EXPECT_EQ(rows->child(row)->state().selected, row == popup.ListIndex()) << row;
    }
}

TEST(MainWindowLayout, AScreenReaderStopsListeningEvenWhenACheckFailsMidway) {
    const bool wasActive = QAccessible::isActive();
    const QtMessageHandler before = CurrentMessageHandler();
    EXPECT_FATAL_FAILURE(FailWhileListening(), "a check failed midway");
    EXPECT_EQ(QAccessible::isActive(), wasActive);
    EXPECT_EQ(CurrentMessageHandler(), before);
}
