#pragma once
// A Graphics for tests that draws nothing and records, in order, every text block it is given and
// every page break (and, for completeness, every clear and picture). Text is laid out at 72 dpi, so
// device units and drawing units are the same.

#include <QImage>
#include <string>
#include <vector>

#include "framework/Graphics.h"

namespace fwtest {

class RecordingGraphics : public fw::Graphics {
  public:
    enum class Kind { TextBlock, NextPage, ClearRect, DrawPicture };
    struct Event {
        Kind kind = Kind::TextBlock;
        double x = 0, y = 0;
        double height = 0;      // text block: the height it was given; clear: the rect's height
        double usedHeight = 0;  // text block only
        double width = 0;       // clear only
        std::string text;       // text block only
    };

    RecordingGraphics(double width = 612, double height = 792);

    double Width() const override { return width_; }
    double Height() const override { return height_; }
    void NextPage() override;
    void ClearRect(double x, double y, double width, double height) override;
    void DrawPicture(const fw::Picture& picture, double x, double y) override;
    QPaintDevice* LayoutDevice() override { return &layoutDevice_; }
    double DeviceUnitsPerUnit() const override { return 1.0; }
    void DrawTextBlock(const fw::TextBlock& block,
                       const std::function<void(QPainter&)>& paint) override;

    const std::vector<Event>& Events() const { return events_; }
    // Only the text blocks, in order.
    std::vector<Event> TextBlocks() const;
    int PageBreaks() const;

  private:
    double width_, height_;
    QImage layoutDevice_;
    std::vector<Event> events_;
};

}  // namespace fwtest
