// Archives that cannot be unpacked: one notice row each, nothing catalogued, nothing kept.

#include "archivefixtures.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/import/clsfilemanager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

#include <functional>

namespace tv {

namespace {

class Recorder {
public:
    explicit Recorder(clsFileManager& fm)
    {
        QObject::connect(&fm, &clsFileManager::ShowMessage, [this](const QString& t, int n) {
            if (n != 0) lines << QString::number(n) + QLatin1Char(' ') + t;
        });
    }
    QStringList lines;  // result rows and notices, "type text"
};

QString Notice(const QString& text) { return QStringLiteral("-1 ") + text; }

} // namespace

TEST(ArchiveFailures, BrokenArchivesGiveOneNoticeAndNoRows)
{
    struct Case {
        const char* name;
        const char* ext;
        std::function<bool(const QString& archive, const QString& src)> make;
        const char* notice = "Fehler beim Entpacken: ";  // followed by the archive
    };
    const char* const kPassword = "Archiv ist kennwortgeschützt und wurde nicht durchsucht: ";
    const Case kCases[] = {
        {"password ZIP", "ZIP",
         [](const QString& a, const QString& src) {
             QProcess p;
             p.setWorkingDirectory(src);
             p.start("zip", {"-q", "-P", "secret", a, "GAME.XEX"});
             return p.waitForFinished() && p.exitCode() == 0;
         },
         kPassword},
        {"password 7Z", "7Z", [](const QString& a, const QString& src) { return test::Make7zWithPassword(a, src, false); },
         kPassword},
        {"password 7Z with hidden names", "7Z",
         [](const QString& a, const QString& src) { return test::Make7zWithPassword(a, src, true); }, kPassword},
        {"truncated 7Z", "7Z",
         [](const QString& a, const QString& src) {
             if (!test::Make7z(a + ".full.7z", src)) return false;
             return test::WriteFile(a, test::ReadFile(a + ".full.7z").left(60));
         }},
        {"not a CAB at all", "CAB", [](const QString& a, const QString&) { return test::WriteFile(a, "junk"); }},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        test::AppFolder app;
        const QString src = app.path("src");
        ASSERT_TRUE(test::WriteFile(src + "/GAME.XEX", test::Compressible("xex ")));
        const QString ext = QString::fromUtf8(c.ext);
        const QString archive = app.path("in/BROKEN." + ext);
        QDir().mkpath(app.path("in"));
        ASSERT_TRUE(c.make(archive, src));
        clsFileManager fm;
        Recorder rec(fm);
        fm.InitSearch();
        EXPECT_EQ(fm.LoadFile("BROKEN." + ext, archive, 1, QString(), false, 0), 0);
        EXPECT_EQ(rec.lines, QStringList{Notice(QString::fromUtf8(c.notice) + archive)});
        // The half-written folder is gone and forgotten: a second try unpacks afresh.
        EXPECT_TRUE(QDir(gtTempPath).isEmpty());
        fm.LoadFile("BROKEN." + ext, archive, 1, QString(), false, 0);
        EXPECT_EQ(rec.lines.size(), 2);
        EXPECT_TRUE(fm.ExtractFileFromArchiv("GAME.XEX", "GAME.XEX", archive).isEmpty());
    }
}

TEST(ArchiveFailures, UnpackerStillRunningAtTheTimeOutIsAFailure)
{
    test::AppFolder app(false, true);
    // A stand-in unpacker that writes a member, then takes its time.
    const QString tool = gtToolsPath + "7za";
    ASSERT_TRUE(test::WriteFile(tool, test::ListingThroughReal7za("#!/bin/sh\necho half > GAME.XEX\nexec sleep 2\n")));
    ASSERT_TRUE(QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QString zip = app.path("in/SLOW.ZIP");
    ASSERT_TRUE(test::WriteStoredZip(zip, {{"GAME.XEX", "x"}}));
    clsFileManager fm;
    Recorder rec(fm);
    fm.lUnpackTimeoutMs = 100;
    fm.InitSearch();
    EXPECT_EQ(fm.LoadFile("SLOW.ZIP", zip, 1, QString(), false, 0), 0);
    EXPECT_EQ(rec.lines, QStringList{Notice("Fehler beim Entpacken: " + zip)});
    EXPECT_EQ(test::CatalogueRows("Select Count(ID) From MainFiles"), (std::vector<QStringList>{{"0"}}));
    // Its folder is forgotten: the next try does not take what it left for a finished unpack.
    EXPECT_TRUE(fm.ExtractFileFromArchiv("GAME.XEX", "GAME.XEX", zip).isEmpty());
    EXPECT_EQ(rec.lines.size(), 2);
}

TEST(ArchiveFailures, Missing7zaStopsArchivesUntilTheNextJob)
{
    test::AppFolder app(false, true);
    const QString zip = app.path("in/A.ZIP");
    ASSERT_TRUE(test::WriteStoredZip(zip, {{"GAME.XEX", "x"}}));
    clsFileManager fm;
    Recorder rec(fm);
    fm.InitSearch();
    EXPECT_EQ(fm.LoadFile("A.ZIP", zip, 1, QString(), false, 0), 0);
    EXPECT_EQ(fm.LoadFile("A.ZIP", zip, 1, QString(), false, 0), 0);
    ASSERT_EQ(app.boxes.size(), 1);
    EXPECT_EQ(app.boxes[0], "Datei nicht gefunden: " + gtToolsPath + "7za");
    EXPECT_TRUE(rec.lines.isEmpty());
    fm.InitSearch();
    fm.LoadFile("A.ZIP", zip, 1, QString(), false, 0);
    EXPECT_EQ(app.boxes.size(), 2);
}

TEST(ArchiveFailures, MissingUnrarDropsRarForTheRunButKeepsTheStoredList)
{
    test::AppFolder app(true, false);
    const QString rar = app.path("in/A.RAR");
    ASSERT_TRUE(test::WriteStoredRar(rar, {{"GAME.XEX", "x"}}));
    const QString zip = app.path("in/B.ZIP");
    ASSERT_TRUE(test::WriteStoredZip(zip, {{"DISK.XFD", "x"}}));
    const QString before = gtImportFiles;
    clsFileManager fm;
    Recorder rec(fm);
    fm.InitSearch();
    EXPECT_EQ(fm.LoadFile("A.RAR", rar, 1, QString(), false, 0), 0);
    EXPECT_EQ(app.boxes, QStringList{"Datei nicht gefunden: " + gtToolsPath + "unrar"});
    fm.InitSearch();
    EXPECT_EQ(fm.LoadFile("A.RAR", rar, 1, QString(), false, 0), 0);
    EXPECT_EQ(app.boxes.size(), 1);
    EXPECT_EQ(gtImportFiles, before);
    EXPECT_GT(fm.LoadFile("B.ZIP", zip, 1, QString(), false, 0), 0);
    EXPECT_EQ(rec.lines, QStringList{"8 DISK.XFD"});
}

TEST(ArchiveFailures, SizeLimitAsksAboveTheLimitOnly)
{
    test::AppFolder app;
    gtSkipZipSize = "1";
    const QString exact = app.path("in/EXACT.ZIP"), above = app.path("in/ABOVE.ZIP"), empty = app.path("in/EMPTY.ZIP");
    ASSERT_TRUE(test::WriteFile(exact, QByteArray(1048576, 'z')));
    ASSERT_TRUE(test::WriteFile(above, QByteArray(5557453, 'z')));   // 5.3 MiB
    ASSERT_TRUE(test::WriteFile(empty, QByteArray()));
    clsFileManager fm;
    Recorder rec(fm);
    fm.InitSearch();
    app.answer = 7;  // vbNo
    EXPECT_TRUE(fm.CreateTempPathIfFileArchiv("EXACT.ZIP", QString(), exact).isEmpty());  // unpack fails
    EXPECT_TRUE(app.boxes.isEmpty());
    EXPECT_TRUE(fm.CreateTempPathIfFileArchiv("ABOVE.ZIP", QString(), above).isEmpty());
    EXPECT_EQ(app.boxes, QStringList{"Die Datei '" + above + "' hat eine Größe von 5,3 Mb.\nSoll die Datei entpackt werden?"});
    EXPECT_TRUE(fm.CreateTempPathIfFileArchiv("EMPTY.ZIP", QString(), empty).isEmpty());
    EXPECT_EQ(rec.lines, (QStringList{Notice("Fehler beim Entpacken: " + exact),
                                      Notice("Fehler in der Datei: '" + empty + "'")}));
    // With the check off an empty archive goes to the unpacker.
    gtSkipZipSize = "0";
    fm.CreateTempPathIfFileArchiv("EMPTY.ZIP", QString(), empty);
    EXPECT_EQ(rec.lines.last(), Notice("Fehler beim Entpacken: " + empty));
}

} // namespace tv
