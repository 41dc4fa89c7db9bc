#include "mainwindowtest.h"

#include "catalogue/core/modatari.h"
#include "catalogue/mainwindow/previewpane.h"
#include "controls/grid/listview.h"

#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>

using namespace tv;

namespace {

class PreviewTest : public CatalogueTest {
protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        pane.resize(200, 100);
        pane.show();
        pane.Active = true;
    }
    // Adds a catalogue row for a file of the test folder and gives back its ID.
    qint32 addFile(const QString& name, int type, const QString& path) const
    {
        EXPECT_FALSE(goDB->Execute(QStringLiteral("INSERT INTO MainFiles (tFile, tPath, iFileType, lSize) VALUES ('%1', '%2', %3, 10)")
                                       .arg(name, path)
                                       .arg(type)));
        return ids(QStringLiteral("SELECT MAX(ID) FROM MainFiles")).front();
    }
    QString text(int row) const { return pane.lvPreview->Data(QStringLiteral("Text"), row).toString(); }

    PreviewPane pane;
};

TEST_F(PreviewTest, InformationRowOnceForTheSameFile)
{
    pane.Active = false;
    pane.ShowPreview(-1, 1);
    EXPECT_EQ(pane.ShownId(), 0);

    pane.Active = true;
    pane.ShowPreview(-1, 1);
    EXPECT_EQ(pane.ShownId(), 1);
    auto grid = pane.lvPreview;
    ASSERT_EQ(grid->RowCount(), 1);
    EXPECT_EQ(grid->Data(QStringLiteral("File"), 0).toString(), QStringLiteral("BOULDER.ATR"));
    EXPECT_EQ(grid->Data(QStringLiteral("Extension"), 0).toString(), QStringLiteral("ATR"));
    EXPECT_EQ(grid->Data(QStringLiteral("Size"), 0).toString(), FormatFileSize(92176));
    // Font size 9: d = 1; 64.5 rounds to even.
    EXPECT_EQ(grid->Columns()->Item(QStringLiteral("File"))->Width(), 204);
    EXPECT_EQ(grid->Columns()->Item(QStringLiteral("Size"))->Width(), 74);
    EXPECT_EQ(grid->Columns()->Item(QStringLiteral("Extension"))->Width(), 64);

    grid->setData(QStringLiteral("File"), 0, QStringLiteral("changed"));
    pane.ShowPreview(1, 1);
    EXPECT_EQ(grid->Data(QStringLiteral("File"), 0).toString(), QStringLiteral("changed"));
    // Another catalogue: the same ID is shown afresh.
    pane.ClearPreview();
    pane.ShowPreview(1, 1);
    EXPECT_EQ(grid->Data(QStringLiteral("File"), 0).toString(), QStringLiteral("BOULDER.ATR"));

    const qint32 id = addFile(QStringLiteral("ABCDEFGHIJKLMNOP.XEX"), 11, QStringLiteral("/x"));
    pane.ShowPreview(id, 11);
    EXPECT_EQ(grid->Data(QStringLiteral("File"), 0).toString(), QStringLiteral("ABCDEFGHIJKLMNOP"));
    EXPECT_EQ(grid->Data(QStringLiteral("Extension"), 0).toString(), QStringLiteral("XEX"));
}

TEST_F(PreviewTest, TextFilesAreCutAfterTheirLineLimit)
{
    auto lines = [](int n) {
        QByteArray b;
        for (int i = 1; i <= n; ++i) b += "line " + QByteArray::number(i) + "\n";
        return b;
    };
    struct Case {
        int lines;
        int rows;
        const char* last;
    } cases[] = {{999, 999, "line 999"}, {1000, 1000, "line 1000"}, {1001, 1001, "..."}};
    for (const Case& c : cases) {
        const QString name = QStringLiteral("T%1.TXT").arg(c.lines);
        const qint32 id = addFile(name, 18, writeFile(name, lines(c.lines)));
        pane.ShowPreview(id, 18);
        EXPECT_EQ(pane.lvPreview->RowCount(), c.rows) << c.lines;
        EXPECT_EQ(text(c.rows - 1), QString::fromUtf8(c.last)) << c.lines;
        EXPECT_EQ(pane.lvPreview->Columns()->Item(QStringLiteral("Text"))->Header()->Text, name);
    }
    EXPECT_TRUE(pane.lblPreview->isHidden());

    const QString gone = dir.filePath(QStringLiteral("GONE.TXT"));
    pane.ShowPreview(addFile(QStringLiteral("GONE.TXT"), 18, gone), 18);
    EXPECT_EQ(pane.lblPreview->text(), QStringLiteral("Datei nicht gefunden: ") + gone);
    EXPECT_FALSE(pane.lblPreview->isHidden());
    EXPECT_TRUE(pane.lvPreview->isHidden());
    EXPECT_EQ(pane.lvPreview->RowCount(), 0);

    // A member of a missing archive: the archive is the missing file.
    ASSERT_FALSE(goDB->Execute(QStringLiteral("INSERT INTO MainFiles (tFile, tPath, tUnpackPath, iFileType)"
                                              " VALUES ('A.TXT', '/gone/COLL.ZIP', 'A.TXT', 18)")));
    pane.ShowPreview(ids(QStringLiteral("SELECT MAX(ID) FROM MainFiles")).front(), 18);
    EXPECT_EQ(pane.lblPreview->text(), QStringLiteral("Datei nicht gefunden: /gone/COLL.ZIP"));
}

