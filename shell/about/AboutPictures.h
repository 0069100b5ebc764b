#pragma once
// The About window's picture and its mask, read from the application's resources on first use
// and then kept for the rest of the run.

#include <functional>
#include <memory>

namespace fw {
class Picture;
}

// The picture (resource 169), or nullptr when the resource is missing. A missing picture is not
// remembered: the next call looks again.
std::shared_ptr<fw::Picture> LarderonImage();
// The picture's mask (resource 168), or nullptr when the resource is missing; kept as the picture.
std::shared_ptr<fw::Picture> Larderon_mask();
// Lets go of both (the mask first); the app calls this as it shuts down.
void ReleaseAboutPictures();

// Registers the artwork compiled into this library with Qt's resources. Reading a picture does it
// on its own; calling it more than once does no harm.
void InitAboutResources();

// For tests: how a picture resource is read. An empty reader restores the application's resources.
using AboutPictureReader = std::function<std::shared_ptr<fw::Picture>(int id)>;
void SetAboutPictureReader(AboutPictureReader reader);
