#pragma once
// Where a text's lines may break: between words, or anywhere. The fields that show a text and the
// printer that prints it decide alike, so that a text that shows in time prints in time too.

#include <QStringView>
#include <QTextOption>

class QTextBlock;
class QTextDocument;

namespace fw::detail {

// Qt lays out a line word by word: at the start of every line it looks for the end of the word
// there before it breaks the word anywhere. Through a word longer than a line that look goes on
// to the word's end, once for every line, so laying out one unbroken line of n characters costs
// time that grows with n squared (1 MiB: a minute and more). A text holding a word longer than
// this many characters is therefore broken anywhere, as such a word is broken anyway.
constexpr qsizetype kLongestWordWrapped = 1000;

bool HasWordLongerThanALine(QStringView text);
// The same for the paragraphs from `block` on that start at or before `lastPosition`.
bool HasWordLongerThanALine(QTextBlock block, int lastPosition);

// WrapAnywhere for a document that holds a word longer than kLongestWordWrapped, else Qt's break
// between words (or anywhere in a word wider than the line).
QTextOption::WrapMode WrapModeFor(const QTextDocument& document);
QTextOption::WrapMode WrapModeFor(QStringView text);

}  // namespace fw::detail
