#include "catalogue/core/modsettings.h"
#include "coretest.h"

#include <QGuiApplication>
#include <QImage>
#include <QFontMetrics>
#include <QPainter>
#include <QScreen>
#include <QDialog>
#include <QVBoxLayout>
#include <QWidget>

using SettingsTest = ProgramFolderTest;

TEST_F(SettingsTest, ReadIniGivesDefaultsEmptyValuesAndWholeLongValues)
{
    const QByteArray layout = QByteArray("Name!Hidden=0;Width=1500;Fixed=0;Order=1$").repeated(90);
    writeFile(QStringLiteral("Tovarin.ini"), "[MAIN]\r\nDialog=/data\r\nLanguageFile=\r\nLayout=" + layout + "\r\n");
    EXPECT_EQ(tv::ReadIni(QStringLiteral("main"), QStringLiteral("dialog"), QStringLiteral("x")), QStringLiteral("/data"));
    EXPECT_EQ(tv::ReadIni(QStringLiteral("MAIN"), QStringLiteral("LanguageFile"), QStringLiteral("deutsch.lng")), QString());
    EXPECT_EQ(tv::ReadIni(QStringLiteral("MAIN"), QStringLiteral("SkipZipSize"), QStringLiteral("5")), QStringLiteral("5"));
    EXPECT_EQ(tv::ReadIni(QStringLiteral("MAIN"), QStringLiteral("Layout")), QString::fromLatin1(layout));
    tv::InitProgramPaths(dir.filePath(QStringLiteral("elsewhere")));
    EXPECT_EQ(tv::ReadIni(QStringLiteral("MAIN"), QStringLiteral("Dialog"), QStringLiteral("x")), QStringLiteral("x"));
}

namespace {

// A window of 400 x 267 pixels: 6000 x 4005 twips.
std::unique_ptr<QWidget> makeWindow(bool fixed)
{
    auto w = std::make_unique<QWidget>();
    w->setObjectName(QStringLiteral("frmFile"));
    if (fixed) w->setFixedSize(400, 267);
    else w->resize(400, 267);
    w->move(33, 44);
    return w;
}

} // namespace

TEST_F(SettingsTest, LoadFormPosPlacesClampsCentresAndMaximises)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QPoint centred(screen.x() + (screen.width() - 400) / 2, screen.y() + (screen.height() - 267) / 2);
    struct Case {
        const char* name;
        const char* entry; // nullptr: no entry
        bool fixed;
        QPoint pos;
        QSize size;
        bool maximised;
    };
    const Case cases[] = {
        {"no entry centres", nullptr, false, centred, {400, 267}, false},
        {"never smaller than designed", "0;0;100;100;0", false, {0, 0}, {400, 267}, false},
        {"negative top and left become 0", "-300;-150;6000;9000;0", false, {0, 0}, {600, 400}, false},
        {"not a number reads as 0", "abc;3000;6000;9000;0", false, {200, 0}, {600, 400}, false},
        {"four parts place, state normal", "1500;3000;6000;9000", false, {200, 100}, {600, 400}, false},
        {"fewer than four parts stay put", "1500;3000", false, {33, 44}, {400, 267}, false},
        {"maximised", "1500;3000;6000;9000;2", false, {200, 100}, {600, 400}, true},
        {"fixed size differs: centred", "1500;3000;6000;9000;0", true, centred, {400, 267}, false},
        {"fixed size same: placed", "1500;3000;4005;6000;0", true, {200, 100}, {400, 267}, false},
        {"kept on screen", "150000;150000;4005;6000;0", false,
         {screen.right() + 1 - 400, screen.bottom() + 1 - 267}, {400, 267}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tv::gcolWindows.clear();
        if (c.entry) tv::gcolWindows.add(QString::fromLatin1(c.entry), QStringLiteral("FRMFILE"));
        auto w = makeWindow(c.fixed);
        tv::LoadFormPos(w.get());
        EXPECT_EQ(w->pos(), c.pos);
        EXPECT_EQ(w->size(), c.size);
        EXPECT_EQ(bool(w->windowState() & Qt::WindowMaximized), c.maximised);
    }
}

// A dialog opened the first time is centred over the window that owns it, at the size its
// layout gives it, not at the size Qt gives a window before it is laid out.
TEST_F(SettingsTest, LoadFormPosCentresANewDialogOverItsOwner)
{
    tv::gcolWindows.clear();
    QWidget owner;
    owner.setGeometry(10, 20, 500, 400);
    owner.show();
    QDialog dialog(&owner);
    dialog.setObjectName(QStringLiteral("frmCategory"));
    auto* content = new QWidget(&dialog);
    content->setMinimumSize(300, 200);
    (new QVBoxLayout(&dialog))->addWidget(content);
    tv::LoadFormPos(&dialog);
    // Its load may still change what it shows; the place follows the size it is shown with.
    content->setMinimumSize(320, 210);
    dialog.show();
    EXPECT_GE(dialog.width(), 320);
    EXPECT_GE(dialog.height(), 210);
    // Within the width of a window frame.
    EXPECT_LE(std::abs(dialog.geometry().center().x() - owner.geometry().center().x()), 3);
    EXPECT_LE(std::abs(dialog.geometry().center().y() - owner.geometry().center().y()), 3);
}

TEST_F(SettingsTest, SaveFormPosReplacesTheEntryInTwips)
{
    tv::gcolWindows.add(QStringLiteral("old"), QStringLiteral("frmOther"));
    tv::gcolWindows.add(QStringLiteral("old"), QStringLiteral("FRMFILE"));
    auto w = makeWindow(false);
    w->move(30, 45);
    w->resize(300, 200);
    tv::SaveFormPos(w.get());
    ASSERT_NE(tv::gcolWindows.item(QStringLiteral("frmFile")), nullptr);
    EXPECT_EQ(*tv::gcolWindows.item(QStringLiteral("frmFile")), QStringLiteral("675;450;3000;4500;0"));
    EXPECT_EQ(tv::gcolWindows.count(), 2);

    auto again = makeWindow(false);
    tv::LoadFormPos(again.get());
    EXPECT_EQ(again->pos(), QPoint(30, 45));
    EXPECT_EQ(again->size(), QSize(400, 267)); // never below its designed size
}

TEST(AutoSizeLabel, WrapsTheTextInsideTheLabel)
{
    QWidget parent;
    QWidget label(&parent);
    label.setGeometry(10, 20, 60, 80);
    // Like an edit control, a word wider than the label is broken, not drawn past its edge.
    for (const char* text : {"/home/spiele/atari/sammlung/ein/langer/pfad/datei.atr",
                             "EineSehrLangeDateiOhneJedenTrennerImNamen"}) {
        SCOPED_TRACE(text);
        QImage image(120, 140, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setPen(Qt::black);
            tv::AutoSizeLabel(painter, &label, QString::fromUtf8(text));
        }
        int inside = 0, outside = 0, below = 0;
        const int secondLine = label.geometry().top() + QFontMetrics(QFont()).height();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                    (label.geometry().contains(x, y) ? inside : outside)++;
                    if (y >= secondLine) ++below;
                }
        EXPECT_GT(inside, 0);
        EXPECT_EQ(outside, 0);
        // The rest of the word goes on in the following lines, not past the edge.
        EXPECT_GT(below, 0);
        const int lines = tv::AutoSizeLabelHeight(QFont(), 60, QString::fromUtf8(text)) / QFontMetrics(QFont()).height();
        EXPECT_GE(lines, 3);
    }
}
