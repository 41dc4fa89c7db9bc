#include "archivefixtures.h"
#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/import/clsfilemanager.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace tv {

namespace {

struct Message {
    QString text;
    int type;
};

} // namespace

class NestedImport : public ::testing::Test {
protected:
    void SetUp() override
    {
        rar = test::MakeNestedRar(app.path(), &members);
        ASSERT_FALSE(rar.isEmpty());
        QObject::connect(&fm, &clsFileManager::ShowMessage,
                         [this](const QString& t, int n) { messages.push_back({t, n}); });
        fm.InitCount();
        fm.InitSearch();
    }
    test::AppFolder app;
    clsFileManager fm;
    QString rar;
    std::vector<test::NestedMember> members;
    std::vector<Message> messages;
};

TEST_F(NestedImport, EveryMemberOnceInNumberedFolders)
{
    const qint32 id = fm.LoadFile(QStringLiteral("OUTER.RAR"), rar, 1, QString(), false, 0);
    EXPECT_GT(id, 0);
    // Every row reported once.
    QStringList added, notices;
    for (const Message& m : messages) {
        if (m.type > 0) added << m.text;
        if (m.type < 0) notices << m.text;
    }
    QStringList expected;
    for (const auto& m : members) expected << m.name;
    added.sort();
    expected.sort();
    EXPECT_EQ(added, expected);
    EXPECT_EQ(notices, QStringList{QStringLiteral("Fehlerhaftes Atari-File: ") + rar +
                                   QStringLiteral("\\PACK.ZIP\\BAD.ATR")});
    // The real folder "A2" of the archive is not taken for an unpack folder.
    const QString t = gtTempPath;
    for (const QString& f : {t + "/A1", t + "/A1/A3", t + "/A1/A4", t + "/A1/A4/A5", t + "/A1/A6"})
        EXPECT_TRUE(QFileInfo(f).isDir()) << f.toStdString();
    EXPECT_TRUE(QFileInfo(t + "/A1/A3/D.XFD").isFile());
    EXPECT_TRUE(QFileInfo(t + "/A1/A4/A5/DEEP.XEX").isFile());
    // One row per member: the outer archive's path, the member chain, type and size.
    std::vector<QStringList> expectedRows;
    for (const auto& m : members)
        expectedRows.push_back({m.name, rar, m.chain, QString::number(m.fileType), QString::number(m.data.size())});
    std::sort(expectedRows.begin(), expectedRows.end());
    EXPECT_EQ(test::CatalogueRows("Select tFile, tPath, tUnpackPath, iFileType, lSize From MainFiles"
                                  " order by tFile"),
              expectedRows);
    EXPECT_EQ(test::CatalogueRows("Select Min(ID), Max(ID) From MainFiles"),
              (std::vector<QStringList>{{"1", QString::number(members.size())}}));
}

TEST_F(NestedImport, FreshEngineExtractsEveryRow)
{
    fm.LoadFile(QStringLiteral("OUTER.RAR"), rar, 1, QString(), false, 0);
    ASSERT_TRUE(QDir(gtTempPath).removeRecursively());
    clsFileManager fresh;
    const auto rows = test::CatalogueRows("Select tFile, tUnpackPath, tPath From MainFiles");
    ASSERT_EQ(rows.size(), members.size());
    for (const QStringList& row : rows) {
        SCOPED_TRACE(row[1].toStdString());
        const auto m = std::find_if(members.begin(), members.end(),
                                    [&row](const test::NestedMember& n) { return n.chain == row[1]; });
        ASSERT_NE(m, members.end());
        const QString path = fresh.ExtractFileFromArchiv(row[0], row[1], row[2]);
        ASSERT_FALSE(path.isEmpty());
        EXPECT_TRUE(path.startsWith(gtTempPath + QLatin1Char('/')));
        EXPECT_EQ(QFileInfo(path).fileName(), m->name);
        EXPECT_EQ(test::ReadFile(path), m->data);
    }
    // Hostile or unknown chains give nothing.
    EXPECT_TRUE(fresh.ExtractFileFromArchiv("X", "..\\..\\etc\\passwd", rar).isEmpty());
    EXPECT_TRUE(fresh.ExtractFileFromArchiv("X", "NOPE.ATR", rar).isEmpty());
    EXPECT_TRUE(fresh.ExtractFileFromArchiv("passwd", "etc\\passwd", "/").isEmpty());
    // A stored path that names a folder, not an archive: no element of the chain is looked
    // up from the root, so nothing is unpacked outside the temporary folder ("/tmp" as the
    // stored path, a ZIP in /tmp as the chain's archive).
    QTemporaryFile zip(QStringLiteral("/tmp/XXXXXX.ZIP"));
    ASSERT_TRUE(zip.open());
    zip.close();
    ASSERT_TRUE(test::WriteStoredZip(zip.fileName(), {{"GAME.XEX", "x"}}));
    const auto unpackFolders = [] { return QDir("/tmp").entryList({"A*"}, QDir::Dirs); };
    const QStringList before = unpackFolders();
    EXPECT_TRUE(fresh.ExtractFileFromArchiv("GAME.XEX", QFileInfo(zip).fileName() + "\\GAME.XEX",
                                            app.path("tmp")).isEmpty());
    EXPECT_EQ(unpackFolders(), before);

    // An import reuses the extraction's folders but fills them first: every member is found.
    ASSERT_FALSE(goDB->Execute("Delete * from MainFiles"));
    fresh.InitCount();
    fresh.InitSearch();
    EXPECT_GT(fresh.LoadFile(QStringLiteral("OUTER.RAR"), rar, 1, QString(), false, 0), 0);
    EXPECT_EQ(test::CatalogueRows("Select Count(ID) From MainFiles"),
              (std::vector<QStringList>{{QString::number(members.size())}}));
}

