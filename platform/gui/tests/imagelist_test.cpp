// Image lists and their copies; pictures.

#include "platform/gui/ddbitmap.h"
#include "platform/gui/dc.h"
#include "platform/gui/imagelist.h"
#include "platform/gui/picture.h"

#include <QFile>
#include <QMainWindow>
#include <QToolBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tv;

namespace {

QImage solid(QColor c, int size = 8, bool holeInMiddle = false)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(c);
    if (holeInMiddle) img.setPixel(size / 2, size / 2, qRgba(0, 0, 0, 0));
    return img;
}

std::shared_ptr<ImageList> hostList()
{
    auto list = std::make_shared<ImageList>();
    list->ImageWidth = list->ImageHeight = 8;
    list->Add(solid(Qt::red), QStringLiteral("A"));
    list->Add(solid(Qt::green, 8, true), QStringLiteral("B"));
    return list;
}

TEST(ImageListCopy, HostIndicesStartAtOneCopyIndicesAtZero)
{
    ImageListClass copy;
    ASSERT_TRUE(copy.Copy(hostList()));
    EXPECT_EQ(copy.Count, 2);
    EXPECT_EQ(copy.ImageWidth, 8);
    EXPECT_TRUE(copy.OwnsList);
    DDBitmap bmp(20, 10);
    copy.Draw(1, bmp.hdc(), 0, 0, ILD_TRANSPARENT);
    copy.Draw(0, bmp.hdc(), 10, 0, ILD_TRANSPARENT);
    copy.Draw(2, bmp.hdc(), 10, 0, ILD_TRANSPARENT);   // out of range: nothing
    EXPECT_EQ(GetPixel(bmp.hdc(), 1, 1), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(bmp.hdc(), 11, 1), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(bmp.hdc(), 4, 4), RGB(255, 255, 255)) << "transparent pixel shows through";
}

TEST(ImageListCopy, OpaqueDrawingFillsBehindWithTheBackgroundColour)
{
    ImageListClass copy;
    copy.Copy(hostList());
    ImageListSetBkColor(copy.Handle, RGB(0, 0, 255));
    DDBitmap bmp(10, 10);
    copy.Draw(1, bmp.hdc(), 0, 0, ILD_NORMAL);
    EXPECT_EQ(GetPixel(bmp.hdc(), 4, 4), RGB(0, 0, 255));
}

TEST(ImageListCopy, EmptyOrMissingListMakesNoDrawingList)
{
    ImageListClass copy;
    EXPECT_TRUE(copy.Copy(std::make_shared<ImageList>()));
    EXPECT_EQ(copy.Handle, 0);
    EXPECT_FALSE(copy.OwnsList);
    DDBitmap bmp(10, 10);
    copy.Draw(0, bmp.hdc(), 0, 0, ILD_TRANSPARENT);
    EXPECT_EQ(GetPixel(bmp.hdc(), 1, 1), RGB(255, 255, 255));
    EXPECT_TRUE(copy.Copy(nullptr));
}

TEST(ImageListCopy, ReleaseAndReplacementFreeTheList)
{
    DeleteDC(CreateCompatibleDC());   // stock objects first
    const int before = GdiObjectCount();
    HandleId first = 0;
    {
        auto copy = std::make_shared<ImageListClass>();
        copy->Copy(hostList());
        first = copy->Handle;
        auto second = std::make_shared<ImageListClass>();
        second->Copy(hostList());
        copy = second;   // the grid's Icons replaced: the first list goes
        EXPECT_EQ(ImageListCount(first), 0);
    }
    EXPECT_EQ(GdiObjectCount(), before);
}

