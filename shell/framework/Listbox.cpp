#include "framework/Listbox.h"

#include <QAbstractListModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTimer>
#include <QTreeView>

#include "framework/ControlSupport.h"
#include "framework/Window.h"

namespace fw {

using detail::Lines;
using detail::Q;

// Listbox: a model-backed view with rows of one height, so that a list of 100,000 rows fills
// and paints quickly. Rows added in one go are announced to the view in one batch.

class Listbox::Model : public QAbstractListModel {
  public:
    struct Row {
        std::string text;
        Tag tag;
    };
    std::vector<Row> rows;
    int announced = 0;
    QString heading;
    bool flushPosted = false;

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
    void Flush() {
        int total = static_cast<int>(rows.size());
        if (total <= announced)
            return;
        beginInsertRows(QModelIndex(), announced, total - 1);
        announced = total;
        endInsertRows();
    }
    void RowChanged(int row) {
        if (row < announced)
            emit dataChanged(index(row), index(row));
    }
};

Listbox::Listbox(Window& window, std::string name) : Control(window, std::move(name)) {
    view_ = new QTreeView();
    model_ = new Model();
    model_->setParent(view_);
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
    if (!model_->flushPosted) {
        model_->flushPosted = true;
        QTimer::singleShot(0, model_, [m = model_] {
            m->flushPosted = false;
            m->Flush();
        });
    }
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
