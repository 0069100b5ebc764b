#pragma once

#include <memory>
#include <string>

#include "framework/Control.h"

class QLineEdit;
class QTextDocument;
class QTextEdit;

namespace fw {

class Graphics;
class StyledTextPrinter;

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

  private:
    void Build();
    QLineEdit* line_ = nullptr;
    QTextEdit* multi_ = nullptr;
    int programChange_ = 0;
};

}  // namespace fw
