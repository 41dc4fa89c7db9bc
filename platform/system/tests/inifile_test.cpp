#include "platform/system/inifile.h"
#include "platform/system/textfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

} // namespace

TEST(IniFile, LookupFollowsPrivateProfileRules)
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("Tovarin.ini"),
        "[MAIN]\r\n"
        "Dialog=/home/a\r\n"
        "  LanguageFile =  english.lng  \r\n"
        "Empty=\r\n"
        "Options=-a=@=1@@@-b=@=0\r\n"
        ";Commented=1\r\n"
        "dialog=second\r\n"
        "[Main]\r\n"
        "Other=in the second section of the same name\r\n"
        "[WINDOWS]\r\n"
        "frmMain=0;0;9000;12000;2\r\n");
    struct Case { const char* section; const char* key; const char* def; QString expected; };
    const Case cases[] = {
        {"MAIN", "Dialog", "x", QStringLiteral("/home/a")},
        {"main", "DIALOG", "x", QStringLiteral("/home/a")},          // case-blind, first wins
        {"MAIN", "LanguageFile", "", QStringLiteral("english.lng")},  // blanks trimmed
        {"MAIN", "Empty", "default", QString()},                      // present but empty
        {"MAIN", "Missing", "default", QStringLiteral("default")},
        {"MAIN", "Options", "", QStringLiteral("-a=@=1@@@-b=@=0")},   // value keeps its "="
        {"MAIN", ";Commented", "none", QStringLiteral("none")},
        {"MAIN", "Other", "first section only", QStringLiteral("first section only")},
        {"windows", "FRMMAIN", "", QStringLiteral("0;0;9000;12000;2")},
        {"NOSECTION", "Dialog", "d", QStringLiteral("d")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(tv::ReadProfileString(path, QString::fromUtf8(c.section), QString::fromUtf8(c.key),
                                        QString::fromUtf8(c.def)), c.expected);
    }
    EXPECT_EQ(tv::ReadProfileString(dir.filePath(QStringLiteral("missing.ini")), QStringLiteral("MAIN"),
                                    QStringLiteral("Dialog"), QStringLiteral("d")), QStringLiteral("d"));
}

TEST(IniFile, LongValuesComeBackWhole)
{
    // Stored column layouts reach several thousand characters.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tovarin.ini"));
    const QString layout = QStringLiteral("Name!Hidden=0;Width=1500;Fixed=0;Order=1$").repeated(120);
    ASSERT_GT(layout.size(), 4000);
    ASSERT_TRUE(tv::WriteProfileString(path, QStringLiteral("MAIN"), QStringLiteral("Layout"), layout));
    EXPECT_EQ(tv::ReadProfileString(path, QStringLiteral("MAIN"), QStringLiteral("Layout")), layout);
}

TEST(IniFile, TextIsUtf8ElseWindows1252)
{
    struct Case { const char* name; QByteArray bytes; QString text; };
    const Case cases[] = {
        {"utf-8", QByteArray("Gr\xc3\xb6\xc3\x9f" "e"), QStringLiteral("Größe")},
        {"utf-8 with byte-order mark", QByteArray("\xef\xbb\xbfGr\xc3\xb6\xc3\x9f" "e"), QStringLiteral("Größe")},
        {"windows-1252", QByteArray("Gr\xf6\xdf" "e \x80 \x84\x93"), QStringLiteral("Größe € „“")},
        {"broken utf-8 sequence", QByteArray("\xc3(\xe9"), QStringLiteral("Ã(é")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(tv::DecodeText(c.bytes), c.text);
    }
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("old.ini"), "[MAIN]\r\nDialog=C:\\Spiele\\K\xf6nig\r\n");
    EXPECT_EQ(tv::ReadProfileString(path, QStringLiteral("MAIN"), QStringLiteral("Dialog")),
              QStringLiteral("C:\\Spiele\\König"));
}

