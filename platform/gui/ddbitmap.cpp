#include "ddbitmap.h"

#include "dc.h"

namespace tv {

DDBitmap::~DDBitmap() { Destroy(); }

bool DDBitmap::Create(int width, int height)
{
    Destroy();
    width_ = std::max(1, width);
    height_ = std::max(1, height);
    bitmap_ = CreateBitmap(width_, height_);
    BitmapImage(bitmap_)->fill(Qt::white);
    dc_ = CreateCompatibleDC(0);
    oldBitmap_ = SelectObject(dc_, bitmap_);
    return dc_ != 0 && bitmap_ != 0;
}

void DDBitmap::Destroy()
{
    if (dc_) {
        SelectObject(dc_, oldBitmap_);
        DeleteDC(dc_);
    }
    if (bitmap_) DeleteObject(bitmap_);
    dc_ = bitmap_ = oldBitmap_ = 0;
    width_ = height_ = 0;
}

QImage DDBitmap::image() const
{
    const QImage* img = BitmapImage(bitmap_);
    return img ? img->copy() : QImage();
}

PicturePtr DDBitmap::Picture() const
{
    if (!bitmap_) return nullptr;
    return PictureFromImage(image());
}

} // namespace tv
