#include "catalogue/core/modfiles.h"
#include "catalogue/core/modlang.h"
#include "coretest.h"
#include "platform/gui/dialogs.h"

#include <QDir>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

TEST(PathTexts, SplitAtSlashOnly)
{
    struct Case { const char* in; const char* folder; const char* name; const char* stripped; const char* ext; };
    const Case cases[] = {
        {"/x/cat.MDB", "/x/", "cat.MDB", "/x/cat", "MDB"},
        {"cat.MDB", "", "cat.MDB", "cat", "MDB"},
        {"/spiele/archive.tar.gz", "/spiele/", "archive.tar.gz", "/spiele/archive.tar", "gz"},
        {"/ordner.alt/README", "/ordner.alt/", "README", "/ordner", "alt/README"},
        {R"(/a/Back\slash.atr)", "/a/", R"(Back\slash.atr)", R"(/a/Back\slash)", "atr"},
        {"/", "/", "", "/", "/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        const QString in = QString::fromUtf8(c.in);
        EXPECT_EQ(tv::GetFolderPart(in), QString::fromUtf8(c.folder));
        EXPECT_EQ(tv::GetFileNamePart(in), QString::fromUtf8(c.name));
        EXPECT_EQ(tv::StripExtension(in), QString::fromUtf8(c.stripped));
        EXPECT_EQ(tv::GetExtension(in), QString::fromUtf8(c.ext));
    }
    EXPECT_EQ(tv::AddBackslash(QStringLiteral("/opt/tovarin")), QStringLiteral("/opt/tovarin/"));
    EXPECT_EQ(tv::AddBackslash(QStringLiteral("/opt/tovarin/")), QStringLiteral("/opt/tovarin/"));
    EXPECT_EQ(tv::AddBackslash(QString()), QStringLiteral("/"));
    EXPECT_EQ(tv::TrimNull(QStringLiteral("abc") + QChar(0) + QStringLiteral("def")), QStringLiteral("abc"));
}

TEST(DialogFilter, QtFormWithAllFilesForEverything)
{
    struct Case { const char* in; const char* out; };
    const Case cases[] = {
        {"", "Alle Dateien (*)"},
        {"Datenbank|*.MDB", "Datenbank (*.MDB)"},
        {"Datenbank|*.MDB|", "Datenbank (*.MDB)"},
        {"Bilder (*.bmp;*.gif)|*.bmp;*.gif|Alle Dateien (*.*)|*.*", "Bilder (*.bmp *.gif);;Alle Dateien (*)"},
        {"Nur Text", "Nur Text (*)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(tv::BuildDialogFilter(QString::fromUtf8(c.in)), QString::fromUtf8(c.out));
    }
}

using FilesTest = ProgramFolderTest;

TEST_F(FilesTest, ExistenceTestsAndTheMissingFileMessage)
{
    writeFile(QStringLiteral("file.atr"), "x");
    EXPECT_TRUE(tv::FileExists(dir.filePath(QStringLiteral("file.atr"))));
    EXPECT_FALSE(tv::FileExists(dir.path()));
    EXPECT_TRUE(tv::FolderExists(dir.path()));
    EXPECT_FALSE(tv::FolderExists(dir.filePath(QStringLiteral("file.atr"))));
    EXPECT_TRUE(tv::FileExistsMsg(dir.filePath(QStringLiteral("file.atr"))));
    EXPECT_TRUE(messages.isEmpty());
    const QString missing = dir.filePath(QStringLiteral("gone.atr"));
    EXPECT_FALSE(tv::FileExistsMsg(missing));
    EXPECT_EQ(messages, QStringList{QStringLiteral("Datei nicht gefunden: ") + missing});
    EXPECT_EQ(lastStyle, tv::vbExclamation);
    EXPECT_EQ(lastTitle, QStringLiteral("Tovarin"));
}

TEST_F(FilesTest, DeletesOnlyInsideTheTemporaryFolder)
{
    QTemporaryDir outside;
    const fs::path temp = fs::path(tv::gtTempPath.toStdString());
    const fs::path keep = fs::path(outside.path().toStdString()) / "keep.txt";
    auto makeFixture = [&] {
        fs::create_directories(temp / "A1" / "sub");
        fs::create_directories(fs::path(dir.path().toStdString()) / "Temp2");
        std::ofstream(temp / "A1" / "sub" / "x.atr") << "x";
        std::ofstream(temp / "noext") << "x";
        std::ofstream(temp / "B.ATR") << "x";
        std::ofstream(keep) << "keep";
        std::ofstream(fs::path(dir.path().toStdString()) / "Temp2" / "keep") << "keep";
        std::error_code ec;
        fs::create_directory_symlink(outside.path().toStdString(), temp / "link", ec);
    };
    struct Case { const char* name; QString path; bool ok; std::vector<const char*> gone; };
    const QString t = tv::gtTempPath;
    const Case cases[] = {
        {"one folder", t + QStringLiteral("/A1"), true, {"A1"}},
        {"dot parts", t + QStringLiteral("/./A1/../A1"), true, {"A1"}},
        {"every entry", t + QStringLiteral("/*.*"), true, {"A1", "noext", "B.ATR", "link"}},
        {"pattern without regard to case", t + QStringLiteral("/*.atr"), true, {"B.ATR"}},
        {"missing path", t + QStringLiteral("/A9"), true, {}},
        {"the folder itself", t, false, {}},
        {"a neighbour whose name starts alike", t + QStringLiteral("2/keep"), false, {}},
        {"out through ..", t + QStringLiteral("/../Temp2/keep"), false, {}},
        {"out through a link", t + QStringLiteral("/link/keep.txt"), false, {}},
        {"out through a link, by pattern", t + QStringLiteral("/link/*.*"), false, {}},
        {"relative", QStringLiteral("Temp/A1"), false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        makeFixture();
        EXPECT_EQ(tv::ShellFileOperation(c.path), c.ok);
        for (const char* entry : {"A1", "noext", "B.ATR", "link"}) {
            const bool expectGone = std::find_if(c.gone.begin(), c.gone.end(), [&](const char* g) {
                                        return std::string(g) == entry;
                                    }) != c.gone.end();
            EXPECT_EQ(fs::exists(fs::symlink_status(temp / entry)), !expectGone) << entry;
        }
        EXPECT_TRUE(fs::exists(keep));
        EXPECT_TRUE(fs::exists(fs::path(dir.path().toStdString()) / "Temp2" / "keep"));
        EXPECT_TRUE(fs::exists(temp));
    }
    tv::gtTempPath.clear();
    EXPECT_FALSE(tv::ShellFileOperation(t + QStringLiteral("/A1")));
    EXPECT_TRUE(fs::exists(temp / "A1"));
}

TEST_F(FilesTest, DialogsTranslateTheTitleAndFillInTheFolder)
{
    QDir(dir.path()).mkpath(QStringLiteral("Lang"));
    writeFile(QStringLiteral("Lang/en.lng"), "Datenbank öffnen@@Open catalogue\r\nBitte wählen Sie einen Ordner aus@@Choose a folder\r\nAlle Dateien@@All files\r\n");
    tv::gtLanguageFile = QStringLiteral("en.lng");
    ASSERT_TRUE(tv::LoadLanguage());
    tv::gtDialogPath = QStringLiteral("/import");
    std::vector<tv::FileDialogRequest> seen;
    tv::SetFileDialogHook([&](const tv::FileDialogRequest& r) {
        seen.push_back(r);
        return r.kind == tv::FileDialogKind::Save ? QString() : QStringLiteral("/chosen");
    });
    EXPECT_EQ(tv::ShowOpenDialog(QStringLiteral("Datenbank öffnen"), QStringLiteral("Datenbank|*.MDB"), QString()),
              QStringLiteral("/chosen"));
    EXPECT_EQ(tv::ShowSaveDialog(QStringLiteral("Speichern"), QString(), QStringLiteral("/data"), QStringLiteral("neu.MDB")),
              QString());
    EXPECT_EQ(tv::BrowseFolder(nullptr, QString()), QStringLiteral("/chosen"));
    EXPECT_EQ(tv::BrowseFolder(nullptr, QStringLiteral("/given")), QStringLiteral("/chosen"));
    tv::SetFileDialogHook(nullptr);
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].title, QStringLiteral("Open catalogue"));
    EXPECT_EQ(seen[0].filter, QStringLiteral("Datenbank (*.MDB)"));
    EXPECT_EQ(seen[0].folder, QDir::currentPath());
    EXPECT_EQ(seen[1].kind, tv::FileDialogKind::Save);
    EXPECT_EQ(seen[1].folder, QStringLiteral("/data"));
    EXPECT_EQ(seen[1].fileName, QStringLiteral("neu.MDB"));
    EXPECT_EQ(seen[1].filter, QStringLiteral("All files (*)"));
    EXPECT_EQ(seen[2].title, QStringLiteral("Choose a folder"));
    EXPECT_EQ(seen[2].folder, QStringLiteral("/import"));
    EXPECT_EQ(seen[3].folder, QStringLiteral("/given"));
}
