#pragma once
// Runs a poppler-utils tool (pdfinfo, pdftotext) on a printed file.

#include <QString>
#include <QStringList>
#include <optional>

// The tool's output; nothing when the tool is not installed, "" when it failed.
std::optional<QString> RunTool(const QString& tool, const QStringList& arguments);
