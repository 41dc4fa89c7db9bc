#include "picture.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QToolBar>
#include <QWidget>

namespace tv {

Picture::~Picture()
{
    if (bitmap_) DeleteObject(bitmap_);
}

int Picture::Width() const
{
    const QImage* img = BitmapImage(bitmap_);
    return img ? img->width() : 0;
}

int Picture::Height() const
{
    const QImage* img = BitmapImage(bitmap_);
    return img ? img->height() : 0;
}

QImage Picture::image() const
{
    const QImage* img = BitmapImage(bitmap_);
    return img ? *img : QImage();
}

PicturePtr BitmapToPicture(HandleId bitmap)
{
    if (!BitmapImage(bitmap)) return nullptr;
    return std::make_shared<Picture>(bitmap);
}

PicturePtr PictureFromImage(const QImage& image)
{
    return BitmapToPicture(CreateBitmapFromImage(image));
}

PictureLoader PictureLoaderFor(const QString& fileName, bool gdiForBitmaps)
{
    using Loader = PictureLoader;
    const QString lowerName = fileName.toLower();
    static const char* const kBitmaps[] = {".bmp", ".dib", ".rle"};
    static const char* const kPlatform[] = {".ico", ".cur", ".emf", ".wmf"};
    static const char* const kGdi[] = {".gif", ".png", ".tif", ".tiff", ".jpe", ".jpg", ".jpeg", ".jfif"};
    for (const char* e : kBitmaps)
        if (lowerName.endsWith(QLatin1String(e))) return gdiForBitmaps ? Loader::GdiPlus : Loader::Platform;
    for (const char* e : kPlatform)
        if (lowerName.endsWith(QLatin1String(e))) return Loader::Platform;
    for (const char* e : kGdi)
        if (lowerName.endsWith(QLatin1String(e))) return Loader::GdiPlus;
    return Loader::None;
}

namespace {
QImage readImage(const QString& path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.read();
}
} // namespace

PicturePtr LoadPictureGdiPlus(const QString& path, QString& errorText)
{
    const QImage img = readImage(path);
    if (img.isNull()) {
        errorText = QStringLiteral("\nBitmap kann nicht aus Bild-Datei erstellt werden");
        return nullptr;
    }
    // Transparent parts become black, as the picture box shows a bitmap without alpha.
    QImage opaque(img.size(), QImage::Format_RGB32);
    opaque.fill(Qt::black);
    {
        QPainter p(&opaque);
        p.drawImage(0, 0, img);
    }
    const HandleId bmp = CreateBitmapFromImage(opaque);
    if (!bmp) {
        errorText = QStringLiteral("\nBitmap-Handle kann nicht erzeugt werden");
        return nullptr;
    }
    PicturePtr pic = BitmapToPicture(bmp);
    if (!pic) errorText = QStringLiteral("Bitmap kann nicht aus Handle erstellt werden");
    return pic;
}

PicturePtr LoadPictureEx(const QString& path, QString& errorText, bool, bool gdiForBitmaps)
{
    errorText.clear();
    if (path.trimmed().isEmpty()) return std::make_shared<Picture>(0);
    const QFileInfo fi(path);
    if (fi.size() < 10) {
        errorText = QStringLiteral("Leere Datei");
        return nullptr;
    }
    switch (PictureLoaderFor(fi.fileName(), gdiForBitmaps)) {
    case PictureLoader::None:
        errorText = QStringLiteral("Bildformat wird nicht unterstützt");
        return nullptr;
    case PictureLoader::GdiPlus:
        return LoadPictureGdiPlus(path, errorText);
    case PictureLoader::Platform: {
        const QImage img = readImage(path);
        if (img.isNull()) {
            errorText = QStringLiteral("Laden des Bildes scheitert (Loadpicture)");
            return nullptr;
        }
        return PictureFromImage(img);
    }
    }
    return nullptr;
}

void SetToolbarBackground(QWidget* window, HandleId brush, int mode)
{
    if (!window || (mode != 1 && mode != 2)) return;
    QWidget* target = window;
    if (mode == 2) {
        target = window->findChild<QToolBar*>();
        if (!target) return;
    }
    QBrush b;
    if (!ResolveBrush(brush, b)) return;
    const QVariant prev = target->property("tvBackgroundBrush");
    if (prev.isValid() && prev.toInt() != brush) DeleteObject(prev.toInt());
    target->setProperty("tvBackgroundBrush", brush);
    QPalette pal = target->palette();
    pal.setBrush(QPalette::Window, b);
    target->setPalette(pal);
    target->setAutoFillBackground(true);
}

} // namespace tv
