#pragma once
// A drawing surface: a page of a print job, a picture, or a canvas. Coordinates are in the
// surface's drawing units: points (1/72 inch) on paper, pixels on screen.

#include <functional>
#include <memory>
#include <string>

class QPainter;
class QPaintDevice;

namespace fw {

class Picture;

// One block of laid-out text, as a StyledTextPrinter hands it to a surface.
struct TextBlock {
    double x = 0;
    double y = 0;
    double height = 0;        // the height the block was given
    double usedHeight = 0;    // the height of the whole lines drawn
    std::string text;         // the plain text of the lines drawn
};

class Graphics {
public:
    virtual ~Graphics() = default;

    virtual double Width() const = 0;
    virtual double Height() const = 0;

    // Ends the current page and starts the next (print jobs only; elsewhere nothing happens).
    virtual void NextPage() = 0;
    virtual void ClearRect(double x, double y, double width, double height) = 0;
    // Draws a picture at its own size with its top-left corner at (x, y).
    virtual void DrawPicture(const Picture& picture, double x, double y) = 0;

    // For text printers: the device to lay text out for and how many device units make one
    // drawing unit. A surface without a device (a recording one) lays out at 72 dpi.
    virtual QPaintDevice* LayoutDevice() = 0;
    virtual double DeviceUnitsPerUnit() const = 0;
    // Draws a block whose lines paint themselves; `paint` draws in device units with the
    // block's top-left at the painter's origin.
    virtual void DrawTextBlock(const TextBlock& block,
                               const std::function<void(QPainter&)>& paint) = 0;
};

}  // namespace fw

namespace fw {

// A surface that paints on a device (a picture's image, a canvas's backing pixmap) in its own
// pixels; `changed` runs after each drawing call so that a widget can repaint.
std::unique_ptr<Graphics> MakePainterGraphics(QPaintDevice& device,
                                              std::function<void()> changed = {});

}  // namespace fw
