#pragma once
// Pictures, with an optional mask, read from the application's resources by number. A picture may
// come in renditions for screens of more pixels per unit; drawing picks the one for the device.

#include <memory>
#include <vector>

#include "framework/Graphics.h"

class QImage;

namespace fw {

class Picture {
  public:
    Picture(int width, int height);
    explicit Picture(const QImage& image);
    ~Picture();

    // In drawing units: the size of the plain rendition.
    int Width() const;
    int Height() const;
    // Adds a rendition of the same picture with more pixels; its devicePixelRatio says how many
    // more (2: twice as many each way). Add renditions before drawing on the picture.
    void AddRendition(const QImage& image);
    // The picture's mask (white shows, black hides), in the same renditions; with create, made
    // when there is none.
    Picture* Mask(bool create = true);
    // A surface that draws onto every rendition of the picture.
    fw::Graphics& Graphics();
    // The rendition for a device of that pixel ratio, with its mask applied, for drawing: the
    // first with at least as many pixels, or else the finest there is.
    QImage Composed(double ratio = 1) const;
    const QImage& Image(double ratio = 1) const;

  private:
    std::size_t RenditionFor(double ratio) const;

    std::vector<std::unique_ptr<QImage>> renditions_;  // plain first, then ever finer
    std::unique_ptr<Picture> mask_;
    std::unique_ptr<fw::Graphics> graphics_;
};

// The application's resources.
class ResourceFork {
  public:
    // The picture resource of that number, or nullptr when there is none. Its finer renditions are
    // the resources named by Qt's convention: "<number>@2x" for twice the pixels each way.
    std::shared_ptr<Picture> GetPicture(int id) const;
};

// The application's resource fork; throws when the application has none.
ResourceFork ApplicationResourceFork();

}  // namespace fw
