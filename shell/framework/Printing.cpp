#include "framework/Printing.h"

#include <QAbstractTextDocumentLayout>
#include <QByteArray>
#include <QImage>
#include <QLocale>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QString>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextLayout>
#include <QTextLine>
#include <QTextOption>
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "framework/ControlSupport.h"
#include "framework/Dialogs.h"
#include "framework/EditField.h"
#include "framework/LongWords.h"
#include "framework/Picture.h"
#include "framework/PrinterGraphics.h"

namespace fw {

// ---------------------------------------------------------------------------------------------
// PrinterSetup

namespace {

constexpr const char* kSetupMagic = "larderon-page-setup";
constexpr const char* kSetupVersion = "1";
constexpr double kDefaultMargin = 36.0;  // half an inch
// Nothing printable is larger than this (about 35 m); a bigger number is a damaged text.
constexpr double kLargestPage = 100000.0;

QPageLayout DefaultLayout() {
    // Like QPrinter: Letter where the locale measures in inches, A4 everywhere else.
    const QPageSize size(QLocale::system().measurementSystem() == QLocale::ImperialUSSystem
                             ? QPageSize::Letter
                             : QPageSize::A4);
    return QPageLayout(size, QPageLayout::Portrait,
                       QMarginsF(kDefaultMargin, kDefaultMargin, kDefaultMargin, kDefaultMargin),
                       QPageLayout::Point);
}

QString Number(double value) {
    return QString::number(value, 'g', 12);
}

std::optional<double> ReadNumber(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString PercentEncoded(const QString& text) {
    return QString::fromLatin1(text.toUtf8().toPercentEncoding());
}

QString PercentDecoded(const QString& text) {
    return QString::fromUtf8(QByteArray::fromPercentEncoding(text.toLatin1()));
}

// A standard size is found again by its key, so that it keeps its name and its printer paper;
// Qt's enum numbers are no use here, they changed between Qt versions.
QPageSize PageSizeFor(const QString& key, QSizeF points) {
    for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
        const QPageSize candidate(static_cast<QPageSize::PageSizeId>(id));
        if (candidate.key() != key)
            continue;
        const QSizeF size = candidate.size(QPageSize::Point);
        if (std::abs(size.width() - points.width()) < 1.0 &&
            std::abs(size.height() - points.height()) < 1.0) {
            return candidate;
        }
    }
    return QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch);
}

struct ParsedSetup {
    QPageLayout layout;
    std::string printerName;
};

std::optional<ParsedSetup> ParseSetup(const std::string& text) {
    const QStringList parts = QString::fromStdString(text).split(QLatin1Char(';'));
    if (parts.size() < 2 || parts.front() != QLatin1String(kSetupMagic))
        return std::nullopt;
    std::map<QString, QString> fields;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const qsizetype eq = parts[i].indexOf(QLatin1Char('='));
        if (eq <= 0)
            return std::nullopt;
        fields[parts[i].left(eq)] = parts[i].mid(eq + 1);
    }
    for (const char* required : {"v", "size", "w", "h", "orientation", "margins", "printer"}) {
        if (!fields.count(QLatin1String(required)))
            return std::nullopt;
    }
    if (fields[QStringLiteral("v")] != QLatin1String(kSetupVersion))
        return std::nullopt;

    const auto width = ReadNumber(fields[QStringLiteral("w")]);
    const auto height = ReadNumber(fields[QStringLiteral("h")]);
    if (!width || !height || *width <= 0 || *height <= 0 || *width > kLargestPage ||
        *height > kLargestPage) {
        return std::nullopt;
    }

    QPageLayout::Orientation orientation;
    const QString orientationText = fields[QStringLiteral("orientation")];
    if (orientationText == QLatin1String("portrait")) {
        orientation = QPageLayout::Portrait;
    } else if (orientationText == QLatin1String("landscape")) {
        orientation = QPageLayout::Landscape;
    } else {
        return std::nullopt;
    }

    const QStringList marginTexts = fields[QStringLiteral("margins")].split(QLatin1Char(','));
    if (marginTexts.size() != 4)
        return std::nullopt;
    double m[4];
    for (int i = 0; i < 4; ++i) {
        const auto value = ReadNumber(marginTexts[i]);
        if (!value || *value < 0)
            return std::nullopt;
        m[i] = *value;
    }
    const QMarginsF margins(m[0], m[1], m[2], m[3]);

