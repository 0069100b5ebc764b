#include "framework/ControlSupport.h"

namespace fw::detail {

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

namespace {

QFont FontAt(const ControlProperties& p, int size) {
    QFont font = QApplication::font();
    if (p.textFont != "System" && !p.textFont.empty())
        font.setFamily(Q(p.textFont));
    if (size > 0)
        font.setPointSize(size);
    font.setBold(p.bold);
    font.setItalic(p.italic);
    font.setUnderline(p.underline);
    return font;
}

}  // namespace

QFont FontFor(const ControlProperties& p) {
    return FontAt(p, p.textSize);
}

QFont ScreenFontFor(const ControlProperties& p) {
    return FontAt(p, p.screenTextSize >= 0 ? p.screenTextSize : p.textSize);
}

}  // namespace fw::detail
