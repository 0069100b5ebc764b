#pragma once
// Controls of a window, reached by name. Each owns a real Qt widget.
//
// When a control raises its event (the rules every window relies on):
//  - The person's actions raise events: choosing a list row or pop-up row ("Change"), editing a
//    text field ("TextChange"), pressing a button ("Action").
//  - A change made by the program raises the event only when what the control shows differs from
//    what its handler last saw: setting ListIndex raises "Change" when the selection is now a
//    different row (another index, or the same index now holding another row's text or tag);
//    setting Text raises "TextChange" when the text differs from the field's text.
//  - DeleteAllRows, AddRow, setting a cell, a tag, Enabled, ReadOnly or the focus raise nothing.
//    A selection dropped by DeleteAllRows is therefore noticed at the next ListIndex set, which
//    is how a refill that keeps its selection raises nothing, and one that loses it raises once.
//  - Events are raised at once, inside the call that caused them. Designed values never raise
//    events: handlers are installed after them.
//  - An exception escaping a handler goes to the application's unhandled-exception handling.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/Tag.h"

class QWidget;
class QTextDocument;
class QLineEdit;
class QTextEdit;
class QComboBox;
class QTreeView;
class QTabBar;
class QLabel;
class QAbstractButton;
class QPixmap;

namespace fw {

class Window;
class Graphics;
class StyledTextPrinter;

// Thrown for a row or cell that does not exist.
class OutOfBoundsException : public std::out_of_range {
  public:
    using std::out_of_range::out_of_range;
};

// Designed values of a control, handed over in one block. Only what a class uses is read.
struct ControlProperties {
    int left = 0, top = 0, width = 0, height = 0;
    bool lockLeft = false, lockTop = false, lockRight = false, lockBottom = false;
    int tabIndex = 0;
    std::string initialParent;  // the tab panel the control lies on, or empty for the window
    int panelIndex = 0;         // 1-based page of that panel
    bool enabled = true;
    bool visible = true;
    std::string textFont = "System";
    int textSize = 0;  // points; 0 is the system's size
    bool bold = false, italic = false, underline = false;
    std::string text;          // field text, button caption, label text
    std::string initialValue;  // rows of a pop-up, heading of a list, pages of a tab panel
                               // (one per line, "\r" or "\n")
    int listIndex = -1;        // pop-up selection after the rows are set
    int value = 0;             // tab panel page shown (0-based)
    bool multiline = false, styled = false, acceptTabs = false, readOnly = false;
    bool hasHeading = true;
    bool scrollbarHorizontal = false, scrollbarVertical = true;
    int textAlign = 0;  // 0 left, 1 centre, 2 right
    bool acceptFocus = true;
};

// The row a list's handlers were last told about.
struct SelectedRow {
    int index = -1;
    std::string text;
    Tag tag;
    bool operator==(const SelectedRow&) const = default;
};

class Control {
  public:
    Control(Window& window, std::string name);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& Name() const { return name_; }
    Window& Owner() const { return window_; }

    bool Enabled() const;
    void Enabled(bool value);
    bool Visible() const { return visible_; }
    void Visible(bool value);
    void SetFocus();
    bool HasFocus() const;

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;

    virtual void SetProperties(const ControlProperties& properties);
    const ControlProperties& DesignedValues() const { return designed_; }

    // Attaches the handler of one of the control's events ("Change", "TextChange", "Action").
    void InstallEventHandler(const std::string& eventName, std::function<void()> handler);

    QWidget* NativeWidget() const { return widget_; }

    // Framework: place per the locks for a window content that is dw, dh larger than designed.
    void ApplyLocks(int dw, int dh);
    // Framework: whether the control's tab page is the one shown.
    void PageShown(bool shown);

  protected:
    void RaiseEvent(const std::string& eventName);
    // Raises "Change" when the selection now differs from the one last reported.
    void ReportSelection(SelectedRow& reported, SelectedRow now);
    void SetWidget(QWidget* widget);
    void ApplyCommonProperties();
    void UpdateVisibility();

    ControlProperties designed_;

  private:
    Window& window_;
    std::string name_;
    QWidget* widget_ = nullptr;  // owned by the window's content widget
    bool visible_ = true;
    bool pageShown_ = true;
    std::map<std::string, std::function<void()>> handlers_;
};

class TabPanel : public Control {
  public:
    TabPanel(Window& window, std::string name);
    void SetProperties(const ControlProperties& properties) override;
    int Value() const;  // page shown, 0-based
    void Value(int page);
    int PageCount() const;
    std::string Caption(int page) const;
    void AddMember(Control& control);

