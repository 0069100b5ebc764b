#pragma once
// Small helpers shared by the controls' sources.

#include <QApplication>
#include <QFont>
#include <QString>
#include <string>
#include <vector>

#include "framework/Control.h"

namespace fw::detail {

inline QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// The lines of a designed multi-line value; "\r", "\n" and "\r\n" each end a line.
std::vector<std::string> Lines(const std::string& text);

// The control's designed style, in which a field's text is printed.
QFont FontFor(const ControlProperties& p);
// The style the control shows its text in on screen.
QFont ScreenFontFor(const ControlProperties& p);

}  // namespace fw::detail
