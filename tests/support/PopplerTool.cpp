#include "support/PopplerTool.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

std::optional<QString> RunTool(const QString& tool, const QStringList& arguments) {
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        return std::nullopt;
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString PdfPage::Text() const {
    QStringList texts;
    for (const PdfWord& word : words) texts << word.text;
    return texts.join(QLatin1Char(' '));
}

std::optional<std::vector<PdfPage>> PdfPages(const QString& file) {
    const auto html =
        RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), file, QStringLiteral("-")});
    if (!html)
        return std::nullopt;
    static const QRegularExpression element(QStringLiteral(
        R"re(<page width="([\d.]+)" height="([\d.]+)">|)re"
        R"re(<word xMin="([-\d.]+)" yMin="([-\d.]+)" xMax="([-\d.]+)" yMax="([-\d.]+)">)re"
        R"re(([^<]*)</word>)re"));
    std::vector<PdfPage> pages;
    for (auto it = element.globalMatch(*html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedLength(1) > 0) {
            pages.push_back({m.captured(1).toDouble(), m.captured(2).toDouble(), {}});
        } else if (!pages.empty()) {
            pages.back().words.push_back({m.captured(7), m.captured(3).toDouble(),
                                          m.captured(4).toDouble(), m.captured(5).toDouble(),
                                          m.captured(6).toDouble()});
        }
    }
    return pages;
}