// Text that is not UTF-8 reads as the old platform wrote it: Windows-1252, except DOS text
// (.NFO, .DIZ) in code page 437 with its box drawings, shown in a font of one width.
TEST_F(PreviewTest, TextInOldCodePagesReadsRight)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        QStringList rows;
        bool fixedWidth;
    } cases[] = {
        {"UTF8.TXT", "Gr\xc3\xb6\xc3\x9f" "e \xe2\x82\xac\n", {"Größe €"}, false},
        {"WIN.TXT", "caf\xe9 \x80 5\r\nna\xefve\r\n", {"café € 5", "naïve"}, false},
        {"README.NFO", "\xc9\xcd\xcd\xbb\r\n\xba\x81" "b\xba\r\n\xc8\xcd\xcd\xbc\r\n\xb0\xb1\xb2\xdb", {"╔══╗", "║üb║", "╚══╝", "░▒▓█"}, true},
        {"FILE_ID.DIZ", "\xda\xc4\xbf\n\xc0\xc4\xd9", {"┌─┐", "└─┘"}, true},
        // The same bytes in a .TXT file are Windows-1252 letters.
        {"BOX.TXT", "\xc9\xcd\xbb", {"ÉÍ»"}, false},
        {"EMPTY.NFO", "", {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = QString::fromLatin1(c.name);
        pane.ShowPreview(addFile(name, 18, writeFile(name, c.bytes)), 18);
        QStringList rows;
        for (int row = 0; row < pane.lvPreview->RowCount(); ++row) rows << text(row);
        EXPECT_EQ(rows, c.rows);
        // One width for every letter, measured: some fonts of one width (Noto Sans Mono) do
        // not say so of themselves.
        const QFont font = pane.lvPreview->Font()->toQFont();
        const QFontMetrics metrics(font);
        EXPECT_EQ(metrics.horizontalAdvance(QLatin1Char('i')) == metrics.horizontalAdvance(QLatin1Char('W')), c.fixedWidth)
            << QFontInfo(font).family().toStdString();
    }
}

TEST_F(PreviewTest, PicturesAreFittedNeverEnlarged)
{
    auto picture = [this](const QString& name, int w, int h) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::red);
        const QString path = dir.filePath(name);
        EXPECT_TRUE(image.save(path));
        return addFile(name, 20, path);
    };
    pane.ShowPreview(picture(QStringLiteral("SMALL.PNG"), 40, 20), 20);
    EXPECT_FALSE(pane.picGrafic->isHidden());
    EXPECT_TRUE(pane.lvPreview->isHidden());
    EXPECT_EQ(pane.imgGrafic->geometry(), QRect(80, 0, 40, 20));
    EXPECT_FALSE(pane.imgGrafic->hasScaledContents());

    pane.ShowPreview(picture(QStringLiteral("WIDE.PNG"), 400, 50), 20);
    EXPECT_EQ(pane.imgGrafic->geometry(), QRect(0, 0, 200, 25));
    EXPECT_TRUE(pane.imgGrafic->hasScaledContents());

    // Resizing fits the same picture again.
    pane.resize(100, 100);
    EXPECT_EQ(pane.PictureSize(), QSize(400, 50));
    EXPECT_EQ(pane.imgGrafic->geometry(), QRect(0, 0, 100, 12));

    // Back to another type: the picture goes, the grid comes back.
    pane.ShowPreview(1, 1);
    EXPECT_TRUE(pane.picGrafic->isHidden());
    EXPECT_FALSE(pane.lvPreview->isHidden());

    // A picture file that cannot be read says so in the pane instead of showing nothing;
    // the next picture takes the word away again.
    const QString broken = dir.filePath(QStringLiteral("BROKEN.PNG"));
    QFile f(broken);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(64, 'x'));
    f.close();
    pane.ShowPreview(addFile(QStringLiteral("BROKEN.PNG"), 20, broken), 20);
    EXPECT_TRUE(pane.lblPreview->isVisible());
    EXPECT_FALSE(pane.lblPreview->text().isEmpty());
    pane.ShowPreview(picture(QStringLiteral("GOOD.PNG"), 10, 10), 20);
    EXPECT_FALSE(pane.lblPreview->isVisible());
    EXPECT_TRUE(pane.imgGrafic->isVisible());
}

} // namespace
