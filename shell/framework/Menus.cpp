#include "framework/Menus.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

#include "framework/Application.h"

namespace fw {

namespace {

QString ShortcutToPortable(const std::string& shortcut) {
    if (shortcut.empty())
        return QString();
    QString text = QString::fromStdString(shortcut);
    // A lone letter means the command key with that letter, as "Cmd+" does.
    if (text.size() == 1)
        return QStringLiteral("Ctrl+") + text.toUpper();
    text.replace(QStringLiteral("Cmd+"), QStringLiteral("Ctrl+"), Qt::CaseInsensitive);
    return text;
}

}  // namespace

MenuItem::MenuItem() : action_(new QAction()) {
    QObject::connect(action_, &QAction::triggered, [this] {
        if (auto* app = Application::Current())
            app->DoMenuCommand(name_);
    });
}

MenuItem::~MenuItem() {
    children_.clear();
    delete menu_;
    delete action_;
}

void MenuItem::Text(const std::string& text) {
    text_ = text;
    ApplyText();
}

void MenuItem::ApplyText() {
    // The "-" only says what the item is: a style draws a separator's text beside its line.
    QString caption = IsSeparator() ? QString() : QString::fromStdString(text_);
    action_->setSeparator(IsSeparator());
    action_->setText(caption);
    if (menu_)
        menu_->setTitle(caption);
}

void MenuItem::KeyboardShortcut(const std::string& shortcut) {
    shortcut_ = shortcut;
    action_->setShortcut(QKeySequence(ShortcutToPortable(shortcut), QKeySequence::PortableText));
}

bool MenuItem::Enabled() const {
    return NativeAction()->isEnabled();
}

void MenuItem::Enabled(bool value) {
    action_->setEnabled(value);
    if (menu_)
        menu_->menuAction()->setEnabled(value);
}

QAction* MenuItem::NativeAction() const {
    return menu_ ? menu_->menuAction() : action_;
}

void MenuItem::Append(std::unique_ptr<MenuItem> item) {
    item->parent_ = this;
    if (!menu_ && dynamic_cast<fw::MenuBar*>(this) == nullptr) {
        // The item becomes a menu: its place in the parent's menu is taken by the menu's action.
        menu_ = new QMenu(QString::fromStdString(text_));
        menu_->menuAction()->setEnabled(action_->isEnabled());
        QObject::connect(menu_, &QMenu::aboutToShow, [] {
            if (auto* app = Application::Current())
                app->EnableMenuItems();
        });
        if (parent_ && parent_->menu_) {
            parent_->menu_->insertAction(action_, menu_->menuAction());
            parent_->menu_->removeAction(action_);
        }
    }
    if (menu_)
        menu_->addAction(item->NativeAction());
    children_.push_back(std::move(item));
}

MenuItem* MenuItem::Child(const std::string& name) const {
    for (const auto& child : children_) {
        if (child->name_ == name)
            return child.get();
    }
    return nullptr;
}

MenuItem* MenuItem::FindItem(const std::string& name) {
    if (name_ == name)
        return this;
    for (const auto& child : children_) {
        if (MenuItem* found = child->FindItem(name))
            return found;
    }
    return nullptr;
}

}  // namespace fw