TEST(Pictures, LoaderByExtension)
{
    struct Case {
        const char* name;
        bool gdiForBitmaps;
        PictureLoader loader;
    } cases[] = {
        {"a.JPG", false, PictureLoader::GdiPlus},  {"a.png", false, PictureLoader::GdiPlus},
        {"a.tiff", false, PictureLoader::GdiPlus}, {"a.gif", false, PictureLoader::GdiPlus},
        {"a.bmp", false, PictureLoader::Platform}, {"a.bmp", true, PictureLoader::GdiPlus},
        {"a.ico", true, PictureLoader::Platform},  {"a.pcx", false, PictureLoader::None},
        {"png", false, PictureLoader::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PictureLoaderFor(QString::fromLatin1(c.name), c.gdiForBitmaps), c.loader) << c.name;
}

TEST(Pictures, LoadsEachFormatAndReportsFailuresAsText)
{
    QTemporaryDir dir;
    QImage img(6, 4, QImage::Format_RGB32);
    img.fill(Qt::blue);
    for (const char* ext : {"bmp", "jpg", "png", "tiff"}) {
        SCOPED_TRACE(ext);
        const QString path = dir.filePath(QStringLiteral("pic.") + QLatin1String(ext));
        ASSERT_TRUE(img.save(path));
        QString err = QStringLiteral("old");
        const PicturePtr pic = LoadPictureEx(path, err);
        ASSERT_TRUE(pic);
        EXPECT_TRUE(err.isEmpty());
        EXPECT_EQ(pic->Width(), 6);
        EXPECT_EQ(pic->Height(), 4);
    }
    auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(QLatin1String(name)));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    };
    // Qt writes no GIF: a 1 x 1 one byte by byte.
    const char gif[] = "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00!\xf9\x04\x01\x00\x00\x00"
                       "\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02D\x01\x00;";
    QString gifErr;
    const PicturePtr gifPic = LoadPictureEx(write("one.gif", QByteArray(gif, sizeof gif - 1)), gifErr);
    ASSERT_TRUE(gifPic) << gifErr.toStdString();
    EXPECT_EQ(gifPic->Width(), 1);

    struct Case {
        QString path;
        QString error;
    } cases[] = {
        {write("short.png", "12345"), QStringLiteral("Leere Datei")},
        {write("bad.pcx", QByteArray(64, 'x')), QStringLiteral("Bildformat wird nicht unterstützt")},
        {write("bad.png", QByteArray(64, 'x')), QStringLiteral("\nBitmap kann nicht aus Bild-Datei erstellt werden")},
        {write("bad.bmp", QByteArray(64, 'x')), QStringLiteral("Laden des Bildes scheitert (Loadpicture)")},
    };
    for (const auto& c : cases) {
        QString err;
        EXPECT_FALSE(LoadPictureEx(c.path, err));
        EXPECT_EQ(err, c.error) << c.path.toStdString();
    }
    QString err;
    const PicturePtr empty = LoadPictureEx(QStringLiteral("  "), err);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->Type(), 0);
}

TEST(Pictures, ToolbarBackgroundGoesToTheWindowOrItsToolBar)
{
    QMainWindow w;
    auto* bar = w.addToolBar(QStringLiteral("main"));
    const int before = GdiObjectCount();
    SetToolbarBackground(&w, CreateSolidBrush(RGB(1, 2, 3)), 2);
    EXPECT_EQ(bar->palette().color(QPalette::Window), QColor(1, 2, 3));
    SetToolbarBackground(&w, CreateSolidBrush(RGB(4, 5, 6)), 2);
    EXPECT_EQ(bar->palette().color(QPalette::Window), QColor(4, 5, 6));
    EXPECT_EQ(GdiObjectCount(), before + 1) << "the brush held before is freed";
    SetToolbarBackground(&w, COLOR_BTNFACE + 1, 1);
    EXPECT_EQ(w.palette().color(QPalette::Window), ToQColor(GetSysColor(COLOR_BTNFACE)));
    const QColor kept = w.palette().color(QPalette::Window);
    const HandleId unused = CreateSolidBrush(RGB(9, 9, 9));
    SetToolbarBackground(&w, unused, 3);   // other modes do nothing
    EXPECT_EQ(w.palette().color(QPalette::Window), kept);
    DeleteObject(unused);
}

} // namespace
