#include "RecordingGraphics.h"

#include <algorithm>

#include "framework/Picture.h"

namespace fwtest {

namespace {

RecordingGraphics::Event Of(RecordingGraphics::Kind kind) {
    RecordingGraphics::Event e;
    e.kind = kind;
    return e;
}

}  // namespace

RecordingGraphics::RecordingGraphics(double width, double height)
    : width_(width), height_(height), layoutDevice_(1, 1, QImage::Format_ARGB32) {
    // 72 dpi, so that a point of text is a device unit.
    const int dotsPerMeter = qRound(72 / 0.0254);
    layoutDevice_.setDotsPerMeterX(dotsPerMeter);
    layoutDevice_.setDotsPerMeterY(dotsPerMeter);
}

void RecordingGraphics::NextPage() {
    events_.push_back(Of(Kind::NextPage));
}

void RecordingGraphics::ClearRect(double x, double y, double width, double height) {
    Event e = Of(Kind::ClearRect);
    e.x = x;
    e.y = y;
    e.width = width;
    e.height = height;
    events_.push_back(e);
}

void RecordingGraphics::DrawPicture(const fw::Picture& picture, double x, double y) {
    Event e = Of(Kind::DrawPicture);
    e.x = x;
    e.y = y;
    e.width = picture.Width();
    e.height = picture.Height();
    events_.push_back(e);
}

void RecordingGraphics::DrawTextBlock(const fw::TextBlock& block,
                                      const std::function<void(QPainter&)>& paint) {
    (void)paint;
    Event e = Of(Kind::TextBlock);
    e.x = block.x;
    e.y = block.y;
    e.height = block.height;
    e.usedHeight = block.usedHeight;
    e.text = block.text;
    events_.push_back(e);
}

std::vector<RecordingGraphics::Event> RecordingGraphics::TextBlocks() const {
    std::vector<Event> blocks;
    std::copy_if(events_.begin(), events_.end(), std::back_inserter(blocks),
                 [](const Event& e) { return e.kind == Kind::TextBlock; });
    return blocks;
}

int RecordingGraphics::PageBreaks() const {
    return static_cast<int>(std::count_if(events_.begin(), events_.end(),
                                          [](const Event& e) { return e.kind == Kind::NextPage; }));
}

}  // namespace fwtest
