#include "platform/system/files.h"
#include "platform/system/textfile.h"

#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

void touch(const fs::path& p, const char* content = "x")
{
    std::ofstream(p, std::ios::binary) << content;
}

fs::path root(const QTemporaryDir& dir) { return fs::path(dir.path().toStdString()); }

// A file whose name is not valid UTF-8, as archives from the old platform often give.
fs::path makeLatin1Name(const fs::path& folder) { return folder / std::string("K\xf6nig.atr"); }

} // namespace

TEST(Files, NamesThatAreNotUtf8SurviveTheRoundTrip)
{
    QTemporaryDir dir;
    touch(makeLatin1Name(root(dir)), "ATR");
    std::vector<tv::FolderEntry> entries;
    ASSERT_TRUE(tv::ListFolder(dir.path(), entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, QStringLiteral("K") + QChar(0xDCF6) + QStringLiteral("nig.atr"));
    EXPECT_EQ(tv::ToFsPath(entries[0].path), makeLatin1Name(root(dir)));
    EXPECT_TRUE(tv::IsFile(entries[0].path));
    EXPECT_EQ(entries[0].size, 3);
    QString text;
    ASSERT_TRUE(tv::ReadTextFile(entries[0].path, text));
    EXPECT_EQ(text, QStringLiteral("ATR"));

    struct Case { const char* name; std::string bytes; };
    const Case cases[] = {
        {"plain", "Spiele/abc.atr"},
        {"umlaut and emoji", "Gr\xc3\xb6\xc3\x9f" "e \xf0\x9f\x98\x80"},
        {"latin-1 byte", "K\xf6nig"},
        {"overlong and cut sequences", "\xc0\xaf-\xe2\x82"},
        {"encoded surrogate", "\xed\xb3\xb6"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(tv::ToFsPath(tv::FromFsPath(fs::path(c.bytes))).native(), c.bytes);
    }
}

TEST(Files, WalkSeesEveryEntryAndNeverFollowsLinks)
{
    QTemporaryDir dir, outside;
    const fs::path r = root(dir);
    fs::create_directories(r / "b" / "inner");
    touch(r / "a.txt");
    touch(r / "b" / "inner" / "c.atr");
    touch(r / "noext");
    touch(makeLatin1Name(r / "b"));
    touch(root(outside) / "secret.txt");
    fs::create_directory_symlink(root(outside), r / "link");
    fs::create_directory_symlink(r, r / "b" / "loop");

    QStringList seen;
    ASSERT_TRUE(tv::WalkFolder(dir.path(), [&](const tv::FolderEntry& e) {
        seen << e.path.mid(dir.path().size() + 1) + (e.isLink ? QStringLiteral(" ->") : e.isFolder ? QStringLiteral("/") : QString());
        return true;
    }));
    const QString latin = QStringLiteral("b/K") + QChar(0xDCF6) + QStringLiteral("nig.atr");
    EXPECT_EQ(seen, (QStringList{QStringLiteral("a.txt"), QStringLiteral("b/"), QStringLiteral("b/inner/"),
                                 QStringLiteral("b/inner/c.atr"), latin, QStringLiteral("b/loop ->"),
                                 QStringLiteral("link ->"), QStringLiteral("noext")}));

    int visits = 0;
    EXPECT_FALSE(tv::WalkFolder(dir.path(), [&](const tv::FolderEntry&) { return ++visits < 2; }));
    EXPECT_EQ(visits, 2);
    QString error;
    EXPECT_FALSE(tv::WalkFolder(dir.filePath(QStringLiteral("missing")), [](const tv::FolderEntry&) { return true; }, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(Files, DeleteRemovesLinksNotTheirTargets)
{
    QTemporaryDir dir, outside;
    const fs::path r = root(dir);
    fs::create_directories(r / "A1" / "sub");
    touch(makeLatin1Name(r / "A1" / "sub"));
    touch(root(outside) / "keep.txt");
    fs::create_directory_symlink(root(outside), r / "A1" / "sub" / "link");
    fs::create_symlink(root(outside) / "keep.txt", r / "filelink");

    EXPECT_TRUE(tv::DeletePath(dir.filePath(QStringLiteral("filelink"))));
    EXPECT_TRUE(tv::DeletePath(dir.filePath(QStringLiteral("A1"))));
    EXPECT_FALSE(fs::exists(r / "A1"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(r / "filelink")));
    EXPECT_TRUE(fs::exists(root(outside) / "keep.txt"));
    EXPECT_TRUE(tv::DeletePath(dir.filePath(QStringLiteral("never-there"))));
}

TEST(Files, TestsCreateAndMove)
{
    QTemporaryDir dir;
    const fs::path r = root(dir);
    touch(r / "file");
    fs::create_directory(r / "folder");
    fs::create_symlink(r / "missing", r / "broken");
    struct Case { const char* name; bool isFile; bool isFolder; };
    const Case cases[] = {
        {"file", true, false}, {"folder", false, true}, {"broken", false, false}, {"none", false, false}, {"", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString p = *c.name ? dir.filePath(QString::fromUtf8(c.name)) : QString();
        EXPECT_EQ(tv::IsFile(p), c.isFile);
        EXPECT_EQ(tv::IsFolder(p), c.isFolder);
    }

    EXPECT_TRUE(tv::CreateFolder(dir.filePath(QStringLiteral("x/y/z"))));
    EXPECT_TRUE(tv::IsFolder(dir.filePath(QStringLiteral("x/y/z"))));
    QString error;
    EXPECT_FALSE(tv::CreateFolder(dir.filePath(QStringLiteral("file/sub")), &error));

    touch(r / "other", "other");
    EXPECT_FALSE(tv::MovePath(dir.filePath(QStringLiteral("file")), dir.filePath(QStringLiteral("other")), &error));
    EXPECT_FALSE(error.isEmpty());
    QString kept;
    ASSERT_TRUE(tv::ReadTextFile(dir.filePath(QStringLiteral("other")), kept));
    EXPECT_EQ(kept, QStringLiteral("other"));
    EXPECT_TRUE(tv::MovePath(dir.filePath(QStringLiteral("file")), dir.filePath(QStringLiteral("FILE"))));
    EXPECT_TRUE(tv::IsFile(dir.filePath(QStringLiteral("FILE"))));
    EXPECT_FALSE(tv::IsFile(dir.filePath(QStringLiteral("file"))));
}
