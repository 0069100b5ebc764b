#include "framework/EditField.h"

#include <QLineEdit>
#include <QStringDecoder>
#include <QTextDocument>
#include <QTextEdit>
#include <limits>

#include "framework/ControlSupport.h"
#include "framework/Window.h"

namespace fw {

using detail::FontFor;

namespace {

// The text as the field shows it. A byte-order mark at the start is part of the text here, not a
// note on its encoding, so it is kept; a byte that is not UTF-8 shows as the replacement mark.
QString Shown(const std::string& text) {
    QStringDecoder decode(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                      QStringConverter::Flag::ConvertInitialBom);
    return decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}

// What a multi-line field shows, as plain text: every paragraph and line end is a line feed.
// A no-break space stays one (QTextDocument::toPlainText makes it a blank).
std::string ShownText(const QTextDocument& document) {
    QString text = document.toRawText();
    for (QChar& c : text) {
        switch (c.unicode()) {
            case QChar::ParagraphSeparator:
            case QChar::LineSeparator:
            case 0xFDD0:  // the start and end of a frame, in styled text
            case 0xFDD1:
                c = u'\n';
                break;
            default:
                break;
        }
    }
    return text.toStdString();
}

}  // namespace

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
        QObject::connect(multi_, &QTextEdit::textChanged, [this] { EditedByPerson(); });
        SetWidget(multi_);
    } else {
        line_ = new QLineEdit();
        // The designed limit of every field is none.
        line_->setMaxLength(std::numeric_limits<int>::max());
        QObject::connect(line_, &QLineEdit::textChanged, [this] { EditedByPerson(); });
        SetWidget(line_);
    }
}

void EditField::SetProperties(const ControlProperties& properties) {
    designed_ = properties;
    Build();
    Show(properties.text);
    ++programChange_;
    if (multi_) {
        multi_->setReadOnly(properties.readOnly);
        // Left is the document's own default. Setting it anyway marks the empty first paragraph
        // as formatted, and the first Return typed into the empty field then only clears that
        // format instead of starting a new line.
        if (properties.textAlign == 1 || properties.textAlign == 2)
            multi_->setAlignment(properties.textAlign == 1 ? Qt::AlignHCenter : Qt::AlignRight);
    } else {
        line_->setReadOnly(properties.readOnly);
        line_->setAlignment(properties.textAlign == 1   ? Qt::AlignHCenter
                            : properties.textAlign == 2 ? Qt::AlignRight
                                                        : Qt::AlignLeft);
    }
    --programChange_;
    ApplyCommonProperties();
}

std::string EditField::Text() const {
    if (!edited_)
        return given_;
    if (multi_)
        return ShownText(*multi_->document());
    return line_->text().toStdString();
}

void EditField::Text(const std::string& text) {
    if (!line_ && !multi_)
        Build();
    if (Text() == text)
        return;
    Show(text);
    RaiseEvent("TextChange");
}

void EditField::Show(const std::string& text) {
    ++programChange_;
    given_ = text;
    edited_ = false;
    if (multi_) {
        multi_->setPlainText(Shown(text));
    } else {
        line_->setText(Shown(text));
    }
    --programChange_;
}

void EditField::EditedByPerson() {
    if (programChange_ != 0)
        return;
    if (!edited_) {
        edited_ = true;
        std::string().swap(given_);
    }
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
        document->setPlainText(line_ ? line_->text() : Shown(designed_.text));
    }
    document->setDefaultFont(font);
    return document;
}

}  // namespace fw
