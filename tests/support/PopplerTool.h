#pragma once
// Runs a poppler-utils tool (pdfinfo, pdftotext) on a printed file.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The tool's output; nothing when the tool is not installed, "" when it failed.
std::optional<QString> RunTool(const QString& tool, const QStringList& arguments);

// A printed word and its box, in points from the page's top-left corner. The box is as tall as
// the font's extent at its size, so heights compare text sizes.
struct PdfWord {
    QString text;  // as pdftotext gives it, with "&", "<" and ">" escaped as in HTML
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    double Height() const { return yMax - yMin; }
};

// A printed page: its size in points and the words on it, in reading order. Text outside the
// sheet is not on it.
struct PdfPage {
    double width = 0, height = 0;
    std::vector<PdfWord> words;
    // The words joined by single spaces.
    QString Text() const;
};

// The pages of a PDF file; nothing when pdftotext is not installed, no pages when it failed.
std::optional<std::vector<PdfPage>> PdfPages(const QString& file);
