#include "framework/Controls.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTabBar>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "framework/Application.h"
#include "framework/Graphics.h"
#include "framework/Window.h"

namespace fw {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(current);
            current.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            current += c;
        }
    }
    if (!current.empty())
        lines.push_back(current);
    return lines;
}

QFont FontFor(const ControlProperties& p) {
    QFont font = QApplication::font();
    if (p.textFont != "System" && !p.textFont.empty())
        font.setFamily(Q(p.textFont));
    if (p.textSize > 0)
        font.setPointSize(p.textSize);
    font.setBold(p.bold);
    font.setItalic(p.italic);
    font.setUnderline(p.underline);
    return font;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Control

Control::Control(Window& window, std::string name) : window_(window), name_(std::move(name)) {}

Control::~Control() = default;

void Control::SetWidget(QWidget* widget) {
    widget_ = widget;
    widget_->setParent(window_.ContentWidget());
}

bool Control::Enabled() const {
    return widget_ && widget_->isEnabled();
}

void Control::Enabled(bool value) {
    if (widget_)
        widget_->setEnabled(value);
}

void Control::Visible(bool value) {
    visible_ = value;
    UpdateVisibility();
}

void Control::PageShown(bool shown) {
    pageShown_ = shown;
    UpdateVisibility();
}

void Control::UpdateVisibility() {
    if (widget_)
        widget_->setVisible(visible_ && pageShown_);
}

void Control::SetFocus() {
    if (widget_)
        widget_->setFocus(Qt::OtherFocusReason);
}

bool Control::HasFocus() const {
    return widget_ && (widget_->hasFocus() || widget_->window()->focusWidget() == widget_);
}

int Control::Left() const {
    return widget_ ? widget_->x() : designed_.left;
}
int Control::Top() const {
    return widget_ ? widget_->y() : designed_.top;
}
int Control::Width() const {
    return widget_ ? widget_->width() : designed_.width;
}
int Control::Height() const {
    return widget_ ? widget_->height() : designed_.height;
}

void Control::SetProperties(const ControlProperties& properties) {
    designed_ = properties;
    ApplyCommonProperties();
}

void Control::ApplyCommonProperties() {
    if (!widget_)
        return;
    widget_->setGeometry(designed_.left, designed_.top, designed_.width, designed_.height);
    widget_->setEnabled(designed_.enabled);
    widget_->setFont(FontFor(designed_));
    visible_ = designed_.visible;
    if (!designed_.initialParent.empty()) {
        if (auto* panel = dynamic_cast<TabPanel*>(window_.FindControl(designed_.initialParent))) {
            panel->AddMember(*this);
        }
    }
    UpdateVisibility();
    ApplyLocks(window_.Width() - 0 - window_.Properties().width,
               window_.Height() - window_.Properties().height);
}

void Control::ApplyLocks(int dw, int dh) {
    if (!widget_)
        return;
    const ControlProperties& d = designed_;
    int left = d.left, top = d.top, width = d.width, height = d.height;
    if (d.lockLeft && d.lockRight) {
        width += dw;
    } else if (d.lockRight) {
        left += dw;
    }
    if (d.lockTop && d.lockBottom) {
        height += dh;
    } else if (d.lockBottom) {
        top += dh;
    }
    widget_->setGeometry(left, top, std::max(0, width), std::max(0, height));
}

void Control::ReportSelection(SelectedRow& reported, SelectedRow now) {
    if (now == reported)
        return;
    reported = std::move(now);
    RaiseEvent("Change");
}

void Control::InstallEventHandler(const std::string& eventName, std::function<void()> handler) {
    handlers_[eventName] = std::move(handler);
}

void Control::RaiseEvent(const std::string& eventName) {
    auto it = handlers_.find(eventName);
    if (it == handlers_.end() || !it->second)
        return;
    auto handler = it->second;  // a handler may replace itself while it runs
    if (auto* app = Application::Current()) {
        app->Guard(handler);
    } else {
        handler();
    }
}

// ---------------------------------------------------------------------------------------------
// TabPanel: a tab bar over a framed page; the controls of each page lie in the window's content,
// so that their positions are the window's own coordinates.

namespace {
class PanelWidget : public QWidget {
  public:
    PanelWidget() {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        tabs = new QTabBar(this);
        tabs->setDrawBase(false);
        tabs->setExpanding(false);
        frame = new QFrame(this);
        frame->setFrameShape(QFrame::StyledPanel);
        layout->addWidget(tabs);
        layout->addWidget(frame, 1);
    }
    QTabBar* tabs;
    QFrame* frame;
};
}  // namespace

TabPanel::TabPanel(Window& window, std::string name) : Control(window, std::move(name)) {
    auto* panel = new PanelWidget();
    tabs_ = panel->tabs;
    SetWidget(panel);
    QObject::connect(tabs_, &QTabBar::currentChanged, [this](int) { ShowPage(); });
}

void TabPanel::SetProperties(const ControlProperties& properties) {
    designed_ = properties;
    while (tabs_->count() > 0) tabs_->removeTab(0);
    for (const std::string& caption : Lines(properties.initialValue)) tabs_->addTab(Q(caption));
    ApplyCommonProperties();
    Value(properties.value);
}

int TabPanel::Value() const {
    return tabs_->currentIndex();
}

void TabPanel::Value(int page) {
    tabs_->setCurrentIndex(page);
    ShowPage();
}

int TabPanel::PageCount() const {
    return tabs_->count();
}

std::string TabPanel::Caption(int page) const {
    return tabs_->tabText(page).toStdString();
}

void TabPanel::AddMember(Control& control) {
    if (std::find(members_.begin(), members_.end(), &control) == members_.end()) {
        members_.push_back(&control);
    }
    control.PageShown(control.DesignedValues().panelIndex == Value() + 1);
    control.NativeWidget()->raise();
}

void TabPanel::ShowPage() {
    for (Control* member : members_)
        member->PageShown(member->DesignedValues().panelIndex == Value() + 1);
}

// ---------------------------------------------------------------------------------------------
// EditField

EditField::EditField(Window& window, std::string name) : Control(window, std::move(name)) {}

EditField::~EditField() = default;

void EditField::Build() {
    if (line_ || multi_)
        return;
    if (designed_.multiline) {
        multi_ = new QTextEdit();
        multi_->setAcceptRichText(designed_.styled);
        multi_->setTabChangesFocus(!designed_.acceptTabs);
        multi_->setVerticalScrollBarPolicy(designed_.scrollbarVertical ? Qt::ScrollBarAsNeeded
                                                                       : Qt::ScrollBarAlwaysOff);
        multi_->setLineWrapMode(designed_.scrollbarHorizontal ? QTextEdit::NoWrap
                                                              : QTextEdit::WidgetWidth);
        QObject::connect(multi_, &QTextEdit::textChanged, [this] {
            if (programChange_ == 0)
                RaiseEvent("TextChange");
        });
        SetWidget(multi_);
    } else {
        line_ = new QLineEdit();
        QObject::connect(line_, &QLineEdit::textChanged, [this] {
            if (programChange_ == 0)
                RaiseEvent("TextChange");
        });
        SetWidget(line_);
    }
}

void EditField::SetProperties(const ControlProperties& properties) {
    designed_ = properties;
    Build();
    ++programChange_;
    if (multi_) {
        multi_->setPlainText(Q(properties.text));
        multi_->setReadOnly(properties.readOnly);
        // Left is the document's own default. Setting it anyway marks the empty first paragraph
        // as formatted, and the first Return typed into the empty field then only clears that
        // format instead of starting a new line.
        if (properties.textAlign == 1 || properties.textAlign == 2)
            multi_->setAlignment(properties.textAlign == 1 ? Qt::AlignHCenter : Qt::AlignRight);
    } else {
        line_->setText(Q(properties.text));
        line_->setReadOnly(properties.readOnly);
        line_->setAlignment(properties.textAlign == 1   ? Qt::AlignHCenter
                            : properties.textAlign == 2 ? Qt::AlignRight
                                                        : Qt::AlignLeft);
    }
    --programChange_;
    ApplyCommonProperties();
}

std::string EditField::Text() const {
    if (multi_)
        return multi_->toPlainText().toStdString();
    if (line_)
        return line_->text().toStdString();
    return designed_.text;
}

void EditField::Text(const std::string& text) {
    if (!line_ && !multi_)
        Build();
    if (Text() == text)
        return;
    ++programChange_;
    if (multi_) {
        multi_->setPlainText(Q(text));
    } else {
        line_->setText(Q(text));
    }
    --programChange_;
    RaiseEvent("TextChange");
}

bool EditField::ReadOnly() const {
    if (multi_)
        return multi_->isReadOnly();
    if (line_)
        return line_->isReadOnly();
    return designed_.readOnly;
}

void EditField::ReadOnly(bool value) {
    if (multi_)
        multi_->setReadOnly(value);
    if (line_)
        line_->setReadOnly(value);
}

std::unique_ptr<QTextDocument> EditField::StyledDocument() const {
    std::unique_ptr<QTextDocument> document;
    QFont font = NativeWidget() ? NativeWidget()->font() : FontFor(designed_);
    if (multi_) {
        document.reset(multi_->document()->clone());
    } else {
        document = std::make_unique<QTextDocument>();
        document->setPlainText(line_ ? line_->text() : Q(designed_.text));
    }
    document->setDefaultFont(font);
    return document;
}

// ---------------------------------------------------------------------------------------------
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

// ---------------------------------------------------------------------------------------------
// PopupMenu

PopupMenu::PopupMenu(Window& window, std::string name) : Control(window, std::move(name)) {
    combo_ = new QComboBox();
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

// ---------------------------------------------------------------------------------------------
// Buttons, labels, canvas

PushButton::PushButton(Window& window, std::string name) : Control(window, std::move(name)) {
    button_ = new QPushButton();
    QObject::connect(button_, &QAbstractButton::clicked, [this] { RaiseEvent("Action"); });
    SetWidget(button_);
}

void PushButton::SetProperties(const ControlProperties& properties) {
    designed_ = properties;
    button_->setText(Q(properties.text));
    if (!properties.acceptFocus)
        button_->setFocusPolicy(Qt::NoFocus);
    ApplyCommonProperties();
}

std::string PushButton::Caption() const {
    return button_->text().toStdString();
}

void PushButton::Caption(const std::string& caption) {
    button_->setText(Q(caption));
}

void PushButton::Push() {
    if (button_->isEnabled() && button_->isVisibleTo(button_->window()))
        button_->click();
}

BevelButton::BevelButton(Window& window, std::string name) : PushButton(window, std::move(name)) {
    static_cast<QPushButton*>(button_)->setFlat(false);
}

void BevelButton::SetProperties(const ControlProperties& properties) {
    PushButton::SetProperties(properties);
    // A small square button: the text fills it without the push button's padding.
    button_->setStyleSheet(QStringLiteral("padding: 0px;"));
}

StaticText::StaticText(Window& window, std::string name) : Control(window, std::move(name)) {
    label_ = new QLabel();
    SetWidget(label_);
}

void StaticText::SetProperties(const ControlProperties& properties) {
    designed_ = properties;
    Text(properties.text);
    label_->setWordWrap(properties.multiline);
    Qt::Alignment horizontal = properties.textAlign == 1   ? Qt::AlignHCenter
                               : properties.textAlign == 2 ? Qt::AlignRight
                                                           : Qt::AlignLeft;
    label_->setAlignment(horizontal | (properties.multiline ? Qt::AlignTop : Qt::AlignVCenter));
    ApplyCommonProperties();
}

std::string StaticText::Text() const {
    return label_->text().toStdString();
}

void StaticText::Text(const std::string& text) {
    QString shown = Q(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QChar('\r'), QChar('\n'));
    label_->setText(shown);
}

namespace {
class CanvasWidget : public QWidget {
  public:
    // Opaque, so that repainting the canvas does not repaint the window behind it, whose Paint
    // event may draw on the canvas again.
    explicit CanvasWidget(const QPixmap* backing) : backing_(backing) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().window());
        painter.drawPixmap(0, 0, *backing_);
    }

  private:
    const QPixmap* backing_;
};
}  // namespace

Canvas::Canvas(Window& window, std::string name) : Control(window, std::move(name)) {
    backing_ = std::make_unique<QPixmap>(1, 1);
    backing_->fill(Qt::transparent);
    SetWidget(new CanvasWidget(backing_.get()));
}

Canvas::~Canvas() = default;

void Canvas::SetProperties(const ControlProperties& properties) {
    designed_ = properties;
    graphics_.reset();
    *backing_ = QPixmap(std::max(1, properties.width), std::max(1, properties.height));
    backing_->fill(Qt::transparent);
    ApplyCommonProperties();
}

fw::Graphics& Canvas::Graphics() {
    if (!graphics_) {
        QWidget* widget = NativeWidget();
        graphics_ = MakePainterGraphics(*backing_, [widget] { widget->update(); });
    }
    return *graphics_;
}

const QPixmap& Canvas::Backing() const {
    return *backing_;
}

}  // namespace fw
