// Archives with names an unpacker must never be trusted with: whatever they hold, the
// files land inside their unpack folder, readable, with valid names.

#include "archivefixtures.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/import/clsfilemanager.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <filesystem>

namespace tv {

namespace {

// Every file below `root`, relative to it, "/" separated (std::filesystem, so names that
// are not valid UTF-8 would show too).
QStringList AllFiles(const QString& root)
{
    QStringList files;
    namespace fs = std::filesystem;
    const fs::path base(root.toStdString());
    for (auto it = fs::recursive_directory_iterator(base); it != fs::recursive_directory_iterator(); ++it)
        if (!it->is_directory() || it->is_symlink())
            files << QString::fromStdString(fs::relative(it->path(), base).string());
    files.sort();
    return files;
}

} // namespace

TEST(HostileNames, LandInsideTheUnpackFolderWithValidNames)
{
    struct Case {
        const char* name;
        bool rar;
        std::vector<test::RawMember> members;
        QStringList expected;  // files below the unpack folder afterwards
    };
    const Case kCases[] = {
        {"CP850 name from an old RAR", true, {{"M\x9aLLER.ATR", "m"}}, {"MÜLLER.ATR"}},
        {"RAR folder separator", true, {{"DIR\\X.ATR", "x"}}, {"DIR/X.ATR"}},
        {"RAR member beginning with a dash", true, {{"-x.ATR", "d"}}, {"-x.ATR"}},
        {"backslash name in a ZIP", false, {{"a\\b.TXT", "b"}}, {"a/b.TXT"}},
        {"climbing backslash name", false, {{"..\\..\\up.TXT", "u"}}, {"up.TXT"}},
        {"climbing slash name", false, {{"../evil.TXT", "e"}}, {"evil.TXT"}},
        {"absolute name", false, {{"/abs.TXT", "a"}}, {"abs.TXT"}},
        {"only dots", false, {{".\\..\\", "z"}}, {"_"}},
        {"symbolic link", false, {{"passwd.TXT", "/etc/passwd", false, true}, {"ok.TXT", "k"}}, {"ok.TXT"}},
        {"file without permissions", false, {{"LOCKED.TXT", "l", false, false, 0200}}, {"LOCKED.TXT"}},
        {"names colliding after decoding", true, {{"M\x9aLLER.ATR", "1"}, {"MÜLLER.ATR", "2"}},
         {"MÜLLER.ATR", "MÜLLER_2.ATR"}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        test::AppFolder app;
        const QString archive = app.path(c.rar ? QStringLiteral("in/h.rar") : QStringLiteral("in/h.zip"));
        ASSERT_TRUE(c.rar ? test::WriteStoredRar(archive, c.members) : test::WriteStoredZip(archive, c.members));
        clsFileManager fm;
        const QString folder = fm.CreateTempPathIfFileArchiv(QFileInfo(archive).fileName(), QString(), archive);
        ASSERT_EQ(folder, gtTempPath + QStringLiteral("/A1"));
        EXPECT_EQ(AllFiles(folder), c.expected);
        // Nothing anywhere else: the program folder holds only what the fixture made.
        EXPECT_EQ(AllFiles(gtTempPath).size(), c.expected.size());
        QStringList top = QDir(app.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        top.sort();
        EXPECT_EQ(top, (QStringList{"Temp", "Tools", "db", "in"}));
        for (const QString& f : c.expected)
            EXPECT_TRUE(QFileInfo(folder + QLatin1Char('/') + f).permissions() & QFileDevice::ReadOwner)
                << f.toStdString();
    }
}

} // namespace tv
