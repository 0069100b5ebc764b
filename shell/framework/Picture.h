#pragma once
// Pictures, with an optional mask, read from the application's resources by number.

#include <memory>

#include "framework/Graphics.h"

class QImage;

namespace fw {

class Picture {
public:
    Picture(int width, int height);
    explicit Picture(const QImage& image);
    ~Picture();

    int Width() const;
    int Height() const;
    // The picture's mask (white shows, black hides); with create, made when there is none.
    Picture* Mask(bool create = true);
    // A surface that draws onto the picture.
    fw::Graphics& Graphics();
    // The picture with its mask applied, for drawing.
    QImage Composed() const;
    const QImage& Image() const;

private:
    std::unique_ptr<QImage> image_;
    std::unique_ptr<Picture> mask_;
    std::unique_ptr<fw::Graphics> graphics_;
};

// The application's resources.
class ResourceFork {
public:
    // The picture resource of that number, or nullptr when there is none.
    std::shared_ptr<Picture> GetPicture(int id) const;
};

// The application's resource fork; throws when the application has none.
ResourceFork ApplicationResourceFork();

}  // namespace fw