TEST_F(NestedImport, CataloguedArchiveIsReportedOrRescanned)
{
    const qint32 first = fm.LoadFile(QStringLiteral("OUTER.RAR"), rar, 1, QString(), false, 0);
    ASSERT_GT(first, 0);
    messages.clear();
    const qint32 again = fm.LoadFile(QStringLiteral("OUTER.RAR"), rar, 1, QString(), false, 0);
    EXPECT_LT(again, 0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Datei ist schon vorhanden: OUTER.RAR");
    // Refresh alone passes it on silently; with the rescan flag it is unpacked afresh and a
    // member deleted meanwhile comes back.
    messages.clear();
    EXPECT_LT(fm.LoadFile(QStringLiteral("OUTER.RAR"), rar, 1 | 4, QString(), false, 0), 0);
    EXPECT_TRUE(messages.empty());
    ASSERT_FALSE(goDB->Execute("Delete * from MainFiles where tFile='T.COM'"));
    EXPECT_GT(fm.LoadFile(QStringLiteral("OUTER.RAR"), rar, 1 | 4 | 8, QString(), false, 0), 0);
    EXPECT_EQ(test::CatalogueRows("Select tUnpackPath From MainFiles where tFile='T.COM'"),
              (std::vector<QStringList>{{"TOOLS.7Z\\T.COM"}}));
    EXPECT_EQ(test::CatalogueRows("Select Count(ID) From MainFiles"),
              (std::vector<QStringList>{{QString::number(members.size())}}));
}

} // namespace tv

namespace tv {

TEST(ArchiveFolders, KeysAreFullPathsComparedAsSpelled)
{
    test::AppFolder app;
    const QString lower = app.path("in/games.zip"), upper = app.path("in/GAMES.ZIP"),
                  other = app.path("in/sub/games.zip");
    ASSERT_TRUE(test::WriteStoredZip(lower, {{"LOW.XEX", "l"}}));
    ASSERT_TRUE(test::WriteStoredZip(upper, {{"UP.XEX", "u"}}));
    ASSERT_TRUE(test::WriteStoredZip(other, {{"SUB.XEX", "s"}}));
    clsFileManager fm;
    const QString a = fm.CreateTempPathIfFileArchiv("games.zip", QString(), lower);
    const QString b = fm.CreateTempPathIfFileArchiv("GAMES.ZIP", QString(), upper);
    const QString c = fm.CreateTempPathIfFileArchiv("games.zip", QString(), other);
    EXPECT_EQ(QStringList({a, b, c}), QStringList({gtTempPath + "/A1", gtTempPath + "/A2", gtTempPath + "/A3"}));
    EXPECT_TRUE(QFileInfo(b + "/UP.XEX").isFile());
    // Known archives are not unpacked again; forgotten ones get a fresh folder.
    EXPECT_EQ(fm.CreateTempPathIfFileArchiv("games.zip", QString(), lower), a);
    fm.DeleteTempCol();
    EXPECT_EQ(fm.CreateTempPathIfFileArchiv("games.zip", QString(), lower), gtTempPath + "/A4");
}

} // namespace tv

