#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QTextDocument>
#include <QTextOption>
#include <algorithm>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "framework/Printing.h"
#include "support/RecordingGraphics.h"

namespace {

using fwtest::RecordingGraphics;

std::unique_ptr<QTextDocument> Document(const QString& text) {
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    document->setPlainText(text);
    return document;
}

// "Line 0" to "Line <n-1>", one short paragraph each.
QString NumberedLines(int n) {
    QStringList lines;
    for (int i = 0; i < n; ++i) lines << QStringLiteral("Line %1").arg(i);
    return lines.join(QLatin1Char('\n'));
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

// The height of one line, measured by printing ten of them at once.
double LineHeight() {
    RecordingGraphics g;
    fw::StyledTextPrinter printer(g, Document(NumberedLines(10)), 400);
    printer.DrawBlock(0, 0, 10000);
    return g.TextBlocks().at(0).usedHeight / 10;
}

// Prints until the end, as the app does; gives up (and fails) instead of hanging.
void PrintAll(fw::StyledTextPrinter& printer, double height, int maxBlocks = 1000) {
    int blocks = 0;
    while (!printer.Eof()) {
        ASSERT_LT(blocks++, maxBlocks) << "the printer does not come to an end";
        printer.DrawBlock(10, 20 + blocks, height);
    }
}

TEST(StyledTextPrinter, BlocksHoldWholeLinesAtTheGivenPlace) {
    const double line = LineHeight();
    ASSERT_GT(line, 10);
    ASSERT_LT(line, 25);

    RecordingGraphics g;
    fw::StyledTextPrinter printer(g, Document(NumberedLines(10)), 400);
    // Measured before drawing, the run takes as many blocks as it is drawn in below.
    EXPECT_EQ(printer.BlocksLeft(3.6 * line), 4);
    EXPECT_EQ(printer.BlocksLeft(3 * line), 4);
    EXPECT_EQ(printer.BlocksLeft(10 * line), 1);
    EXPECT_NEAR(printer.HeightLeft(), 10 * line, 0.01);
    printer.DrawBlock(36, 50, 3.6 * line);  // room for three lines and most of a fourth
    EXPECT_EQ(printer.BlocksLeft(3 * line), 3) << "seven lines left";
    EXPECT_NEAR(printer.HeightLeft(), 7 * line, 0.01);
    printer.DrawBlock(36, 300, 3 * line);  // exactly three
    printer.DrawBlock(72, 500, 100 * line);
    EXPECT_TRUE(printer.Eof());
    EXPECT_EQ(printer.BlocksLeft(3 * line), 0);
    EXPECT_EQ(printer.HeightLeft(), 0);

    const auto blocks = g.TextBlocks();
    ASSERT_EQ(3u, blocks.size());
    EXPECT_EQ("Line 0\nLine 1\nLine 2", blocks[0].text);
    EXPECT_EQ(36, blocks[0].x);
    EXPECT_EQ(50, blocks[0].y);
    EXPECT_DOUBLE_EQ(3.6 * line, blocks[0].height);
    EXPECT_NEAR(3 * line, blocks[0].usedHeight, 0.01);

    EXPECT_EQ("Line 3\nLine 4\nLine 5", blocks[1].text);
    EXPECT_EQ(300, blocks[1].y);
    EXPECT_NEAR(3 * line, blocks[1].usedHeight, 0.01);

    EXPECT_EQ("Line 6\nLine 7\nLine 8\nLine 9", blocks[2].text);
    EXPECT_EQ(72, blocks[2].x);
    EXPECT_NEAR(4 * line, blocks[2].usedHeight, 0.01);
}

TEST(StyledTextPrinter, LongTextIsPrintedOnceInOrderOverManyBlocks) {
    std::string text;
    for (int i = 0; i < 400; ++i) text += "w" + std::to_string(i) + (i % 37 == 36 ? "\n" : " ");
    RecordingGraphics g;
    fw::StyledTextPrinter printer(g, Document(QString::fromStdString(text)), 150);
    PrintAll(printer, 100);

    const auto blocks = g.TextBlocks();
    EXPECT_GT(blocks.size(), 10u);
    std::string printed;
    for (const auto& block : blocks) {
        EXPECT_LE(block.usedHeight, block.height);
        EXPECT_GT(block.usedHeight, 0);
        printed += block.text + "\n";
    }
    EXPECT_EQ(Words(text), Words(printed));
}

TEST(StyledTextPrinter, NewWidthResumesAfterWhatWasPrinted) {
    std::string text;
    for (int i = 0; i < 120; ++i) text += "word" + std::to_string(i) + " ";
    RecordingGraphics g;
    fw::StyledTextPrinter printer(g, Document(QString::fromStdString(text)), 300);
    printer.DrawBlock(0, 0, 60);
    ASSERT_FALSE(printer.Eof());
    printer.Width(120);
    EXPECT_EQ(120, printer.Width());
    PrintAll(printer, 60);

    std::string printed;
    for (const auto& block : g.TextBlocks()) printed += block.text + "\n";
    EXPECT_EQ(Words(text), Words(printed));
    // The narrower blocks hold fewer words per line than the first.
    const auto blocks = g.TextBlocks();
    ASSERT_GE(blocks.size(), 3u);
    EXPECT_LT(Words(blocks[1].text).size(), Words(blocks[0].text).size());
}

// Whether every printed word other than the long one (of "x") is one of those below, as it is
// when lines break between words; and the text printed without its spaces and line ends.
struct Broken {
    bool wordsWhole;
    std::string letters;
};
const char* const kWords[] = {"stir", "the", "thick", "sauce", "gently"};

Broken PrintedWords(std::unique_ptr<QTextDocument> document) {
    RecordingGraphics g;
    fw::StyledTextPrinter printer(g, std::move(document), 300);
    PrintAll(printer, 1000);
    Broken broken{true, ""};
    for (const auto& block : g.TextBlocks()) {
        for (const std::string& word : Words(block.text)) {
            broken.letters += word;
            if (word.find('x') == std::string::npos &&
                std::find(std::begin(kWords), std::end(kWords), word) == std::end(kWords)) {
                broken.wordsWhole = false;
            }
        }
    }
    return broken;
}

TEST(StyledTextPrinter, BreaksBetweenWordsUnlessTheTextHoldsAWordOfOverAThousandLetters) {
    std::string words;
    for (int i = 0; i < 300; ++i) words += std::string(kWords[i % 5]) + " ";
    const std::string nbsp = "\u00a0";
    const struct {
        const char* what;
        std::string text;
        bool givenAnywhere;  // the document comes with lines that break anywhere
        bool wordsWhole;
    } cases[] = {
        {"ordinary words", words, false, true},
        {"a word of 1,000 letters", std::string(1000, 'x') + " " + words, false, true},
        {"a word of 1,001 letters", std::string(1001, 'x') + " " + words, false, false},
        {"the long word in a later paragraph", words + "\n" + std::string(1001, 'x'), false,
         false},
        {"two halves joined by a no-break space",
         std::string(600, 'x') + nbsp + std::string(600, 'x') + " " + words, false, false},
        {"ordinary words from a field that broke anywhere", words, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto document = Document(QString::fromStdString(c.text));
        if (c.givenAnywhere) {
            QTextOption option = document->defaultTextOption();
            option.setWrapMode(QTextOption::WrapAnywhere);
            document->setDefaultTextOption(option);
        }
        const Broken printed = PrintedWords(std::move(document));
        EXPECT_EQ(printed.wordsWhole, c.wordsWhole);
        std::string letters;
        for (const std::string& word : Words(c.text)) letters += word;
        EXPECT_EQ(printed.letters, letters) << "every letter once, in order";
    }
}

TEST(StyledTextPrinter, WidthLeftIsTheWidestLineNotYetDrawn) {
    RecordingGraphics g;
    fw::StyledTextPrinter printer(g, Document(QStringLiteral("a\nthe widest line\nbb")), 300);
    const QFontMetricsF metrics(Document(QString())->defaultFont(), g.LayoutDevice());
    EXPECT_DOUBLE_EQ(printer.WidthLeft(),
                     metrics.horizontalAdvance(QStringLiteral("the widest line")));
    printer.DrawBlock(0, 0, 2.5 * LineHeight());
    EXPECT_DOUBLE_EQ(printer.WidthLeft(), metrics.horizontalAdvance(QStringLiteral("bb")));
}

TEST(StyledTextPrinter, EmptyDocumentIsAtItsEndAtOnce) {
    RecordingGraphics g;
    fw::StyledTextPrinter printer(g, Document(QString()), 300);
    EXPECT_TRUE(printer.Eof());
    printer.DrawBlock(0, 0, 500);
    EXPECT_TRUE(g.Events().empty());

    fw::StyledTextPrinter noDocument(g, nullptr, 300);
    EXPECT_TRUE(noDocument.Eof());
    for (const fw::StyledTextPrinter* empty : {&printer, &noDocument}) {
        EXPECT_EQ(empty->BlocksLeft(500), 0);
        EXPECT_EQ(empty->WidthLeft(), 0);
        EXPECT_EQ(empty->HeightLeft(), 0);
    }
}

TEST(StyledTextPrinter, BlockTooSmallForOneLineEndsTheRun) {
    const double line = LineHeight();
    for (double height : {line * 0.9, 0.0, -20.0}) {
        SCOPED_TRACE(height);
        RecordingGraphics g;
        fw::StyledTextPrinter printer(g, Document(NumberedLines(5)), 300);
        ASSERT_FALSE(printer.Eof());
        EXPECT_EQ(printer.BlocksLeft(height), 1) << "the one that ends the run";
        PrintAll(printer, height, 1);
        EXPECT_TRUE(printer.Eof());
        EXPECT_TRUE(g.TextBlocks().empty());
    }
}

// Rows of the image that hold any non-white pixel, as [first, last]; {-1, -1} when blank.
std::pair<int, int> InkedRows(const QImage& image, int fromRow, int toRow, int* leftmost) {
    std::pair<int, int> rows{-1, -1};
    for (int y = std::max(0, fromRow); y < std::min(image.height(), toRow); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                if (rows.first < 0)
                    rows.first = y;
                rows.second = y;
                if (leftmost)
                    *leftmost = std::min(*leftmost, x);
            }
        }
    }
    return rows;
}

TEST(StyledTextPrinter, PaintsOnlyItsLinesInsideTheBlock) {
    // At 72 dpi a pixel is a point, so the recorded line height holds on the image too.
    QImage image(400, 600, QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(72 / 0.0254));
    image.setDotsPerMeterY(qRound(72 / 0.0254));
    image.fill(Qt::white);
    auto g = fw::MakePainterGraphics(image);
    fw::StyledTextPrinter printer(*g, Document(NumberedLines(10)), 300);
    const double deviceLine = LineHeight();

    printer.DrawBlock(40, 100, deviceLine * 2.5);  // "Line 0", "Line 1"
    printer.DrawBlock(40, 300, deviceLine * 2.5);  // "Line 2", "Line 3"

    int leftmost = image.width();
    const auto first = InkedRows(image, 0, 250, &leftmost);
    const auto second = InkedRows(image, 250, image.height(), &leftmost);
    ASSERT_GE(first.first, 0) << "the first block painted nothing";
    ASSERT_GE(second.first, 0) << "the second block painted nothing";
    EXPECT_GE(first.first, 100);
    EXPECT_LE(first.second, 100 + 2 * deviceLine);
    EXPECT_GT(first.second, 100 + deviceLine);  // two lines, not one
    // Nothing of the lines above (the first block's) leaks in above the second block.
    EXPECT_GE(second.first, 300);
    EXPECT_LE(second.second, 300 + 2 * deviceLine);
    EXPECT_GE(leftmost, 40);
    EXPECT_LT(leftmost, 60);
}

}  // namespace
