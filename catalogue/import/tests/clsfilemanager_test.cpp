#include "archivefixtures.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/import/clsfilemanager.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

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
}

TEST_F(NestedImport, FreshEngineExtractsEveryMember)
{
    fm.LoadFile(QStringLiteral("OUTER.RAR"), rar, 1, QString(), false, 0);
    ASSERT_TRUE(QDir(gtTempPath).removeRecursively());
    clsFileManager fresh;
    for (const auto& m : members) {
        SCOPED_TRACE(m.chain.toStdString());
        const QString path = fresh.ExtractFileFromArchiv(m.name, m.chain, rar);
        ASSERT_FALSE(path.isEmpty());
        EXPECT_TRUE(path.startsWith(gtTempPath + QLatin1Char('/')));
        EXPECT_EQ(QFileInfo(path).fileName(), m.name);
        EXPECT_EQ(test::ReadFile(path), m.data);
    }
    // The import reuses the extraction's folders but fills them first: every member is found.
    messages.clear();
    QObject::connect(&fresh, &clsFileManager::ShowMessage,
                     [this](const QString& t, int n) { messages.push_back({t, n}); });
    fresh.InitSearch();
    fresh.LoadFile(QStringLiteral("OUTER.RAR"), rar, 1, QString(), false, 0);
    EXPECT_EQ(std::count_if(messages.begin(), messages.end(), [](const Message& m) { return m.type > 0; }),
              qsizetype(members.size()));
    // Hostile or unknown chains give nothing.
    EXPECT_TRUE(fresh.ExtractFileFromArchiv("X", "..\\..\\etc\\passwd", rar).isEmpty());
    EXPECT_TRUE(fresh.ExtractFileFromArchiv("X", "NOPE.ATR", rar).isEmpty());
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
