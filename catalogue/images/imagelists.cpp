#include "imagelists.h"

#include "platform/gui/imagelist.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace tv {

namespace {

struct Picture {
    int number;
    const char* key;
    const char* name;
};

// The main image list, by number. Gaps are numbers nothing names.
constexpr Picture kMainPictures[] = {
    {1, "ATR", "atr"},           {2, "COM", "com"},         {3, "EXE", "exe"},     {4, "CAS", "cas"},
    {5, "PRO", "pro"},           {6, "DCM", "dcm"},         {7, "BAS", "bas"},     {8, "XFD", "xfd"},
    {9, "BIN", "bin"},           {10, "ROM", "rom"},        {11, "XEX", "xex"},    {imgMainFiles, "MAINFILES", "mainfiles"},
    {imgNewFiles, "NEWFILES", "newfiles"}, {imgFilter, "FILTER", "filter"}, {imgFilterOff, "OFF", "off"},
    {imgFiles, "FILES", "files"}, {imgText, "TXT", "txt"},   {imgPdf, "PDF", "pdf"}, {imgPicture, "GFX", "gfx"},
    {imgCategory, "CATEGORIES", "categories"}, {imgHistory, "LAST", "last"}, {imgArchive, "ZIP", "zip"},
    {imgStartDay, "DAY", "day"},
};

constexpr Picture kToolbarPictures[] = {
    {1, "tb_NewDB", "tb_newdb"}, {2, "tb_OpenDB", "tb_opendb"}, {3, "tb_AddFile", "tb_addfile"},
    {4, "tb_AddDir", "tb_adddir"}, {5, "tb_View", "tb_view"}, {6, "tb_Start", "tb_start"},
    {7, "tb_Edit", "tb_edit"}, {8, "tb_Del", "tb_del"}, {9, "tb_Options", "tb_options"},
    {10, "tb_Exit", "tb_exit"},
};

QImage Blank(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

template <size_t N>
std::shared_ptr<ImageList> MakeList(const Picture (&pictures)[N], int size)
{
    auto list = std::make_shared<ImageList>();
    list->ImageWidth = size;
    list->ImageHeight = size;
    for (const Picture& p : pictures) {
        while (list->Count() < p.number - 1) list->Add(Blank(size));
        list->Add(RenderImage(QString::fromLatin1(p.name), size), QString::fromLatin1(p.key));
    }
    return list;
}

} // namespace

QImage RenderImage(const QString& name, int size)
{
    const QString path = QStringLiteral(":/images/") + name + QStringLiteral(".svg");
    if (!QFile::exists(path)) return QImage();
    QSvgRenderer renderer(path);
    if (!renderer.isValid()) return QImage();
    QImage image = Blank(size);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

std::shared_ptr<ImageList> MakeMainImages() { return MakeList(kMainPictures, 16); }

std::shared_ptr<ImageList> MakeToolbarImages() { return MakeList(kToolbarPictures, 24); }

QIcon ProgramIcon()
{
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128}) icon.addPixmap(QPixmap::fromImage(RenderImage(QStringLiteral("tovarin"), size)));
    return icon;
}

QIcon ImageIcon(const ImageList& list, const QString& key)
{
    const int index = list.IndexOfKey(key);
    return index > 0 ? QIcon(QPixmap::fromImage(list.ExtractIcon(index))) : QIcon();
}

} // namespace tv
