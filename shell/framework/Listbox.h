#pragma once

#include <string>

#include "framework/Control.h"

class QTreeView;

namespace fw {

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

    // Framework: announces to Qt the rows every list was given since it last did.
    static void AnnounceAddedRows();

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

}  // namespace fw
