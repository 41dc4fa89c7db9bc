#include "mainwindowtest.h"

#include "catalogue/import/clsfilemanager.h"
#include "catalogue/reports/simplereport.h"
#include "platform/db/database.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QScopeGuard>

using namespace tv;

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

// The main window over a catalogue of 3000 files (1 KB pages) whose pages from two fifths to
// three fifths of the file were overwritten with zeros: every table and index has pages there.
class DamagedCatalogueWindow : public MainFolderTest {
protected:
    void SetUp() override
    {
        MainFolderTest::SetUp();
        path = dir.filePath(QStringLiteral("cat.MDB"));
        DbError e;
        auto db = CreateCatalogue(path, kProgramKey, &e);
        ASSERT_TRUE(db);
        ASSERT_FALSE(db->BeginTrans());
        for (int i = 0; i < 3000; ++i)
            ASSERT_FALSE(db->Execute(QStringLiteral("Insert Into MainFiles (tFile, tPath, iFileType) Values ('f%1.atr', '/p/f%1.atr', 1)").arg(i)));
        ASSERT_FALSE(db->CommitTrans());
        db->Close();
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        const qint64 pages = f.size() / 1024;
        ASSERT_TRUE(f.seek(pages * 2 / 5 * 1024));
        f.write(QByteArray(int(pages / 5) * 1024, '\0'));
        f.close();
        before = fileBytes(path);
        writeIni(QStringLiteral("[MAIN]\r\nDatabase=") + path + QStringLiteral("\r\n"));
    }
    void TearDown() override
    {
        window.reset();
        SetForegroundCheckLimit(8 * 1024 * 1024);
        MainFolderTest::TearDown();
    }
    void open()
    {
        window = std::make_unique<frmMain>();
        window->show();
        QApplication::processEvents();
        QApplication::processEvents();
    }
    bool enabled(const char* name) const
    {
        const auto* action = window->findChild<QAction*>(QLatin1String(name));
        EXPECT_TRUE(action) << name;
        return action && action->isEnabled();
    }
    // The commands that write: both imports in the menu and the toolbar, and deleting.
    void expectWriteCommands(bool on) const
    {
        for (const char* name : {"mnuAddFile", "mnuAddDir", "tbAddFile", "tbAddDir"}) EXPECT_EQ(enabled(name), on) << name;
        window->lstMainFiles()->setSelectedIndex(0);
        if (window->lstMainFiles()->ItemCount() > 0) {
            EXPECT_EQ(enabled("mnuDel"), on);
            EXPECT_EQ(enabled("tbDel"), on);
        }
    }

    // The notices of damage among the messages; the others may only be the lists' own
    // reports that they could not be read.
    QStringList damageNotices() const
    {
        QStringList notices;
        for (const QString& m : messages) {
            if (m.startsWith(QStringLiteral("Die Datenbank ist beschädigt: ") + path)) notices << m;
            else EXPECT_TRUE(m.startsWith(QStringLiteral("Fehler beim Lesen der Datenbank: "))) << m.toStdString();
        }
        return notices;
    }

    QString path;
    QByteArray before;
    std::unique_ptr<frmMain> window;
};

} // namespace

// Opened, the damaged catalogue is named; answered No, it is browsed for reading only: the
// commands that could only fail are off, the count that failed shows as unknown, and the file
// is byte for byte as it was after the window closed.
TEST_F(DamagedCatalogueWindow, OpensForReadingWithItsWriteCommandsOffAndIsNeverWritten)
{
    answer = vbNo;
    open();
    ASSERT_TRUE(goDB);
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Die Datenbank ist beschädigt: ") + path)) << messages[0].toStdString();
    EXPECT_EQ(damageNotices().size(), 1);
    EXPECT_TRUE(goDB->IsReadOnly());
    expectWriteCommands(false);
    EXPECT_TRUE(enabled("mnuCompactDB"));
    EXPECT_TRUE(window->CountText().endsWith(QStringLiteral("/?"))) << window->CountText().toStdString();
    for (int view = 1; view <= 4; ++view) window->BuildView(view);
    window->close();
    window.reset();
    EXPECT_FALSE(goDB);
    EXPECT_EQ(damageNotices().size(), 1);
    EXPECT_TRUE(fileBytes(path) == before) << "the damaged catalogue was written to";
}

// Checked beside the window, the catalogue shows at once; the damage the check finds gives the
// same notice when it is known, the write commands go, and Yes compacts the catalogue into a
// copy of what is readable, which opens for writing in its place.
TEST_F(DamagedCatalogueWindow, DamageFoundBesideTheWindowIsOfferedForCompaction)
{
    SetForegroundCheckLimit(0);
    answer = vbYes;
    open();
    ASSERT_TRUE(goDB);
    QElapsedTimer clock;
    clock.start();
    while (damageNotices().isEmpty() && clock.elapsed() < 10000) QApplication::processEvents();
    const QStringList notices = damageNotices();
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].contains(QStringLiteral("Soll sie jetzt komprimiert werden?")));
    ASSERT_TRUE(goDB);
    EXPECT_FALSE(goDB->IsReadOnly());
    EXPECT_FALSE(goDB->QuickCheck());
    expectWriteCommands(true);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("cat.OLD"))));
    EXPECT_FALSE(window->CountText().endsWith(QStringLiteral("/?"))) << window->CountText().toStdString();
}

// A sound catalogue that cannot be written opens for reading with its notice; importing,
// deleting and compacting it are off.
TEST_F(DamagedCatalogueWindow, CatalogueThatCannotBeWrittenHasNoWriteCommands)
{
    const QString sound = dir.filePath(QStringLiteral("sound.MDB"));
    DbError e;
    auto db = CreateCatalogue(sound, kProgramKey, &e);
    ASSERT_TRUE(db);
    ASSERT_FALSE(db->Execute(QStringLiteral("Insert Into MainFiles (tFile, tPath, iFileType) Values ('a.atr', '/p/a.atr', 1)")));
    db->Close();
    writeIni(QStringLiteral("[MAIN]\r\nDatabase=") + sound + QStringLiteral("\r\n"));
    Database::SetOpenReadOnly(true);
    const auto writable = qScopeGuard([] { Database::SetOpenReadOnly(false); });
    open();
    ASSERT_TRUE(goDB);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Die Datenbank kann nicht geschrieben werden"))) << messages[0].toStdString();
    ASSERT_EQ(window->lstMainFiles()->ItemCount(), 1);
    expectWriteCommands(false);
    EXPECT_FALSE(enabled("mnuCompactDB"));
    EXPECT_EQ(window->CountText(), QStringLiteral("Dateien: 1/1"));
}
