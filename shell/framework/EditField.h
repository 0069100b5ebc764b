#pragma once

#include <memory>
#include <string>

#include "framework/Control.h"

class QLineEdit;
class QString;
class QTextDocument;
class QTextEdit;

namespace fw {

class Graphics;
class StyledTextPrinter;

// A text field. It gives back exactly the text the program gave it, byte for byte and at any
// length, until the person edits it; from then on it gives what it shows. (Qt's text widgets
// change some texts they only show: line ends, no-break spaces, a byte-order mark, bytes that
// are not UTF-8, and a line edit cuts a text at 32,767 characters.)
class EditField : public Control {
  public:
    EditField(Window& window, std::string name);
    ~EditField() override;
    void SetProperties(const ControlProperties& properties) override;

    std::string Text() const;
    void Text(const std::string& text);
    bool ReadOnly() const;
    void ReadOnly(bool value);
    bool Multiline() const { return designed_.multiline; }

    // A copy of the field's styled text, with the field's font as default, for printing.
    std::unique_ptr<QTextDocument> StyledDocument() const;
    // A printer of the field's styled text for a print job, at a width in drawing units.
    fw::StyledTextPrinter StyledTextPrinter(Graphics& graphics, double width) const;
    // A printer of another text in the field's designed style, leaving the field as it is.
    fw::StyledTextPrinter StyledTextPrinter(Graphics& graphics, double width,
                                            const std::string& text) const;

  private:
    void Build();
    void Show(const std::string& text);
    void ShowMultiline(const QString& text);
    void EditedByPerson();
    void CheckInsertedWords(int position, int added);

    QLineEdit* line_ = nullptr;
    QTextEdit* multi_ = nullptr;
    int programChange_ = 0;
    std::string given_;    // the text the program gave, while the person has not edited it
    bool edited_ = false;  // the person has changed the text since the program last set it
};

}  // namespace fw