    const QPageSize size =
        PageSizeFor(PercentDecoded(fields[QStringLiteral("size")]), QSizeF(*width, *height));
    if (!size.isValid())
        return std::nullopt;
    QPageLayout layout(size, orientation, QMarginsF(), QPageLayout::Point);
    // Margins that leave no paper to print on are damage, not a choice anyone could make.
    const QRectF page = layout.fullRect(QPageLayout::Point);
    if (margins.left() + margins.right() >= page.width() ||
        margins.top() + margins.bottom() >= page.height()) {
        return std::nullopt;
    }
    layout.setMargins(margins);

    return ParsedSetup{layout, PercentDecoded(fields[QStringLiteral("printer")]).toStdString()};
}

}  // namespace

PrinterSetup::PrinterSetup() : layout_(std::make_unique<QPageLayout>(DefaultLayout())) {}

PrinterSetup::~PrinterSetup() = default;

PrinterSetup::PrinterSetup(const PrinterSetup& other)
    : layout_(std::make_unique<QPageLayout>(*other.layout_)), printerName_(other.printerName_) {}

PrinterSetup& PrinterSetup::operator=(const PrinterSetup& other) {
    if (this != &other) {
        *layout_ = *other.layout_;
        printerName_ = other.printerName_;
    }
    return *this;
}

std::string PrinterSetup::SetupString() const {
    const QSizeF size = layout_->pageSize().size(QPageSize::Point);
    const QMarginsF m = layout_->margins(QPageLayout::Point);
    const QString text =
        QStringLiteral("%1;v=%2;size=%3;w=%4;h=%5;orientation=%6;margins=%7,%8,%9,%10;printer=%11")
            .arg(QLatin1String(kSetupMagic), QLatin1String(kSetupVersion),
                 PercentEncoded(layout_->pageSize().key()), Number(size.width()),
                 Number(size.height()),
                 layout_->orientation() == QPageLayout::Landscape ? QStringLiteral("landscape")
                                                                  : QStringLiteral("portrait"),
                 Number(m.left()), Number(m.top()), Number(m.right()))
            .arg(Number(m.bottom()), PercentEncoded(QString::fromStdString(printerName_)));
    return text.toStdString();
}

void PrinterSetup::SetupString(const std::string& text) {
    if (auto parsed = ParseSetup(text)) {
        *layout_ = parsed->layout;
        printerName_ = std::move(parsed->printerName);
    } else {
        *layout_ = DefaultLayout();
        printerName_.clear();
    }
}

int PrinterSetup::Width() const {
    return qRound(layout_->paintRect(QPageLayout::Point).width());
}

int PrinterSetup::Height() const {
    return qRound(layout_->paintRect(QPageLayout::Point).height());
}

bool PrinterSetup::PageSetupDialog() {
    return CurrentDialogs().PageSetupDialog(*this);
}

std::unique_ptr<Graphics> OpenPrinterDialog(const PrinterSetup* setup) {
    return CurrentDialogs().OpenPrinterDialog(setup);
}

// ---------------------------------------------------------------------------------------------
// Printer graphics

namespace {

class PrinterGraphics : public Graphics {
  public:
    explicit PrinterGraphics(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer)) {
        if (!painter_.begin(printer_.get())) {
            throw std::runtime_error("the printer could not be opened");
        }
    }

    ~PrinterGraphics() override {
        // Ending the painter is what sends (or writes) the job.
        if (painter_.isActive())
            painter_.end();
    }

    double Width() const override { return printer_->pageRect(QPrinter::Point).width(); }
    double Height() const override { return printer_->pageRect(QPrinter::Point).height(); }

    void NextPage() override { printer_->newPage(); }

    void ClearRect(double x, double y, double width, double height) override {
        const double s = DeviceUnitsPerUnit();
        painter_.fillRect(QRectF(x * s, y * s, width * s, height * s), Qt::white);
    }

    void DrawPicture(const Picture& picture, double x, double y) override {
        const double s = DeviceUnitsPerUnit();
        painter_.drawImage(QRectF(x * s, y * s, picture.Width() * s, picture.Height() * s),
                           picture.Composed());
    }

    QPaintDevice* LayoutDevice() override { return printer_.get(); }
    double DeviceUnitsPerUnit() const override { return printer_->logicalDpiY() / 72.0; }

    void DrawTextBlock(const TextBlock& block,
                       const std::function<void(QPainter&)>& paint) override {
        if (!paint)
            return;
        const double s = DeviceUnitsPerUnit();
        painter_.save();
        painter_.translate(block.x * s, block.y * s);
        painter_.setPen(Qt::black);
        paint(painter_);
        painter_.restore();
    }

