// The rules for which changes raise a control's event: the main window's consistency rests on them.

#include <gtest/gtest.h>

#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>

#include "framework/Application.h"
#include "framework/Controls.h"
#include "framework/Window.h"
#include "support/ScriptedDialogs.h"

namespace {

class TestWindow : public fw::Window {
  public:
    void CreateControls() override {
        NewControl<fw::Listbox>("list").SetProperties(Props(0));
        NewControl<fw::PopupMenu>("popup").SetProperties(Props(1));
        NewControl<fw::EditField>("field").SetProperties(Props(2));
        NewControl<fw::PushButton>("button").SetProperties(Props(3));
        fw::ControlProperties notes = Props(4);
        notes.multiline = true;
        notes.height = 120;
        NewControl<fw::EditField>("notes").SetProperties(notes);
        ControlByName<fw::Listbox>("list").InstallEventHandler(
            "Change", [this] { events.push_back("list"); });
        ControlByName<fw::PopupMenu>("popup").InstallEventHandler(
            "Change", [this] { events.push_back("popup"); });
        ControlByName<fw::EditField>("field").InstallEventHandler(
            "TextChange", [this] { events.push_back("field"); });
        ControlByName<fw::PushButton>("button").InstallEventHandler(
            "Action", [this] { events.push_back("button"); });
        ControlByName<fw::EditField>("notes").InstallEventHandler(
            "TextChange", [this] { events.push_back("notes"); });
    }
    static fw::ControlProperties Props(int i) {
        fw::ControlProperties p;
        p.left = 10;
        p.top = 10 + 40 * i;
        p.width = 200;
        p.height = 30;
        p.initialValue = i == 1 ? "One\rTwo" : "Heading";
        p.listIndex = 0;
        return p;
    }
    fw::Listbox& list() { return ControlByName<fw::Listbox>("list"); }
    fw::PopupMenu& popup() { return ControlByName<fw::PopupMenu>("popup"); }
    fw::EditField& field() { return ControlByName<fw::EditField>("field"); }
    fw::EditField& notes() { return ControlByName<fw::EditField>("notes"); }
    std::vector<std::string> events;
};

class ControlEvents : public ::testing::Test {
  protected:
    void SetUp() override {
        app.Register();
        window.Constructor();
        window.events.clear();
        for (const char* row : {"Apple", "Bread", "Cake"}) {
            window.list().AddRow(row);
            window.list().CellTag(window.list().LastIndex(), 0, std::string("id-") + row);
        }
    }
    ScriptedDialogs dialogs;
    fw::Application app;
    TestWindow window;
};

TEST_F(ControlEvents, DesignedValuesRaiseNothingAndPopupStartsOnItsDesignedRow) {
    EXPECT_TRUE(window.events.empty());
    EXPECT_EQ(window.popup().ListIndex(), 0);
    EXPECT_EQ(window.popup().Text(), "One");
}

TEST_F(ControlEvents, ListIndexRaisesChangeOnlyForADifferentRow) {
    window.list().ListIndex(1);
    window.list().ListIndex(1);
    EXPECT_EQ(window.events, std::vector<std::string>{"list"});

    // A refill that keeps the same row at the same place raises nothing...
    window.list().DeleteAllRows();
    for (const char* row : {"Apple", "Bread", "Cake"}) {
        window.list().AddRow(row);
        window.list().CellTag(window.list().LastIndex(), 0, std::string("id-") + row);
    }
    window.list().ListIndex(1);
    EXPECT_EQ(window.events.size(), 1u);

    // ...one that puts another row there raises once...
    window.list().DeleteAllRows();
    for (const char* row : {"Apple", "Banana", "Cake"}) {
        window.list().AddRow(row);
        window.list().CellTag(window.list().LastIndex(), 0, std::string("id-") + row);
    }
    window.list().ListIndex(1);
    EXPECT_EQ(window.events.size(), 2u);

    // ...and a position past the end selects nothing, which is a change too.
    window.list().DeleteAllRows();
    window.list().AddRow("Apple");
    window.list().ListIndex(1);
    EXPECT_EQ(window.list().ListIndex(), -1);
    EXPECT_EQ(window.events.size(), 3u);
}

TEST_F(ControlEvents, ClearingAndAddingRowsRaiseNothing) {
    window.list().ListIndex(2);
    window.events.clear();
    window.list().DeleteAllRows();
    window.list().AddRow("x");
    window.popup().DeleteAllRows();
    window.popup().AddRow("y");
    EXPECT_TRUE(window.events.empty());
    EXPECT_EQ(window.list().ListIndex(), -1);
    EXPECT_EQ(window.popup().ListIndex(), -1) << "adding rows selects nothing";
}

TEST_F(ControlEvents, PopupRaisesChangeWhenTheShownRowDiffers) {
    window.popup().ListIndex(0);
    EXPECT_TRUE(window.events.empty());
    window.popup().ListIndex(1);
    EXPECT_EQ(window.events, std::vector<std::string>{"popup"});
    // Refilled with the same first row, choosing it again is no change.
    window.popup().DeleteAllRows();
    window.popup().AddRow("One");
    window.popup().ListIndex(0);
    EXPECT_EQ(window.events.size(), 2u) << "from Two back to One is a change";
    window.popup().DeleteAllRows();
    window.popup().AddRow("One");
    window.popup().ListIndex(0);
    EXPECT_EQ(window.events.size(), 2u);
}

TEST_F(ControlEvents, TextRaisesTextChangeOnlyWhenItDiffers) {
    window.field().Text("abc");
    window.field().Text("abc");
    EXPECT_EQ(window.events, std::vector<std::string>{"field"});
    QTest::keyClicks(window.field().NativeWidget(), "d");
    EXPECT_EQ(window.field().Text(), "abcd");
    EXPECT_EQ(window.events.size(), 2u);
}

// Qt's text widgets change what they only show; a field gives back what it was given, and what it
// gives back is the text whose change raises TextChange.
TEST_F(ControlEvents, AFieldGivesBackExactlyWhatItWasGivenUntilThePersonEditsIt) {
    const std::string odd =
        "\xEF\xBB\xBF"
        "a\r\nb\rc\xC2\xA0"
        "d\xE2\x80\xA8"
        "e\xE2\x80\xA9\xFF\xC3" +
        std::string(40000, 'f');
    for (fw::EditField* field : {&window.field(), &window.notes()}) {
        SCOPED_TRACE(field->Name());
        window.events.clear();
        field->Text(odd);
        EXPECT_EQ(field->Text(), odd);
        field->Text(odd);
        EXPECT_EQ(window.events.size(), 1u);
        // Shown alike, but another text.
        field->Text("a\nb");
        field->Text("a\r\nb");
        EXPECT_EQ(field->Text(), "a\r\nb");
        EXPECT_EQ(window.events.size(), 3u);
    }

    // Typed into, the field gives what it shows: line ends as line feeds, a no-break space kept.
    window.notes().Text(
        "a\r\nb\xC2\xA0"
        "c\xE2\x80\xA8"
        "d");
    window.events.clear();
    QTest::keyClick(window.notes().NativeWidget(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(window.notes().NativeWidget(), "e");
    EXPECT_EQ(window.notes().Text(),
              "a\nb\xC2\xA0"
              "c\nde");
    EXPECT_EQ(window.events, std::vector<std::string>{"notes"});
    window.notes().Text("a\r\nb");
    EXPECT_EQ(window.notes().Text(), "a\r\nb");
    EXPECT_EQ(window.events.size(), 2u);
}

// Screen lines of a multi-line field, as the person sees them.
std::vector<QString> ScreenLines(fw::EditField& field) {
    auto* edit = static_cast<QTextEdit*>(field.NativeWidget());
    QCoreApplication::processEvents();
    std::vector<QString> lines;
    for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        for (int i = 0; i < block.layout()->lineCount(); ++i) {
            QTextLine line = block.layout()->lineAt(i);
            EXPECT_LE(line.naturalTextWidth(), edit->viewport()->width()) << "within the field";
            lines.push_back(text.mid(line.textStart(), line.textLength()));
        }
    }
    return lines;
}

TEST_F(ControlEvents, AnUnbrokenLineIsShownBrokenAnywhereAndWordsStayWhole) {
    window.NativeWidget()->show();
    std::string huge;
    while (huge.size() < (1u << 20)) huge += "abcdefghijklmnopqrstuvwxyz0123456789";
    window.notes().Text(huge);
    EXPECT_EQ(window.notes().Text(), huge);
    EXPECT_GT(ScreenLines(window.notes()).size(), 1000u);

    // Ordinary text, after it or typed into it, keeps its words whole.
    std::string words;
    for (int i = 0; i < 100; ++i) words += "Whisk ";
    for (int typed = 0; typed < 2; ++typed) {
        if (typed) {
            window.notes().Text("");
            QTest::keyClicks(window.notes().NativeWidget(), QString::fromStdString(words));
        } else {
            window.notes().Text(words);
        }
        for (const QString& line : ScreenLines(window.notes())) {
            for (const QString& word : line.split(u' ', Qt::SkipEmptyParts))
                EXPECT_EQ(word.toStdString(), "Whisk");
        }
    }

    // A long word pasted into it is broken anywhere too.
    static_cast<QTextEdit*>(window.notes().NativeWidget())
        ->textCursor()
        .insertText(QString(100000, u'x'));
    EXPECT_GT(ScreenLines(window.notes()).size(), 100u);
    EXPECT_EQ(window.notes().Text(), words + std::string(100000, 'x'));
}

TEST_F(ControlEvents, PersonsActionsRaiseEvents) {
    window.list().SelectRowAsUser(2);
    window.popup().ChooseRowAsUser(1);
    window.ControlByName<fw::PushButton>("button").Push();
    EXPECT_EQ(window.events, (std::vector<std::string>{"list", "popup", "button"}));
    EXPECT_EQ(window.list().ListIndex(), 2);
}

TEST_F(ControlEvents, MissingCellsThrowInsteadOfGuessing) {
    EXPECT_THROW(window.list().Cell(-1, 0), fw::OutOfBoundsException);
    EXPECT_THROW(window.list().CellTag(3, 0), fw::OutOfBoundsException);
    EXPECT_THROW(window.popup().RowTag(5), fw::OutOfBoundsException);
    EXPECT_TRUE(window.popup().RowTag(0).IsNone());
    EXPECT_EQ(window.popup().RowTag(0).Integer(), 0) << "no tag reads as 0";
}

TEST_F(ControlEvents, ExceptionInAHandlerIsReportedAndTheWindowLivesOn) {
    window.ControlByName<fw::PushButton>("button").InstallEventHandler(
        "Action", [] { throw std::runtime_error("boom"); });
    window.ControlByName<fw::PushButton>("button").Push();
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_NE(dialogs.Messages()[0].find("boom"), std::string::npos);
}

}  // namespace
