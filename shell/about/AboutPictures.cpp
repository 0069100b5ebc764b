#include "about/AboutPictures.h"

#include <QtGlobal>
#include <utility>

#include "framework/Picture.h"

// Qt's resource registration declares its function where it is called, so it must be called
// outside any namespace, the anonymous one included.
static void RegisterResources() {
    Q_INIT_RESOURCE(about_pictures);
}

namespace {

constexpr int kPictureId = 169;
constexpr int kMaskId = 168;

AboutPictureReader& Reader() {
    static AboutPictureReader reader;
    return reader;
}

std::shared_ptr<fw::Picture>& CachedImage() {
    static std::shared_ptr<fw::Picture> image;
    return image;
}

std::shared_ptr<fw::Picture>& CachedMask() {
    static std::shared_ptr<fw::Picture> mask;
    return mask;
}

std::shared_ptr<fw::Picture> Read(int id) {
    if (Reader())
        return Reader()(id);
    InitAboutResources();
    return fw::ApplicationResourceFork().GetPicture(id);
}

const std::shared_ptr<fw::Picture>& Cached(std::shared_ptr<fw::Picture>& cache, int id) {
    if (!cache)
        cache = Read(id);
    return cache;
}

}  // namespace

void InitAboutResources() {
    static const bool registered = [] {
        RegisterResources();
        return true;
    }();
    (void)registered;
}

std::shared_ptr<fw::Picture> LarderonImage() {
    return Cached(CachedImage(), kPictureId);
}

std::shared_ptr<fw::Picture> Larderon_mask() {
    return Cached(CachedMask(), kMaskId);
}

void ReleaseAboutPictures() {
    CachedMask().reset();
    CachedImage().reset();
}

void SetAboutPictureReader(AboutPictureReader reader) {
    Reader() = std::move(reader);
}