// DOS text: the same bytes read as code page 437 give the box a .NFO file draws around its
// title, its shading blocks and its German letters; UTF-8 still wins where the bytes are valid.
TEST(IniFile, DosTextIsCodePage437)
{
    struct Case { const char* name; QByteArray bytes; QString text; };
    const Case cases[] = {
        {"double box", QByteArray("\xc9\xcd\xbb\r\n\xba \xba\r\n\xc8\xcd\xbc"), QStringLiteral("╔═╗\r\n║ ║\r\n╚═╝")},
        {"single box and blocks", QByteArray("\xda\xc4\xbf\xb3\xc0\xd9 \xb0\xb1\xb2\xdb\xdf\xdc"), QStringLiteral("┌─┐│└┘ ░▒▓█▀▄")},
        {"letters and signs", QByteArray("\x81" "ber Gr\x94\xe1" "e \x8e \x99 \x9a \xf8 \xfd \xff"), QStringLiteral("über Größe Ä Ö Ü ° ² \u00a0")},
        {"ascii and tabs unchanged", QByteArray("a\tb\x7f"), QStringLiteral("a\tb\x7f")},
        {"valid utf-8 stays utf-8", QByteArray("\xe2\x95\x94\xe2\x95\x97"), QStringLiteral("╔╗")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(tv::DecodeText(c.bytes, tv::TextCodePage::Dos437), c.text);
    }
    // The same bytes as Windows-1252 are letters, not lines.
    EXPECT_EQ(tv::DecodeText(QByteArray("\xc9\xcd\xbb")), QStringLiteral("ÉÍ»"));
}

TEST(IniFile, WritingKeepsTheRestAndReplacesTheFileWhole)
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("Tovarin.ini"),
        "; settings\n[MAIN]\nDialog=/a\nkeep me\n\n[EXTENSIONS]\n.txt=Notepad\n");
    tv::IniFile ini;
    ASSERT_TRUE(ini.load(path));
    ini.setValue(QStringLiteral("main"), QStringLiteral("DIALOG"), QStringLiteral("/b"));
    ini.setValue(QStringLiteral("MAIN"), QStringLiteral("Version"), QStringLiteral("1.10"));
    ini.setValue(QStringLiteral("WINDOWS"), QStringLiteral("frmMain"), QStringLiteral("1\r\n2"));
    ini.removeKey(QStringLiteral("extensions"), QStringLiteral(".TXT"));
    ASSERT_TRUE(ini.save(path));
    EXPECT_EQ(readFile(path),
              QByteArray("; settings\n[MAIN]\nDialog=/b\nkeep me\nVersion=1.10\n\n[EXTENSIONS]\n"
                         "[WINDOWS]\nfrmMain=\"1^M^J2\"\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Tovarin.ini")});
    EXPECT_EQ(ini.keys(QStringLiteral("Main")), (QStringList{QStringLiteral("Dialog"), QStringLiteral("Version")}));
    EXPECT_TRUE(ini.contains(QStringLiteral("WINDOWS"), QStringLiteral("FRMMAIN")));
    EXPECT_FALSE(ini.contains(QStringLiteral("EXTENSIONS"), QStringLiteral(".txt")));
}

TEST(IniFile, UnreadableOrUnwritableFileFails)
{
    QTemporaryDir dir;
    tv::IniFile ini;
    QString error;
    EXPECT_FALSE(ini.load(dir.path(), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(ini.save(dir.filePath(QStringLiteral("no/such/folder/Tovarin.ini")), &error));
    EXPECT_FALSE(tv::WriteProfileString(dir.path(), QStringLiteral("MAIN"), QStringLiteral("a"), QStringLiteral("b")));
}

// What was read is written back so that it reads the same: a value ending in CR (in a file with
// CR LF line ends) keeps its CR, and a file starting with several byte-order marks keeps its
// first section.
TEST(IniFile, ValuesEndingInCrAndRepeatedMarksReadBackTheSame)
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("Tovarin.ini"),
                                   "\xEF\xBB\xBF\xEF\xBB\xBF[MAIN]\r\nName=abc\r\r\nNext=1\r\n");
    tv::IniFile ini;
    ASSERT_TRUE(ini.load(path));
    EXPECT_EQ(ini.value(QStringLiteral("MAIN"), QStringLiteral("Name")), QStringLiteral("abc\r"));
    EXPECT_EQ(ini.value(QStringLiteral("MAIN"), QStringLiteral("Next")), QStringLiteral("1"));
    ASSERT_TRUE(ini.save(path));
    tv::IniFile again;
    ASSERT_TRUE(again.load(path));
    EXPECT_EQ(again.text(), ini.text());
    EXPECT_EQ(again.value(QStringLiteral("MAIN"), QStringLiteral("Name")), QStringLiteral("abc\r"));
    EXPECT_EQ(again.value(QStringLiteral("MAIN"), QStringLiteral("Next")), QStringLiteral("1"));
}

