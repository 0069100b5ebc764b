#include "framework/EditField.h"

#include <QLineEdit>
#include <QTextDocument>
#include <QTextEdit>

#include "framework/ControlSupport.h"
#include "framework/Window.h"

namespace fw {

using detail::FontFor;
using detail::Q;

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
    // The field's designed style, whatever size the window shows the text in.
    const QFont font = FontFor(designed_);
    if (multi_) {
        document.reset(multi_->document()->clone());
    } else {
        document = std::make_unique<QTextDocument>();
        document->setPlainText(line_ ? line_->text() : Q(designed_.text));
    }
    document->setDefaultFont(font);
    return document;
}

}  // namespace fw