namespace tv {

class PlainImport : public ::testing::Test {
protected:
    void SetUp() override
    {
        QObject::connect(&fm, &clsFileManager::ShowMessage, [this](const QString& t, int n) {
            if (n != 0) lines << QString::number(n) + QLatin1Char(' ') + t;
        });
        fm.InitCount();
        fm.InitSearch();
    }
    QString file(const QString& name, const QByteArray& data)
    {
        const QString path = app.path("disk/" + name);
        test::WriteFile(path, data);
        return path;
    }
    qint32 load(const QString& name, int flags = 1)
    {
        return fm.LoadFile(name, app.path("disk/" + name), flags, QString(), false, 0);
    }
    test::AppFolder app;
    clsFileManager fm;
    QStringList lines;
};

TEST_F(PlainImport, RowsAndDuplicates)
{
    const QString game = file("Bob's Game.XEX", "12345");
    file("README", "r");
    file("NOTES.AT", "a");
    file("BAD.ATR", QByteArray("\0\2", 2));
    EXPECT_EQ(load("Bob's Game.XEX"), 1);
    EXPECT_EQ(load("README"), 0);    // no dot: its own extension, not in the list
    EXPECT_EQ(load("NOTES.AT"), 0);  // "AT" passes the list test, but is no type
    EXPECT_EQ(load("BAD.ATR"), 0);
    EXPECT_EQ(load("Bob's Game.XEX"), -1);  // found although the path holds "'"
    EXPECT_EQ(load("Bob's Game.XEX", 1 | 4), -1);  // refresh: silently
    EXPECT_EQ(lines, (QStringList{"11 Bob's Game.XEX",
                                  "-1 Fehlerhaftes Atari-File: " + app.path("disk/BAD.ATR"),
                                  "-1 Datei ist schon vorhanden: Bob's Game.XEX"}));
    EXPECT_EQ(test::CatalogueRows("Select ID, tFile, tPath, tUnpackPath, iFileType, lSize From MainFiles"),
              (std::vector<QStringList>{{"1", "Bob's Game.XEX", game, "<Null>", "11", "5"}}));
    // Numbers stored as numbers, names as texts, the time of adding as a date serial of now.
    EXPECT_EQ(test::CatalogueRows("Select typeof(ID), typeof(tFile), typeof(tPath), typeof(iFileType),"
                                  " typeof(lSize), typeof(tsCreated) From MainFiles"),
              (std::vector<QStringList>{{"integer", "text", "text", "integer", "integer", "real"}}));
    const auto created = goDB->OpenRecordset("Select tsCreated From MainFiles");
    ASSERT_TRUE(created);
    EXPECT_LE(std::abs(created->Value("tsCreated").toDateTime().secsTo(QDateTime::currentDateTime())), 60);
    // Without the list flag a listed-out extension is still imported by type.
    gtImportFiles = ".ATR";
    file("T.TXT", "t");
    EXPECT_EQ(load("T.TXT"), 0);
    EXPECT_EQ(load("T.TXT", 0), 2);
    fm.CountFiles();
    EXPECT_EQ(fm.FileCount, 2);
}

TEST_F(PlainImport, NewIdsNeverInheritAStartHistory)
{
    file("A.XEX", "a");
    file("B.XEX", "b");
    ASSERT_EQ(load("A.XEX"), 1);
    ASSERT_EQ(load("B.XEX"), 2);
    // B was started, then deleted; its history stays.
    ASSERT_FALSE(goDB->Execute("INSERT INTO History (MainFiles_ID, tsStarted) VALUES (2, 45000)"));
    ASSERT_FALSE(goDB->Execute("Delete * from MainFiles where ID=2"));
    clsFileManager reopened;
    reopened.InitCount();
    EXPECT_EQ(reopened.lStartFileID, 2);
    EXPECT_EQ(reopened.FileCount, 1);
    file("C.XEX", "c");
    EXPECT_EQ(reopened.LoadFile("C.XEX", app.path("disk/C.XEX"), 1, QString(), false, 0), 3);
}

} // namespace tv

namespace tv {

TEST(ArchiveFolders, ImportAfterAnExtractionKeepsRealFoldersApart)
{
    // The extraction unpacks only N.ZIP and gives it the folder "A2" beside it; the archive's
    // own folder "A2" must not end up inside that folder when the import unpacks it whole.
    test::AppFolder app;
    const QString inner = app.path("work/N.ZIP");
    ASSERT_TRUE(test::WriteStoredZip(inner, {{"IN.XEX", "in"}}));
    const QString outer = app.path("in/P.7Z");
    ASSERT_TRUE(test::WriteFile(app.path("src/A2/REAL.XEX"), "real"));
    ASSERT_TRUE(test::WriteFile(app.path("src/N.ZIP"), test::ReadFile(inner)));
    ASSERT_TRUE(test::Make7z(outer, app.path("src")));
    clsFileManager fm;
    fm.InitCount();
    fm.InitSearch();
    EXPECT_EQ(test::ReadFile(fm.ExtractFileFromArchiv("IN.XEX", "N.ZIP\\IN.XEX", outer)), "in");
    EXPECT_GT(fm.LoadFile("P.7Z", outer, 1, QString(), false, 0), 0);
    EXPECT_EQ(test::CatalogueRows("Select tUnpackPath From MainFiles order by tUnpackPath"),
              (std::vector<QStringList>{{"A2\\REAL.XEX"}, {"N.ZIP\\IN.XEX"}}));
}

} // namespace tv
