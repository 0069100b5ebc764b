#pragma once

#include <string>
#include <vector>

#include "framework/Control.h"

class QComboBox;

namespace fw {

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
    void TellScreenReader(int index);

    QComboBox* combo_ = nullptr;
    std::vector<Tag> tags_;
    int programChange_ = 0;
    SelectedRow reported_;
};

}  // namespace fw