  private:
    std::unique_ptr<QPrinter> printer_;
    QPainter painter_;
};

}  // namespace

std::unique_ptr<Graphics> MakePrinterGraphics(std::unique_ptr<QPrinter> printer) {
    if (!printer)
        throw std::invalid_argument("no printer");
    return std::make_unique<PrinterGraphics>(std::move(printer));
}

std::unique_ptr<Graphics> MakePdfGraphics(const std::filesystem::path& pdf,
                                          const PrinterSetup* setup) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(pdf.string()));
    // The printer's own defaults depend on the platform (A4 with 10 pt margins offscreen).
    const PrinterSetup defaults;
    printer->setPageLayout((setup ? *setup : defaults).PageLayout());
    return MakePrinterGraphics(std::move(printer));
}

// ---------------------------------------------------------------------------------------------
// StyledTextPrinter

namespace {

// One laid-out line, in device units relative to the top of the document.
struct LaidOutLine {
    QTextBlock block;
    int lineNumber = 0;
    int documentPosition = 0;
    double top = 0;
    double bottom = 0;
};

// The print's own document: the given document's text and formats, laid out for the job's
// device at the printer's width. Everything that decides the layout is in place before the text
// goes in, so that the text is laid out once. A document laid out for another device or width
// (a field's, on screen) would be laid out there first, and again for the job: a field's width on
// screen is a column of a few letters at a printer's resolution, and an unbroken line of 512 KiB
// laid out so narrow had not printed after minutes.
std::unique_ptr<QTextDocument> PrintDocument(const QTextDocument& source, Graphics& graphics,
                                             double deviceWidth) {
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(source.defaultFont());
    QTextOption option = source.defaultTextOption();
    option.setWrapMode(detail::WrapModeFor(source));
    document->setDefaultTextOption(option);
    // The block's left edge is the text's left edge; a frame margin would shift every line.
    document->setDocumentMargin(0);
    document->setTextWidth(deviceWidth);
    document->documentLayout()->setPaintDevice(graphics.LayoutDevice());
    QTextCursor(document.get()).insertFragment(QTextDocumentFragment(&source));
    return document;
}

}  // namespace

struct StyledTextPrinter::State {
    std::unique_ptr<QTextDocument> document;
    std::vector<LaidOutLine> lines;
    std::size_t next = 0;
    bool ended = false;
    // The paragraph whose lines are being drawn, and its text: a long paragraph's text is copied
    // once, not once for every line.
    int textBlock = -1;
    QString blockText;

    // Where a block of `available` device units that starts at line `from` ends.
    std::size_t BlockEnd(std::size_t from, double available) const {
        // Rounding in the layout must not cost a line that fits exactly.
        constexpr double kSlack = 1e-6;
        const double top = lines[from].top;
        std::size_t end = from;
        while (end < lines.size() && lines[end].bottom - top <= available + kSlack) ++end;
        return end;
    }

    QString LineText(const LaidOutLine& line) {
        if (line.block.blockNumber() != textBlock) {
            textBlock = line.block.blockNumber();
            blockText = line.block.text();
        }
        const QTextLine textLine = line.block.layout()->lineAt(line.lineNumber);
        QString text = blockText.mid(textLine.textStart(), textLine.textLength());
        // A wrapped line keeps the space it broke at, and a soft break its separator.
        while (!text.isEmpty() &&
               (text.back().isSpace() || text.back() == QChar::LineSeparator)) {
            text.chop(1);
        }
        return text;
    }

    // Lays the text out at the width, in drawing units, and goes on at the first line not yet
    // drawn.
    void Layout(Graphics& graphics, double width) {
        const int resumeAt = next < lines.size() ? lines[next].documentPosition : -1;
        lines.clear();
        next = 0;
        if (!document || document->isEmpty()) {
            ended = true;
            return;
        }
        // Any new width, even the same one, lays the whole text out again.
        const double deviceWidth = std::max(0.0, width * graphics.DeviceUnitsPerUnit());
        if (document->textWidth() != deviceWidth)
            document->setTextWidth(deviceWidth);
        document->documentLayout()->documentSize();  // forces the layout

        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            const QTextLayout* layout = block.layout();
            if (!layout || !block.isVisible())
                continue;
            const QPointF origin = layout->position();
            for (int i = 0; i < layout->lineCount(); ++i) {
                const QTextLine line = layout->lineAt(i);
                lines.push_back({block, i, block.position() + line.textStart(),
                                 origin.y() + line.y(), origin.y() + line.y() + line.height()});
            }
        }
        if (resumeAt >= 0) {
            while (next < lines.size() && lines[next].documentPosition < resumeAt) ++next;
        }
        if (next >= lines.size())
            ended = true;
    }
};

