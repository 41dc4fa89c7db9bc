#pragma once

// Picture objects: an image that a picture box shows, holding its bitmap handle and freeing
// it with the last reference; and loading picture files for the preview.

#include "gdi.h"
#include "platform/runtime/variant.h"

#include <QImage>
#include <QString>
#include <memory>

class QWidget;

namespace tv {

class Picture : public Object {
public:
    explicit Picture(HandleId bitmap) : bitmap_(bitmap) {}
    ~Picture() override;
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    HandleId Handle() const { return bitmap_; }
    int Type() const { return bitmap_ ? 1 : 0;   /* 1 bitmap, 0 none */ }
    int Width() const;    // pixels
    int Height() const;
    QImage image() const;

private:
    HandleId bitmap_;
};

using PicturePtr = std::shared_ptr<Picture>;

// A picture that owns the bitmap handle (it is freed with the picture); none for 0 or a
// handle that is no bitmap.
PicturePtr BitmapToPicture(HandleId bitmap);
PicturePtr PictureFromImage(const QImage& image);

// Loads a picture file. On failure the result is none and errorText says why; nothing is
// shown. An empty path gives an empty picture. The extension chooses the loader as the
// preview always did (".bmp" goes the second way only with gdiForBitmaps); both loaders read
// through QImage, so allowFallback only matters when the second one cannot start.
PicturePtr LoadPictureEx(const QString& path, QString& errorText, bool allowFallback = true,
                         bool gdiForBitmaps = false);
// Which reader a file name goes to (the lower-case end of the name decides).
enum class PictureLoader { Platform, GdiPlus, None };
PictureLoader PictureLoaderFor(const QString& fileName, bool gdiForBitmaps);
PicturePtr LoadPictureGdiPlus(const QString& path, QString& errorText);

// Gives a window (mode 1) or its first tool bar (mode 2) a background brush; the brush held
// before is freed. Other modes do nothing.
void SetToolbarBackground(QWidget* window, HandleId brush, int mode);

} // namespace tv
