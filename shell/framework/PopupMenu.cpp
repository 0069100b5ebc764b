#include "framework/PopupMenu.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QItemSelectionModel>

#include "framework/ControlSupport.h"
#include "framework/Window.h"

namespace fw {

using detail::Lines;
using detail::Q;

PopupMenu::PopupMenu(Window& window, std::string name) : Control(window, std::move(name)) {
    combo_ = new QComboBox();
    QObject::connect(combo_, &QComboBox::currentIndexChanged, [this](int index) {
        TellScreenReader(index);
        IndexChangedByView();
    });
    SetWidget(combo_);
}

void PopupMenu::SetProperties(const ControlProperties& properties) {
    designed_ = properties;
    ++programChange_;
    combo_->clear();
    tags_.clear();
    for (const std::string& row : Lines(properties.initialValue)) {
        combo_->addItem(Q(row));
        tags_.emplace_back();
    }
    int index = properties.listIndex < ListCount() ? properties.listIndex : -1;
    combo_->setCurrentIndex(index);
    --programChange_;
    reported_ = Current();
    ApplyCommonProperties();
}

void PopupMenu::DeleteAllRows() {
    ++programChange_;
    combo_->clear();
    tags_.clear();
    --programChange_;
}

void PopupMenu::AddRow(const std::string& text) {
    ++programChange_;
    int before = combo_->currentIndex();
    combo_->addItem(Q(text));
    tags_.emplace_back();
    // Adding the first row selects nothing: the selection is the program's to set.
    if (before < 0)
        combo_->setCurrentIndex(-1);
    --programChange_;
}

int PopupMenu::ListCount() const {
    return combo_->count();
}

int PopupMenu::ListIndex() const {
    return combo_->currentIndex();
}

void PopupMenu::ListIndex(int index) {
    if (index < 0 || index >= ListCount())
        index = -1;
    ++programChange_;
    combo_->setCurrentIndex(index);
    --programChange_;
    ReportSelection(reported_, Current());
}

std::string PopupMenu::List(int row) const {
    if (row < 0 || row >= ListCount())
        throw OutOfBoundsException("pop-up " + Name() + " has no row " + std::to_string(row));
    return combo_->itemText(row).toStdString();
}

std::string PopupMenu::Text() const {
    return combo_->currentText().toStdString();
}

Tag PopupMenu::RowTag(int row) const {
    if (row < 0 || row >= ListCount())
        throw OutOfBoundsException("pop-up " + Name() + " has no row " + std::to_string(row));
    return tags_[row];
}

void PopupMenu::RowTag(int row, const Tag& tag) {
    if (row < 0 || row >= ListCount())
        throw OutOfBoundsException("pop-up " + Name() + " has no row " + std::to_string(row));
    tags_[row] = tag;
}

void PopupMenu::ChooseRowAsUser(int index) {
    combo_->setCurrentIndex(index);
}

void PopupMenu::IndexChangedByView() {
    if (programChange_ == 0)
        ReportSelection(reported_, Current());
}

void PopupMenu::TellScreenReader(int index) {
    // The closed list keeps the selection it had when it last closed; a screen reader going
    // through its rows finds the shown one marked, and none while none is shown.
    QItemSelectionModel* selection = combo_->view()->selectionModel();
    if (index >= 0) {
        selection->setCurrentIndex(combo_->model()->index(index, combo_->modelColumn()),
                                   QItemSelectionModel::ClearAndSelect);
    } else {
        selection->clear();
    }
    // Qt names a pop-up by its shown row here and tells only of a new value; the name changes
    // with it, and a screen reader that follows names hears the new row.
    if (QAccessible::isActive()) {
        QAccessibleEvent renamed(combo_, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&renamed);
    }
}

SelectedRow PopupMenu::Current() const {
    int index = ListIndex();
    if (index < 0 || index >= static_cast<int>(tags_.size()))
        return {};
    return {index, combo_->itemText(index).toStdString(), tags_[index]};
}

}  // namespace fw
