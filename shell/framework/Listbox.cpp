#include "framework/Listbox.h"

#include <QAbstractListModel>
#include <QAccessible>
#include <QCoreApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPointer>
#include <QTimer>
#include <QTreeView>
#include <vector>

#include "framework/ControlSupport.h"
#include "framework/Window.h"

namespace fw {

using detail::Lines;
using detail::Q;

// Listbox: a model-backed view with rows of one height, so that a list of 100,000 rows fills
// and paints quickly. Rows added in one go are announced to the view in one batch (one per row
// costs a fifth more per refill): when the program sets the selection, when the handler that
// added them returns, and for rows added outside a handler from a posted event.
//
// A screen reader asks the view, not the model, how many rows there are and which, and the view
// answers from the rows it has laid out, which it otherwise does only when it next paints: a
// reader asking in between would hear an empty list, and one going by the count it learnt
// before the refill would ask for rows the view does not have. So while accessibility is on, each
// batch is laid out as it is announced. While it is off, nobody asks, and the view lays out
// when it paints: laying out inside the person's keystroke leaves the next refill and the
// engine markedly slower (3 ms more per keystroke at 10,000 recipes, 20 to 30 at 100,000), though
// the layout itself takes a tenth of that.

namespace {

class ListView : public QTreeView {
  public:
    void LayOutNow() { executeDelayedItemsLayout(); }
};

// Whether accessibility is on: the platform's bridge turns it on when a screen reader is
// listening, an in-process client by QAccessible::setActive.
class AccessibilityUse : public QAccessible::ActivationObserver {
  public:
    bool active = QAccessible::isActive();
    void accessibilityActiveChanged(bool on) override { active = on; }
};

bool AccessibilityOn() {
    // Lives as long as the process: Qt may report a change while shutting down.
    static AccessibilityUse* use = [] {
        auto* observer = new AccessibilityUse();
        QAccessible::installActivationObserver(observer);
        return observer;
    }();
    return use->active;
}

// The lists holding rows not yet announced, and whether their announcement is already posted.
std::vector<QPointer<QAbstractItemModel>>& Unannounced() {
    static std::vector<QPointer<QAbstractItemModel>> models;
    return models;
}
bool announcementPosted = false;

}  // namespace

class Listbox::Model : public QAbstractListModel {
  public:
    struct Row {
        std::string text;
        Tag tag;
    };
    std::vector<Row> rows;
    int announced = 0;
    QString heading;
    ListView* view = nullptr;
    bool waiting = false;  // among the unannounced

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : announced;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= announced)
            return {};
        return QString::fromStdString(rows[index.row()].text);
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return heading;
        return {};
    }
    void Clear() {
        beginResetModel();
        rows.clear();
        announced = 0;
        endResetModel();
    }
    void Added() {
        if (waiting)
            return;
        waiting = true;
        Unannounced().emplace_back(this);
        if (!announcementPosted) {
            announcementPosted = true;
            QTimer::singleShot(0, QCoreApplication::instance(), [] {
                announcementPosted = false;
                AnnounceAddedRows();
            });
        }
    }
    void Flush() {
        int total = static_cast<int>(rows.size());
        if (total <= announced)
            return;
        beginInsertRows(QModelIndex(), announced, total - 1);
        announced = total;
        endInsertRows();
        if (AccessibilityOn())
            view->LayOutNow();
    }
    void RowChanged(int row) {
        if (row < announced)
            emit dataChanged(index(row), index(row));
    }
};

void Listbox::AnnounceAddedRows() {
    std::vector<QPointer<QAbstractItemModel>> models;
    models.swap(Unannounced());
    for (const QPointer<QAbstractItemModel>& m : models) {
        if (auto* model = static_cast<Model*>(m.data())) {
            model->waiting = false;
            model->Flush();
        }
    }
}

