#pragma once

// DDBitmap: a bitmap with a memory context of its own to draw into. The scroll view draws
// its Picture snapshot into one; the grid keeps one row high as its back buffer. It owns
// both its context and its bitmap and frees them when it dies.

#include "gdiobject.h"
#include "picture.h"

namespace tv {

class DDBitmap : public Object {
public:
    DDBitmap() = default;
    DDBitmap(int width, int height) { Create(width, height); }
    ~DDBitmap() override;
    DDBitmap(const DDBitmap&) = delete;
    DDBitmap& operator=(const DDBitmap&) = delete;

    // A new bitmap of the size (at least 1 x 1), filled white, selected into a fresh context.
    bool Create(int width, int height);
    void Destroy();
    HandleId hdc() const { return dc_; }
    HandleId hBitmap() const { return bitmap_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // A picture of the bitmap's current contents (a copy that the picture owns).
    PicturePtr Picture() const;
    QImage image() const;

private:
    HandleId dc_ = 0;
    HandleId bitmap_ = 0;
    HandleId oldBitmap_ = 0;
    int width_ = 0, height_ = 0;
};

} // namespace tv