  private:
    void ShowPage();
    QTabBar* tabs_ = nullptr;
    std::vector<Control*> members_;
};

class EditField : public Control {
  public:
    EditField(Window& window, std::string name);
    ~EditField() override;
    void SetProperties(const ControlProperties& properties) override;

    std::string Text() const;
    void Text(const std::string& text);
    bool ReadOnly() const;
    void ReadOnly(bool value);
    bool Multiline() const { return designed_.multiline; }

    // A copy of the field's styled text, with the field's font as default, for printing.
    std::unique_ptr<QTextDocument> StyledDocument() const;
    // A printer of the field's styled text for a print job, at a width in drawing units.
    fw::StyledTextPrinter StyledTextPrinter(Graphics& graphics, double width) const;

  private:
    void Build();
    QLineEdit* line_ = nullptr;
    QTextEdit* multi_ = nullptr;
    int programChange_ = 0;
};

// One-column list with a heading; rows keep a text and a tag per cell.
class Listbox : public Control {
  public:
    Listbox(Window& window, std::string name);
    ~Listbox() override;
    void SetProperties(const ControlProperties& properties) override;

    void DeleteAllRows();
    // Texts and tags are taken by value: a refill hands over each row's fresh strings, which
    // the list then keeps without copying them again.
    void AddRow(std::string text);
    int ListCount() const;
    int LastIndex() const { return lastIndex_; }
    int ListIndex() const;
    void ListIndex(int index);
    std::string Cell(int row, int column) const;
    void Cell(int row, int column, std::string text);
    Tag CellTag(int row, int column) const;
    void CellTag(int row, int column, Tag tag);
    std::string Heading() const;

    // Framework and tests: the person selects a row (-1 clears) as a click would.
    void SelectRowAsUser(int index);

  private:
    class Model;
    SelectedRow Current() const;
    void SelectionChangedByView();
    void CheckRow(int row, int column) const;

    QTreeView* view_ = nullptr;
    Model* model_ = nullptr;
    int lastIndex_ = -1;
    int programChange_ = 0;
    SelectedRow reported_;
};

// Drop-down list of rows with tags; ListIndex -1 shows no row.
class PopupMenu : public Control {
  public:
    PopupMenu(Window& window, std::string name);
    void SetProperties(const ControlProperties& properties) override;

    void DeleteAllRows();
    void AddRow(const std::string& text);
    int ListCount() const;
    int ListIndex() const;
    void ListIndex(int index);
    std::string List(int row) const;
    std::string Text() const;  // the shown row's text, or ""
    Tag RowTag(int row) const;
    void RowTag(int row, const Tag& tag);

    // Tests: the person chooses a row as a click would.
    void ChooseRowAsUser(int index);

  private:
    SelectedRow Current() const;
    void IndexChangedByView();

    QComboBox* combo_ = nullptr;
    std::vector<Tag> tags_;
    int programChange_ = 0;
    SelectedRow reported_;
};

class PushButton : public Control {
  public:
    PushButton(Window& window, std::string name);
    void SetProperties(const ControlProperties& properties) override;
    std::string Caption() const;
    void Caption(const std::string& caption);
    void Push();  // as a click would, only when enabled and visible

  protected:
    QAbstractButton* button_ = nullptr;
};

class BevelButton : public PushButton {
  public:
    BevelButton(Window& window, std::string name);
    void SetProperties(const ControlProperties& properties) override;
};

class StaticText : public Control {
  public:
    StaticText(Window& window, std::string name);
    void SetProperties(const ControlProperties& properties) override;
    std::string Text() const;
    void Text(const std::string& text);

  private:
    QLabel* label_ = nullptr;
};

// A drawing area that keeps what was drawn on it.
class Canvas : public Control {
  public:
    Canvas(Window& window, std::string name);
    ~Canvas() override;
    void SetProperties(const ControlProperties& properties) override;
    fw::Graphics& Graphics();
    // What the canvas shows, for tests and screenshots.
    const QPixmap& Backing() const;

  private:
    class Surface;
    std::unique_ptr<QPixmap> backing_;
    std::unique_ptr<fw::Graphics> graphics_;
};

}  // namespace fw