Listbox::Listbox(Window& window, std::string name) : Control(window, std::move(name)) {
    AccessibilityOn();  // from the first list on, so that no change goes unnoticed
    auto* view = new ListView();
    view_ = view;
    model_ = new Model();
    model_->setParent(view_);
    model_->view = view;
    view_->setModel(model_);
    view_->setUniformRowHeights(true);
    view_->setRootIsDecorated(false);
    view_->setItemsExpandable(false);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->header()->setStretchLastSection(true);
    view_->header()->setSectionsClickable(false);
    QObject::connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged,
                     [this] { SelectionChangedByView(); });
    SetWidget(view_);
}

Listbox::~Listbox() = default;

void Listbox::SetProperties(const ControlProperties& properties) {
    designed_ = properties;
    std::vector<std::string> heading = Lines(properties.initialValue);
    model_->heading = heading.empty() ? QString() : Q(heading.front());
    view_->setHeaderHidden(!properties.hasHeading);
    view_->setHorizontalScrollBarPolicy(properties.scrollbarHorizontal ? Qt::ScrollBarAsNeeded
                                                                       : Qt::ScrollBarAlwaysOff);
    ApplyCommonProperties();
}

void Listbox::DeleteAllRows() {
    ++programChange_;
    model_->Clear();
    --programChange_;
    lastIndex_ = -1;
}

void Listbox::AddRow(std::string text) {
    model_->rows.push_back({std::move(text), Tag()});
    lastIndex_ = static_cast<int>(model_->rows.size()) - 1;
    model_->Added();
}

int Listbox::ListCount() const {
    return static_cast<int>(model_->rows.size());
}

int Listbox::ListIndex() const {
    QModelIndexList selected = view_->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.front().row();
}

void Listbox::ListIndex(int index) {
    // A row that does not exist selects none.
    if (index < 0 || index >= ListCount())
        index = -1;
    model_->Flush();
    ++programChange_;
    if (index < 0) {
        view_->selectionModel()->clearSelection();
        view_->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    } else {
        QModelIndex at = model_->index(index);
        view_->selectionModel()->setCurrentIndex(
            at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        view_->scrollTo(at);
    }
    --programChange_;
    ReportSelection(reported_, Current());
}

void Listbox::SelectRowAsUser(int index) {
    model_->Flush();
    if (index < 0 || index >= ListCount()) {
        view_->selectionModel()->clearSelection();
        return;
    }
    view_->selectionModel()->setCurrentIndex(
        model_->index(index), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void Listbox::SelectionChangedByView() {
    if (programChange_ > 0)
        return;
    // The view reports only real changes, so the person did choose another row, even when it is
    // the row last reported: a refill that sets no selection (UpdateCategoryList) drops that row
    // without a word, and clicking it again must still reach the handler.
    reported_ = Current();
    RaiseEvent("Change");
}

SelectedRow Listbox::Current() const {
    int index = ListIndex();
    if (index < 0)
        return {};
    const Model::Row& row = model_->rows[index];
    return {index, row.text, row.tag};
}

void Listbox::CheckRow(int row, int column) const {
    if (row < 0 || row >= ListCount() || column != 0) {
        throw OutOfBoundsException("list " + Name() + " has no cell (" + std::to_string(row) +
                                   ", " + std::to_string(column) + ")");
    }
}

std::string Listbox::Cell(int row, int column) const {
    CheckRow(row, column);
    return model_->rows[row].text;
}

void Listbox::Cell(int row, int column, std::string text) {
    CheckRow(row, column);
    model_->rows[row].text = std::move(text);
    model_->RowChanged(row);
}

Tag Listbox::CellTag(int row, int column) const {
    CheckRow(row, column);
    return model_->rows[row].tag;
}

void Listbox::CellTag(int row, int column, Tag tag) {
    CheckRow(row, column);
    model_->rows[row].tag = std::move(tag);
}

std::string Listbox::Heading() const {
    return model_->heading.toStdString();
}

}  // namespace fw