// Found by fuzzing: "key =\r \t" in a file with LF line ends holds the value "\r", which must
// not lose its CR when the file is written and read again.
TEST(IniFile, ValueOfALoneCrInAnLfFileReadsBackTheSame)
{
    tv::IniFile ini;
    ini.parse(QStringLiteral("[MAIN]\nkey =\r \t\nnext=1\n"));
    EXPECT_EQ(ini.value(QStringLiteral("MAIN"), QStringLiteral("key")), QStringLiteral("\r"));
    tv::IniFile again;
    again.parse(ini.text());
    EXPECT_EQ(again.value(QStringLiteral("MAIN"), QStringLiteral("key")), QStringLiteral("\r"));
    EXPECT_EQ(again.text(), ini.text());
}

// Every value reads back exactly as it was written: blanks and tabs at its ends, line breaks,
// and texts that look like the quoted form the writer uses for them.
TEST(IniFile, EveryValueReadsBackAsWritten)
{
    const QString values[] = {
        QStringLiteral(" Spiele "), QStringLiteral("\tTab"), QStringLiteral("Ende\t"), QStringLiteral(" "),
        QStringLiteral("zwei\r\nZeilen"), QStringLiteral("\n"), QStringLiteral("a\rb"), QStringLiteral("^J ^ "),
        QStringLiteral("\"Spiele\""), QStringLiteral("\" Spiele \""), QStringLiteral("\"\" a \"\""),
        QStringLiteral("\"^J\""), QStringLiteral("\"a\r\""), QStringLiteral("\""), QStringLiteral("\"\"")};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tovarin.ini"));
    int n = 0;
    for (const QString& value : values) {
        SCOPED_TRACE(value.toStdString());
        const QString key = QStringLiteral("Key%1").arg(++n);
        ASSERT_TRUE(tv::WriteProfileString(path, QStringLiteral("MAIN"), key, value));
        EXPECT_EQ(tv::ReadProfileString(path, QStringLiteral("MAIN"), key), value);
    }
    // Each value stays on its own line: the next key is still found.
    EXPECT_EQ(tv::ReadProfileString(path, QStringLiteral("MAIN"), QStringLiteral("Key7")), QStringLiteral("a\rb"));
}

// Files written before, here and on the old platform, hold plain "key=value" lines: their
// values read as they always did, quotes and carets included, blanks around them trimmed.
TEST(IniFile, OldPlainValuesReadAsBefore)
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("old.ini"),
        "[MAIN]\r\n"
        "Path=\"C:\\Programme\\Atari800\\atari800.exe\"\r\n"
        "Name=\"Spiele\"\r\n"
        "Caret= a^Jb \r\n"
        "Odd=\" a^x \"\r\n"
        "Open=\" nur vorn\r\n");
    struct Case { const char* key; QString expected; };
    const Case cases[] = {
        {"Path", QStringLiteral("\"C:\\Programme\\Atari800\\atari800.exe\"")},
        {"Name", QStringLiteral("\"Spiele\"")},
        {"Caret", QStringLiteral("a^Jb")},
        {"Odd", QStringLiteral("\" a^x \"")},
        {"Open", QStringLiteral("\" nur vorn")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(tv::ReadProfileString(path, QStringLiteral("MAIN"), QString::fromUtf8(c.key)), c.expected);
    }
}

// A section or key that a line cannot hold would be read back under another name, or not at
// all: it is refused, and the file stays as it was.
TEST(IniFile, NamesALineCannotHoldAreRefused)
{
    QTemporaryDir dir;
    const QByteArray before = "[MAIN]\r\nDialog=/a\r\n";
    const QString path = writeFile(dir, QStringLiteral("Tovarin.ini"), before);
    struct Case { const char* section; const char* key; };
    const Case cases[] = {
        {"MAIN", "[x]"}, {"MAIN", "[x"}, {"MAIN", ";x"}, {"MAIN", "a=b"}, {"MAIN", " a"}, {"MAIN", "a\t"},
        {"MAIN", "a\nb"}, {"MAIN", ""}, {"A]B", "a"}, {" MAIN", "a"}, {"NEU\r\n", "a"}, {"", "a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        QString error;
        EXPECT_FALSE(tv::WriteProfileString(path, QString::fromUtf8(c.section), QString::fromUtf8(c.key),
                                            QStringLiteral("1"), &error));
        EXPECT_EQ(readFile(path), before);
    }
    // Names that merely hold such signs inside are kept.
    ASSERT_TRUE(tv::WriteProfileString(path, QStringLiteral("[X"), QStringLiteral("a;b]\""), QStringLiteral("2")));
    EXPECT_EQ(tv::ReadProfileString(path, QStringLiteral("[x"), QStringLiteral("A;B]\"")), QStringLiteral("2"));
}