StyledTextPrinter::StyledTextPrinter(Graphics& graphics, std::unique_ptr<QTextDocument> document,
                                     double width)
    : graphics_(&graphics), width_(width), state_(std::make_unique<State>()) {
    if (document) {
        state_->document = PrintDocument(*document, graphics,
                                         std::max(0.0, width * graphics.DeviceUnitsPerUnit()));
    }
    state_->Layout(*graphics_, width_);
}

StyledTextPrinter::~StyledTextPrinter() = default;
StyledTextPrinter::StyledTextPrinter(StyledTextPrinter&&) noexcept = default;
StyledTextPrinter& StyledTextPrinter::operator=(StyledTextPrinter&&) noexcept = default;

void StyledTextPrinter::Width(double width) {
    if (width == width_)
        return;
    width_ = width;
    // What is already printed stays printed: the new layout resumes at the first undrawn line.
    if (state_ && !state_->ended)
        state_->Layout(*graphics_, width_);
}

bool StyledTextPrinter::Eof() const {
    return !state_ || state_->ended;
}

int StyledTextPrinter::BlocksLeft(double height) const {
    if (Eof())
        return 0;
    const double available = height * graphics_->DeviceUnitsPerUnit();
    int blocks = 0;
    for (std::size_t from = state_->next; from < state_->lines.size(); ++blocks) {
        const std::size_t end = state_->BlockEnd(from, available);
        from = end == from ? state_->lines.size() : end;
    }
    return blocks;
}

double StyledTextPrinter::WidthLeft() const {
    if (Eof())
        return 0;
    double widest = 0;
    for (std::size_t i = state_->next; i < state_->lines.size(); ++i) {
        const LaidOutLine& line = state_->lines[i];
        widest = std::max(widest, line.block.layout()->lineAt(line.lineNumber).naturalTextWidth());
    }
    return widest / graphics_->DeviceUnitsPerUnit();
}

double StyledTextPrinter::HeightLeft() const {
    if (Eof())
        return 0;
    return (state_->lines.back().bottom - state_->lines[state_->next].top) /
           graphics_->DeviceUnitsPerUnit();
}

void StyledTextPrinter::DrawBlock(double x, double y, double height) {
    if (Eof())
        return;
    State& state = *state_;
    const double scale = graphics_->DeviceUnitsPerUnit();
    const double top = state.lines[state.next].top;
    const std::size_t end = state.BlockEnd(state.next, height * scale);

    if (end == state.next) {
        // Not even one line fits: a caller that loops until Eof would otherwise never finish, so
        // the run ends here with nothing drawn.
        state.ended = true;
        return;
    }

    TextBlock block;
    block.x = x;
    block.y = y;
    block.height = height;
    block.usedHeight = (state.lines[end - 1].bottom - top) / scale;
    QStringList texts;
    for (std::size_t i = state.next; i < end; ++i) texts << state.LineText(state.lines[i]);
    block.text = texts.join(QLatin1Char('\n')).toStdString();

    // Whole lines are drawn one by one: drawing the document under a clip also puts the line
    // just above the clip into a PDF, which would print it twice.
    const std::vector<LaidOutLine> toDraw(
        state.lines.begin() + static_cast<std::ptrdiff_t>(state.next),
        state.lines.begin() + static_cast<std::ptrdiff_t>(end));
    state.next = end;
    if (state.next >= state.lines.size())
        state.ended = true;

    graphics_->DrawTextBlock(block, [&toDraw, top](QPainter& painter) {
        for (const LaidOutLine& line : toDraw) {
            const QTextLayout* layout = line.block.layout();
            const QPointF origin = layout->position() - QPointF(0, top);
            layout->lineAt(line.lineNumber).draw(&painter, origin);
        }
    });
}

// ---------------------------------------------------------------------------------------------

fw::StyledTextPrinter EditField::StyledTextPrinter(Graphics& graphics, double width) const {
    return fw::StyledTextPrinter(graphics, StyledDocument(), width);
}

fw::StyledTextPrinter EditField::StyledTextPrinter(Graphics& graphics, double width,
                                                   const std::string& text) const {
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(detail::FontFor(designed_));
    document->setPlainText(QString::fromStdString(text));
    return fw::StyledTextPrinter(graphics, std::move(document), width);
}

}  // namespace fw
