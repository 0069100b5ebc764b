#include "framework/LongWords.h"

#include <QTextBlock>
#include <QTextDocument>
#include <limits>

namespace fw::detail {

namespace {

// Where Qt may end a line between words: a space, unless it is a no-break space.
bool EndsAWord(QChar c) {
    return c.isSpace() && c.decompositionTag() != QChar::NoBreak;
}

QTextOption::WrapMode WrapMode(bool longWord) {
    return longWord ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere;
}

}  // namespace

bool HasWordLongerThanALine(QStringView text) {
    qsizetype run = 0;
    for (QChar c : text) {
        run = EndsAWord(c) ? 0 : run + 1;
        if (run > kLongestWordWrapped)
            return true;
    }
    return false;
}

bool HasWordLongerThanALine(QTextBlock block, int lastPosition) {
    // A paragraph ends every word in it, and only a long paragraph can hold a long word, so the
    // text of the short ones is never copied.
    for (; block.isValid() && block.position() <= lastPosition; block = block.next()) {
        if (block.length() > kLongestWordWrapped && HasWordLongerThanALine(block.text()))
            return true;
    }
    return false;
}

QTextOption::WrapMode WrapModeFor(const QTextDocument& document) {
    return WrapMode(HasWordLongerThanALine(document.begin(), std::numeric_limits<int>::max()));
}

QTextOption::WrapMode WrapModeFor(QStringView text) {
    return WrapMode(HasWordLongerThanALine(text));
}

}  // namespace fw::detail
