#include "framework/PopupMenu.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>

#include "framework/ControlSupport.h"
#include "framework/Window.h"

namespace fw {

using detail::Lines;
using detail::Q;

namespace {

// A pop-up's own widget class, so that accessibility can tell it from other combo boxes.
class PopupComboBox : public QComboBox {
    Q_OBJECT
};

// What a screen reader is told about a pop-up. Qt's own combo box interface names the box by
// its current row on this platform and ignores the accessible name, so "Category filter" would
// be read as "All"; this one takes the accessible name as the name and the row as the value,
// and otherwise gives what Qt's does: the list of rows as the one child, and opening the list
// as an action.
class AccessiblePopup : public QAccessibleWidget {
  public:
    explicit AccessiblePopup(QWidget* widget) : QAccessibleWidget(widget, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value ||
            (t == QAccessible::Name && Combo()->accessibleName().isEmpty()))
            return Combo()->currentText();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(Combo()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child->object() == Combo()->view() ? 0 : -1;
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = Combo()->view()->isVisible();
        s.collapsed = !s.expanded;
        return s;
    }
    QStringList actionNames() const override {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == showMenuAction() || action == pressAction()) {
            if (Combo()->view()->isVisible())
                Combo()->hidePopup();
            else
                Combo()->showPopup();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

  private:
    QComboBox* Combo() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* PopupAccessibility(const QString& className, QObject* object) {
    if (className == QLatin1String(PopupComboBox::staticMetaObject.className()))
        return new AccessiblePopup(static_cast<QWidget*>(object));
    return nullptr;
}

}  // namespace

PopupMenu::PopupMenu(Window& window, std::string name) : Control(window, std::move(name)) {
    static const bool accessibilityInstalled = [] {
        QAccessible::installFactory(PopupAccessibility);
        return true;
    }();
    (void)accessibilityInstalled;
    combo_ = new PopupComboBox();
    QObject::connect(combo_, &QComboBox::currentIndexChanged,
                     [this](int) { IndexChangedByView(); });
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

SelectedRow PopupMenu::Current() const {
    int index = ListIndex();
    if (index < 0 || index >= static_cast<int>(tags_.size()))
        return {};
    return {index, combo_->itemText(index).toStdString(), tags_[index]};
}

}  // namespace fw

#include "PopupMenu.moc"
