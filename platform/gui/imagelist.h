#pragma once

// Image lists. ImageList is the program's image-list control: images of one size with
// optional keys, numbered from 1, which windows fill and hand to controls. A drawing image
// list (ImageListCreate ...) is the copy a control owns and draws from, numbered from 0;
// ImageListClass makes such a copy from an ImageList.

#include "gdi.h"
#include "platform/runtime/variant.h"

#include <QImage>
#include <QString>
#include <memory>
#include <vector>

namespace tv {

class ImageList : public Object {
public:
    int ImageWidth = 16;
    int ImageHeight = 16;

    // Appends an image (scaled to the list's size when it differs); returns its number (1..).
    int Add(const QImage& image, const QString& key = QString());
    int Count() const { return int(images_.size()); }
    // The image of number `index` (1-based), null when there is none.
    QImage ExtractIcon(int index) const;
    // Number of the image with the key (case-insensitive), 0 when there is none.
    int IndexOfKey(const QString& key) const;
    void Clear() { images_.clear(); }

private:
    struct Entry {
        QString key;
        QImage image;
    };
    std::vector<Entry> images_;
};

// Drawing image lists.
enum ImageListFlags : int { ILC_MASK = 0x1, ILC_COLOR32 = 0x20 };
enum ImageListDrawStyle : int { ILD_NORMAL = 0, ILD_TRANSPARENT = 1 };
constexpr ColorRef CLR_NONE = 0xFFFFFFFF;

HandleId ImageListCreate(int width, int height, int flags, int initial, int grow);
bool ImageListDestroy(HandleId list);
// Appends an image; returns its 0-based index, -1 on failure.
int ImageListAddImage(HandleId list, const QImage& image);
int ImageListCount(HandleId list);
// The colour behind images drawn with ILD_NORMAL; CLR_NONE (the default) draws them
// transparently in both styles.
ColorRef ImageListSetBkColor(HandleId list, ColorRef color);
// Draws image `index` (0-based) at (x, y); an index outside the list draws nothing.
bool ImageListDraw(HandleId list, int index, HandleId hdc, int x, int y, int style);

// A drawing image list copied once from an ImageList. Fields in the order callers know them.
class ImageListClass : public Object {
public:
    HandleId Handle = 0;     // 0 when no list was made
    int32_t Count = 0;       // images read from the ImageList
    int32_t ImageWidth = 0;
    int32_t ImageHeight = 0;
    bool OwnsList = false;   // only a list this object made is destroyed by it

    ~ImageListClass() override;
    // Image i of the ImageList becomes index i - 1 here. A null list leaves the object as it
    // is; a list without images makes no drawing list. `masked` has no effect. Returns false
    // when an image cannot be read: images added so far stay, and the partly filled list is
    // freed here on release all the same (it is this object's own).
    bool Copy(const std::shared_ptr<ImageList>& list, bool masked = true);
    void Draw(int index, HandleId hdc, int x, int y, int style) const;
};

} // namespace tv
