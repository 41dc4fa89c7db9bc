#include "imagelist.h"

#include "dc.h"

#include <QPainter>

namespace tv {

int ImageList::Add(const QImage& image, const QString& key)
{
    QImage img = image;
    if (!img.isNull() && (img.width() != ImageWidth || img.height() != ImageHeight))
        img = img.scaled(ImageWidth, ImageHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    images_.push_back({key, img});
    return Count();
}

QImage ImageList::ExtractIcon(int index) const
{
    if (index < 1 || index > Count()) return QImage();
    return images_[size_t(index - 1)].image;
}

int ImageList::IndexOfKey(const QString& key) const
{
    for (size_t i = 0; i < images_.size(); ++i)
        if (!key.isEmpty() && images_[i].key.compare(key, Qt::CaseInsensitive) == 0) return int(i + 1);
    return 0;
}

namespace {
struct ImageListData : GdiData {
    ImageListData() : GdiData(ObjNone) {}
    int width = 16, height = 16;
    ColorRef bk = CLR_NONE;
    std::vector<QImage> images;
};

ImageListData* listOf(HandleId h)
{
    return dynamic_cast<ImageListData*>(GdiLookup(h));
}
} // namespace

HandleId ImageListCreate(int width, int height, int, int, int)
{
    if (width < 1 || height < 1) return 0;
    auto d = std::make_unique<ImageListData>();
    d->width = width;
    d->height = height;
    return GdiRegister(std::move(d));
}

bool ImageListDestroy(HandleId list)
{
    return listOf(list) && DeleteObject(list);
}

int ImageListAddImage(HandleId list, const QImage& image)
{
    ImageListData* d = listOf(list);
    if (!d || image.isNull()) return -1;
    QImage img = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (img.width() != d->width || img.height() != d->height)
        img = img.scaled(d->width, d->height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    d->images.push_back(img);
    return int(d->images.size()) - 1;
}

int ImageListCount(HandleId list)
{
    ImageListData* d = listOf(list);
    return d ? int(d->images.size()) : 0;
}

ColorRef ImageListSetBkColor(HandleId list, ColorRef color)
{
    ImageListData* d = listOf(list);
    return d ? std::exchange(d->bk, color) : CLR_NONE;
}

bool ImageListDraw(HandleId list, int index, HandleId hdc, int x, int y, int style)
{
    ImageListData* d = listOf(list);
    Dc* dc = DcOf(hdc);
    if (!d || !dc || index < 0 || index >= int(d->images.size())) return false;
    QPainter* p = dc->painter();
    if (!p) return false;
    const QRect r(x, y, d->width, d->height);
    if (!(style & ILD_TRANSPARENT) && d->bk != CLR_NONE) p->fillRect(r, ToQColor(d->bk));
    p->drawImage(r.topLeft(), d->images[size_t(index)]);
    dc->drawn(r);
    return true;
}

ImageListClass::~ImageListClass()
{
    if (OwnsList && Handle) ImageListDestroy(Handle);
}

bool ImageListClass::Copy(const std::shared_ptr<ImageList>& list, bool)
{
    if (!list) return true;
    Count = list->Count();
    if (Count <= 0) return true;
    ImageWidth = list->ImageWidth;
    ImageHeight = list->ImageHeight;
    if (OwnsList && Handle) ImageListDestroy(Handle);
    OwnsList = false;
    Handle = ImageListCreate(ImageWidth, ImageHeight, ILC_COLOR32 | ILC_MASK, 0, Count);
    if (!Handle) return true;
    // Owned from the start, so that a list left half filled by a failure is not leaked.
    OwnsList = true;
    for (int i = 1; i <= Count; ++i) {
        const QImage icon = list->ExtractIcon(i);
        if (icon.isNull()) return false;
        ImageListAddImage(Handle, icon);
    }
    return true;
}

void ImageListClass::Draw(int index, HandleId hdc, int x, int y, int style) const
{
    ImageListDraw(Handle, index, hdc, x, y, style);
}

} // namespace tv
