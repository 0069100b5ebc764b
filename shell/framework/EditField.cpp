#include "framework/EditField.h"

#include <QLineEdit>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <limits>

#include "framework/ControlSupport.h"
#include "framework/LongWords.h"
#include "framework/Window.h"

namespace fw {

using detail::FontFor;
using detail::HasWordLongerThanALine;

namespace {

// From this many characters on, a text is laid out only once: with the vertical scroll bar
// already in place, so that the scroll bar it then needs does not narrow the field and start the
// layout again.
constexpr qsizetype kLongText = 32 * 1024;

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
        // Raised before the change is laid out, which is when a wrap mode still costs nothing.
        QObject::connect(multi_->document(), &QTextDocument::contentsChange,
                         [this](int position, int, int added) {
                             if (programChange_ == 0)
                                 CheckInsertedWords(position, added);
                         });
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
        ShowMultiline(Shown(text));
    } else {
        line_->setText(Shown(text));
    }
    --programChange_;
}

void EditField::ShowMultiline(const QString& text) {
    const QTextOption::WrapMode wrap = detail::WrapModeFor(text);
    const bool longText =
        text.size() >= kLongText && multi_->verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded;
    // Each step below lays out the text shown so far again; emptied first, that costs nothing.
    if (wrap != multi_->wordWrapMode() || longText)
        multi_->clear();
    multi_->setWordWrapMode(wrap);
    if (longText)
        multi_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    multi_->setPlainText(text);
    if (longText)
        multi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
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

void EditField::CheckInsertedWords(int position, int added) {
    if (added <= 0 || multi_->wordWrapMode() == QTextOption::WrapAnywhere)
        return;
    if (HasWordLongerThanALine(multi_->document()->findBlock(position), position + added))
        multi_->setWordWrapMode(QTextOption::WrapAnywhere);
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
