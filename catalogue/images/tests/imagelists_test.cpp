#include "catalogue/images/imagelists.h"
#include "platform/gui/imagelist.h"

#include <gtest/gtest.h>

namespace tv {
namespace {

// Pixels a picture covers; an empty or missing picture covers none.
int CoveredPixels(const QImage& image)
{
    int covered = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) covered += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    return covered;
}

// Every key the windows look a picture up by, and every number the catalogue's rows, the
// tree's SQL and the job window store, finds a drawn picture.
TEST(MainImages, KeysAndStoredNumbersFindTheirPictures)
{
    const auto images = MakeMainImages();
    struct Case {
        const char* key;
        int number;  // 0: any number
    };
    const Case cases[] = {
        // File type code n shows image n.
        {"ATR", 1}, {"COM", 2}, {"EXE", 3}, {"CAS", 4}, {"PRO", 5}, {"DCM", 6}, {"BAS", 7}, {"XFD", 8},
        {"BIN", 9}, {"ROM", 10}, {"XEX", 11}, {"TXT", 18}, {"PDF", 19}, {"GFX", 20},
        // Tree roots of the categories and history views (view kind + 19), category nodes and
        // deleted rows (22), the archive mark and missing files (27), start days (29).
        {"CATEGORIES", 22}, {"LAST", 23}, {"ZIP", 27}, {"DAY", 29},
        // Pane rows and the selection window's type tree.
        {"MAINFILES", 0}, {"NEWFILES", 0}, {"FILTER", 0}, {"OFF", 0}, {"FILES", 0},
    };
    QList<int> seen;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        const int index = images->IndexOfKey(QString::fromLatin1(c.key));
        ASSERT_GT(index, 0);
        if (c.number) {
            EXPECT_EQ(index, c.number);
        }
        EXPECT_FALSE(seen.contains(index));
        seen << index;
        const QImage image = images->ExtractIcon(index);
        EXPECT_EQ(image.size(), QSize(16, 16));
        EXPECT_GT(CoveredPixels(image), 40);
    }
}

// A control copies the list image by image and gives up at the first missing one, so every
// number up to the last must hold an image, even where nothing is drawn.
TEST(MainImages, ControlsCopyEveryNumber)
{
    const auto images = MakeMainImages();
    ASSERT_GE(images->Count(), 29);
    ImageListClass copy;
    EXPECT_TRUE(copy.Copy(images));
    EXPECT_EQ(copy.Count, images->Count());
    EXPECT_EQ(ImageListCount(copy.Handle), images->Count());
}

TEST(ToolbarImages, EveryButtonHasItsPicture)
{
    const auto images = MakeToolbarImages();
    for (const char* key : {"tb_NewDB", "tb_OpenDB", "tb_AddFile", "tb_AddDir", "tb_View", "tb_Start", "tb_Edit",
                            "tb_Del", "tb_Options", "tb_Exit"}) {
        SCOPED_TRACE(key);
        const int index = images->IndexOfKey(QString::fromLatin1(key));
        ASSERT_GT(index, 0);
        EXPECT_EQ(images->ExtractIcon(index).size(), QSize(24, 24));
        EXPECT_GT(CoveredPixels(images->ExtractIcon(index)), 100);
        EXPECT_FALSE(ImageIcon(*images, QString::fromLatin1(key)).isNull());
    }
    EXPECT_TRUE(ImageIcon(*images, QStringLiteral("tb_Action")).isNull());
}

TEST(Pictures, UnknownNameGivesNoImage)
{
    EXPECT_TRUE(RenderImage(QStringLiteral("no-such-picture"), 16).isNull());
}

TEST(Pictures, ProgramIconIsDrawnAtTheDesktopSizes)
{
    const QIcon icon = ProgramIcon();
    for (const int size : {16, 32, 48}) {
        SCOPED_TRACE(size);
        const QImage image = icon.pixmap(size, size).toImage();
        EXPECT_EQ(image.size(), QSize(size, size));
        EXPECT_GT(CoveredPixels(image), size * size / 3);
    }
}

} // namespace
} // namespace tv
