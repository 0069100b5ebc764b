#pragma once
// The base of every control of a window, reached by name. Each owns a real Qt widget.
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

#include <functional>
#include <map>
#include <stdexcept>
#include <string>

#include "framework/Tag.h"

class QWidget;

namespace fw {

class Window;

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
    int textSize = 0;         // points; 0 is the system's size. A styled field prints in this size.
    int screenTextSize = -1;  // points on screen, where they differ from textSize (0: the
                              // system's size); -1: textSize
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
    // What a screen reader calls the control, when its text does not say what it is for; empty
    // keeps what Qt derives from the control (a button's caption, a label tied to it). A pop-up
    // is called by its shown row whatever this says.
    std::string accessibleName;
    // What a screen reader says the control is for, where no label names it and its name does
    // not say (a pop-up is named by its shown row).
    std::string accessibleDescription;
    std::string helpTag;   // the tip shown on hovering, also read out as its description
    std::string labelFor;  // a label's: the name of the control it names
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

}  // namespace fw
