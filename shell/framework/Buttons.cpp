#include "framework/Buttons.h"

#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "framework/ControlSupport.h"
#include "framework/Window.h"

namespace fw {

using detail::Q;

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
    // The label's buddy is what a screen reader names by it, and what its field is labelled by.
    label_->setBuddy(properties.labelFor.empty()
                         ? nullptr
                         : Owner().ControlByName<Control>(properties.labelFor).NativeWidget());
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

}  // namespace fw
