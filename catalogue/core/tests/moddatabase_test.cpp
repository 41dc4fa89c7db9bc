#include "catalogue/core/frminputbox.h"
#include "catalogue/core/moddatabase.h"
#include "catalogue/core/modglobals.h"
#include "catalogue/core/modmain.h"
#include "platform/db/recordset.h"
#include "platform/gui/msgbox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <unistd.h>

using namespace tv;

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

// Catalogues in a temporary folder; message and input boxes answered by the fixture.
class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        InitProgramPaths(dir.path());
        SetMsgBoxHook([this](const QString& prompt, int style, const QString& title) {
            messages << prompt;
            styles << style;
            titles << title;
            return answer;
        });
        SetInputTextHook([this](const QString& prompt, const QString&, const QString&) {
            prompts << prompt;
            return password;
        });
    }
    void TearDown() override
    {
        CloseDB();
        SetMsgBoxHook(nullptr);
        SetInputTextHook(nullptr);
        SetCompactStepHook(nullptr);
        Database::SetOpenReadOnly(false);
    }
    QString file(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    QString newCatalogue(const char* name) { return CreateDBFile(file(name)); }
    void writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    // A catalogue at `path` with `rows` files; closed.
    void catalogueWithRows(const QString& path, int rows)
    {
        DbError e;
        auto db = CreateCatalogue(path, kProgramKey, &e);
        ASSERT_TRUE(db) << e.description.toStdString();
        ASSERT_FALSE(db->BeginTrans());
        for (int i = 0; i < rows; ++i)
            ASSERT_FALSE(db->Execute(QStringLiteral("Insert Into MainFiles (tFile, tPath) Values ('f%1', '/p/f%1')").arg(i)));
        ASSERT_FALSE(db->CommitTrans());
        db->Close();
    }
    QString count(const char* table)
    {
        QString where;
        return LookupField(QStringLiteral("count(*)"), QString::fromUtf8(table), where);
    }
    // The open catalogue is written through the write-ahead log, the journal it is kept in.
    void expectWriteAheadLog()
    {
        ASSERT_FALSE(goDB->Execute(QStringLiteral("Insert Into Category (ID, tCategory) Values (99, 'neu')")));
        EXPECT_TRUE(QFile::exists(goDB->Name() + QStringLiteral("-wal")));
        ASSERT_FALSE(goDB->Execute(QStringLiteral("Delete * from Category where ID = 99")));
    }

    QTemporaryDir dir;
    QStringList messages, titles, prompts;
    QList<int> styles;
    QString password;
    int answer = vbOK;
};

} // namespace

TEST_F(CatalogueTest, CreateAddsExtensionWritesVersionRowAndRefusesExistingNames)
{
    const QString path = newCatalogue("katalog");
    EXPECT_EQ(path, file("katalog.MDB"));
    EXPECT_EQ(gtDialogPath, dir.path() + QStringLiteral("/"));
    EXPECT_EQ(newCatalogue("Other.mdb"), file("Other.mdb"));
    ASSERT_TRUE(ConnectDB(path));
    QString where;
    EXPECT_EQ(LookupField(QStringLiteral("count(*)"), QStringLiteral("Config"), where), QStringLiteral("1"));
    where = QStringLiteral("tItem='Version'");
    EXPECT_EQ(LookupField(QStringLiteral("mConfig"), QStringLiteral("Config"), where), QStringLiteral("1.0"));
    EXPECT_EQ(where, QStringLiteral("where tItem='Version'"));
    for (const char* table : {"MainFiles", "Category", "History"}) {
        where.clear();
        EXPECT_EQ(LookupField(QStringLiteral("count(*)"), QString::fromUtf8(table), where), QStringLiteral("0"));
    }
    EXPECT_TRUE(messages.isEmpty());

    EXPECT_EQ(newCatalogue("katalog.MDB"), QString());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QStringLiteral("Der Datenbankname ist schon vorhanden!"));
    EXPECT_EQ(styles[0], int(vbExclamation));
    EXPECT_EQ(titles[0], QStringLiteral("Error"));
    EXPECT_EQ(CreateDBFile(QString()), QString());

    // Any other failure: a sentence saying what failed, then the engine's text; the dialog
    // folder is kept all the same.
    EXPECT_EQ(newCatalogue("no folder/katalog"), QString());
    ASSERT_EQ(messages.size(), 2);
    const QString failed = QStringLiteral("Fehler beim Erstellen der Datenbank: ");
    EXPECT_TRUE(messages[1].startsWith(failed)) << messages[1].toStdString();
    EXPECT_GT(messages[1].size(), failed.size());
    EXPECT_EQ(styles[1], int(vbCritical));
    EXPECT_EQ(titles[1], QStringLiteral("Error"));
    EXPECT_EQ(gtDialogPath, file("no folder/"));
}

TEST_F(CatalogueTest, SchemaKeepsVersionTextsIdsAndCaseRules)
{
    ASSERT_TRUE(ConnectDB(newCatalogue("s")));
    ASSERT_FALSE(goDB->Execute(QStringLiteral("Insert Into Config (tItem, mConfig) Values ('Version', '1.10')")));
    ASSERT_FALSE(goDB->Execute(QStringLiteral("Insert Into Category (ID, tCategory) Values (7, 'Ärger')")));
    ASSERT_FALSE(goDB->Execute(QStringLiteral(
        "Insert Into MainFiles (tFile, tPath) Values ('A.ATR', '/x/A.ATR'), ('b.atr', '/x/b.atr')")));
    QString where = QStringLiteral("ID = 2");
    EXPECT_EQ(LookupField(QStringLiteral("mConfig"), QStringLiteral("Config"), where), QStringLiteral("1.10"));
    where = QStringLiteral("tCategory = 'ärger'");
    EXPECT_EQ(LookupField(QStringLiteral("ID"), QStringLiteral("Category"), where), QStringLiteral("7"));
    where = QStringLiteral("tFile = 'a.atr'");
    EXPECT_EQ(LookupField(QStringLiteral("ID"), QStringLiteral("MainFiles"), where), QStringLiteral("1"));
    where = QStringLiteral("tPath = '/x/a.atr'");
    EXPECT_EQ(LookupField(QStringLiteral("ID"), QStringLiteral("MainFiles"), where), QString());
    where = QStringLiteral("where tPath = '/x/b.atr'");
    EXPECT_EQ(LookupField(QStringLiteral("ID"), QStringLiteral("MainFiles"), where), QStringLiteral("2"));
    where.clear();
    EXPECT_EQ(LookupField(QStringLiteral("Max(ID)"), QStringLiteral("History"), where), QString());
    // A category named "Nowhere" contains "where" but is no where clause.
    where = QStringLiteral("tCategory = 'Nowhere'");
    EXPECT_EQ(LookupField(QStringLiteral("ID"), QStringLiteral("Category"), where), QString());
    EXPECT_EQ(where, QStringLiteral("where tCategory = 'Nowhere'"));
    where = QStringLiteral("no such column = 1");
    EXPECT_EQ(LookupField(QStringLiteral("ID"), QStringLiteral("Category"), where), QString());
}

TEST_F(CatalogueTest, ConnectChecksVersionAndKeepsThePreviousCatalogue)
{
    const QString first = newCatalogue("first");
    const QString newer = newCatalogue("newer");
    ASSERT_TRUE(ConnectDB(newer));
    ASSERT_FALSE(goDB->Execute(QStringLiteral("Insert Into Config (tItem, mConfig) Values ('Version', '1.1')")));
    ASSERT_TRUE(ConnectDB(first));
    auto previous = goDB;

    EXPECT_FALSE(ConnectDB(newer));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QStringLiteral("Please update the Tovarin to run this database!"));
    EXPECT_EQ(styles[0], int(vbCritical));
    EXPECT_EQ(goDB, previous);
    EXPECT_TRUE(goDB->IsOpen());

    // Only the newest "Version" row counts.
    const QString mixed = newCatalogue("mixed");
    ASSERT_TRUE(ConnectDB(mixed));
    EXPECT_FALSE(previous->IsOpen());
    ASSERT_FALSE(goDB->Execute(QStringLiteral("Insert Into Config (tItem, mConfig) Values ('Version', '1.1')")));
    ASSERT_FALSE(goDB->Execute(QStringLiteral("Insert Into Config (tItem, mConfig) Values ('Version', '1.0')")));
    ASSERT_TRUE(ConnectDB(first));
    EXPECT_TRUE(ConnectDB(mixed));
}

TEST_F(CatalogueTest, FilesThatAreNoCatalogueAreRefused)
{
    const QString text = file("text.MDB");
    writeFile(text, "no database at all, just some text that fills more than one page header");
    EXPECT_FALSE(ConnectDB(text));
    EXPECT_TRUE(prompts.isEmpty());   // no database at all: no password can help
    EXPECT_FALSE(ConnectDB(file("missing.MDB")));

    DbError e;
    auto plain = Database::Create(file("plain.MDB"), QByteArray(), &e);
    ASSERT_TRUE(plain);
    ASSERT_FALSE(plain->Execute(QStringLiteral("CREATE TABLE Config (ID INTEGER PRIMARY KEY, tItem TEXT, mConfig TEXT)")));
    plain->Close();
    EXPECT_FALSE(ConnectDB(file("plain.MDB")));   // opens without a key, but has no "Version" row

    ASSERT_EQ(messages.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(messages[i].startsWith(QStringLiteral("Dies ist keine Tovarin-Datenbank: ")));
        EXPECT_EQ(styles[i], int(vbCritical));
    }
    EXPECT_TRUE(messages[2].contains(file("plain.MDB") + QStringLiteral("\r\n")));
    EXPECT_FALSE(goDB);
}

// A file of another format is refused at once, by what it is, without a password question;
// only a file that may be an encrypted catalogue gets the question.
TEST_F(CatalogueTest, OtherFormatsAreRecognisedBeforeAnyPasswordIsAsked)
{
    const QByteArray jet = QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(4076, '\0');
    const QByteArray ace = QByteArray("\x00\x01\x00\x00Standard ACE DB\x00", 20) + QByteArray(4076, '\x11');
    QByteArray text;
    while (text.size() < 4096) text += "Spiele, Demos und Bilder; ";
    text.truncate(4096);
    QByteArray noise(8192, '\0');
    quint32 x = 2463534242u;   // xorshift: evenly spread bytes, as an encrypted file has
    for (char& c : noise) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = char(x >> 24);
    }
    struct Case {
        const char* name;
        QByteArray bytes;
        QString message;   // the beginning of the one message
        bool asked;
    } const kCases[] = {
        {"Access 97 file", jet, "Dies ist eine Access-Datenbank. Tovarin kann sie nicht öffnen: ", false},
        {"Access 2007 file", ace, "Dies ist eine Access-Datenbank. Tovarin kann sie nicht öffnen: ", false},
        {"zeros", QByteArray(4096, '\0'), "Dies ist keine Tovarin-Datenbank: ", false},
        {"text of whole pages", text, "Dies ist keine Tovarin-Datenbank: ", false},
        {"may be encrypted", noise, "Dies ist keine Tovarin-Datenbank: ", true},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        messages.clear();
        prompts.clear();
        const QString path = file("other.MDB");
        writeFile(path, c.bytes);
        EXPECT_FALSE(ConnectDB(path));
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].startsWith(c.message + path)) << messages[0].toStdString();
        EXPECT_EQ(prompts.size(), c.asked ? 1 : 0);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), c.bytes);   // the refused file is left as it was
    }
    EXPECT_FALSE(goDB);
}

TEST_F(CatalogueTest, PasswordCatalogueOpensOnlyWithTheRightPassword)
{
    DbError e;
    auto db = CreateCatalogue(file("pw.MDB"), "geheim", &e);
    ASSERT_TRUE(db) << e.description.toStdString();
    db->Close();
    auto plain = CreateCatalogue(file("plain.MDB"), QByteArray(), &e);
    ASSERT_TRUE(plain);
    plain->Close();

    gtDBPath = file("plain.MDB");
    EXPECT_TRUE(CompactDB());   // not opened in this run: the keys that need no password
    EXPECT_TRUE(ConnectDB(file("plain.MDB")));
    EXPECT_TRUE(prompts.isEmpty());

    struct Case { const char* password; bool opens; };
    const Case cases[] = {{"falsch", false}, {"", false}, {"geheim", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.password);
        messages.clear();
        prompts.clear();
        password = QString::fromUtf8(c.password);
        EXPECT_EQ(ConnectDB(file("pw.MDB")), c.opens);
        ASSERT_EQ(prompts.size(), 1);
        EXPECT_EQ(prompts[0], QStringLiteral("Die Datenbank '") + file("pw.MDB")
                                  + QStringLiteral("' ist Kennwortgeschützt. Bitte geben Sie das Kennwort ein:"));
        EXPECT_EQ(messages.size(), c.opens ? 0 : 1);
        if (!c.opens) {
            EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Dies ist keine Tovarin-Datenbank: ")));
        }
    }
    EXPECT_EQ(goDB->Name(), file("pw.MDB"));

    // Compaction keeps the password.
    CloseDB();
    gtDBPath = file("pw.MDB");
    ASSERT_TRUE(CompactDB());
    prompts.clear();
    password = QStringLiteral("geheim");
    EXPECT_TRUE(ConnectDB(gtDBPath));
    EXPECT_EQ(prompts.size(), 1);
}

TEST_F(CatalogueTest, CompactKeepsThePreviousFileAsOldAndLeavesNoSideFiles)
{
    gtDBPath = newCatalogue("cat");
    ASSERT_TRUE(ConnectDB(gtDBPath));
    for (int i = 0; i < 200; ++i)
        ASSERT_FALSE(goDB->Execute(QStringLiteral("Insert Into MainFiles (tFile, tPath) Values ('f%1', '/p')").arg(i)));
    ASSERT_FALSE(goDB->Execute(QStringLiteral("Delete * from MainFiles where ID > 10")));
    CloseDB();
    writeFile(file("cat.OLD"), "an older kept file");

    ASSERT_TRUE(CompactDB());
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_FALSE(QFile::exists(file("cat.MDR")));
    EXPECT_GT(QFile(file("cat.OLD")).size(), 100);
    for (const char* side : {"cat.MDB-wal", "cat.MDB-shm", "cat.OLD-wal", "cat.OLD-shm"})
        EXPECT_FALSE(QFile::exists(file(side))) << side;
    ASSERT_TRUE(ConnectDB(gtDBPath));
    QString where;
    EXPECT_EQ(LookupField(QStringLiteral("count(*)"), QStringLiteral("MainFiles"), where), QStringLiteral("10"));
    CloseDB();
    EXPECT_TRUE(ConnectDB(file("cat.OLD")));
}

TEST_F(CatalogueTest, CompactFailureKeepsTheCatalogueUnderItsName)
{
    gtDBPath = newCatalogue("cat");
    // A folder holding the temporary name cannot be deleted, so compaction fails early.
    ASSERT_TRUE(QDir().mkpath(file("cat.MDR/sub")));
    EXPECT_FALSE(CompactDB());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Fehler beim Komprimieren der Datenbank: ")))
        << messages[0].toStdString();
    EXPECT_EQ(styles[0], int(vbOKOnly));
    EXPECT_EQ(titles[0], kAppTitle);
    EXPECT_TRUE(ConnectDB(gtDBPath));
}

// Whatever step a compaction stops at (the program killed, the machine off), the catalogue's
// name holds a whole catalogue, which opens in write-ahead mode again; the next compaction
// clears what the stopped one left.
TEST_F(CatalogueTest, CompactionStoppedAtAnyStepLeavesAWholeCatalogueUnderItsName)
{
    gtDBPath = file("cat.MDB");
    catalogueWithRows(gtDBPath, 200);
    ASSERT_TRUE(ConnectDB(gtDBPath));
    ASSERT_FALSE(goDB->Execute(QStringLiteral("Delete * from MainFiles where ID > 10")));
    CloseDB();
    writeFile(file("cat.OLD"), "an older kept file");
    // After each step the files are copied aside, as they lie when the program stops there.
    QStringList stops;
    SetCompactStepHook([&](CompactStep step) {
        const QString at = file("stop%1").arg(int(step));
        ASSERT_TRUE(QDir().mkpath(at));
        for (const char* name : {"cat.MDB", "cat.OLD", "cat.MDR"}) {
            if (QFile::exists(file(name))) {
                ASSERT_TRUE(QFile::copy(file(name), at + QLatin1Char('/') + QLatin1String(name)));
            }
        }
        stops << at;
    });
    ASSERT_TRUE(CompactDB());
    SetCompactStepHook(nullptr);
    ASSERT_EQ(stops.size(), 4);

    for (const QString& at : stops) {
        SCOPED_TRACE(at.toStdString());
        gtDBPath = at + QStringLiteral("/cat.MDB");
        ASSERT_TRUE(ConnectDB(gtDBPath));
        EXPECT_EQ(count("MainFiles"), QStringLiteral("10"));
        expectWriteAheadLog();
        CloseDB();
        // An export broken off leaves the engine's journal of the copy, too.
        writeFile(at + QStringLiteral("/cat.MDR-journal"), "left by an export broken off");
        EXPECT_TRUE(CompactDB());
        for (const char* left : {"/cat.MDR", "/cat.MDR-journal"}) EXPECT_FALSE(QFile::exists(at + QLatin1String(left))) << left;
        ASSERT_TRUE(ConnectDB(gtDBPath));
        EXPECT_EQ(count("MainFiles"), QStringLiteral("10"));
        CloseDB();
    }
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
}

// A compaction that cannot keep the previous file, or finds the catalogue not writable, says
// which file and leaves the catalogue as it was, with no copy beside it.
TEST_F(CatalogueTest, CompactionThatCannotWriteLeavesTheCatalogueAsItWas)
{
    const QString failed = QStringLiteral("Fehler beim Komprimieren der Datenbank: ");
    struct Case {
        const char* name;
        std::function<void()> prepare;
        QString message;
    } const kCases[] = {
        {"kept file not writable", [&] { ASSERT_TRUE(QDir().mkpath(file("cat.OLD/sub"))); }, failed + file("cat.OLD")},
        {"catalogue not writable", [] { Database::SetOpenReadOnly(true); },
         failed + QStringLiteral("Die Datenbank oder ihr Ordner kann nicht geschrieben werden: ") + file("cat.MDB")},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        QDir(dir.path()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(dir.path()));
        messages.clear();
        gtDBPath = file("cat.MDB");
        catalogueWithRows(gtDBPath, 3);
        c.prepare();
        EXPECT_FALSE(CompactDB());
        Database::SetOpenReadOnly(false);
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].startsWith(c.message)) << messages[0].toStdString();
        EXPECT_FALSE(QFile::exists(file("cat.MDR")));
        ASSERT_TRUE(ConnectDB(gtDBPath));
        EXPECT_EQ(count("MainFiles"), QStringLiteral("3"));
        expectWriteAheadLog();
        CloseDB();
    }
}

// A catalogue cut short by a byte still has its rows: it opens after the engine's quick check,
// says that it is damaged and offers compaction, which gives it whole pages again. A file
// that no key opens is refused as before, without a password question.
TEST_F(CatalogueTest, CatalogueCutShortOpensWithANoticeAndTheOfferToCompact)
{
    QByteArray noise(8191, '\0');
    quint32 x = 2463534242u;
    for (char& ch : noise) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        ch = char(x >> 24);
    }
    const QString damaged = QStringLiteral("Die Datenbank ist beschädigt, ihre Zeilen sind aber lesbar: ");
    struct Case {
        const char* name;
        int answer;
        bool opens;
        bool compacted;
    } const kCases[] = {{"kept as it is", vbNo, true, false}, {"compacted", vbYes, true, true}, {"random bytes", vbYes, false, false}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        messages.clear();
        styles.clear();
        answer = c.answer;
        const QString path = file(c.name) + QStringLiteral(".MDB");
        if (c.opens) {
            catalogueWithRows(path, 300);
            QFile f(path);
            ASSERT_TRUE(f.resize(f.size() - 1));
        } else {
            writeFile(path, noise);
        }
        EXPECT_EQ(ConnectDB(path), c.opens);
        EXPECT_TRUE(prompts.isEmpty());
        ASSERT_EQ(messages.size(), 1);
        if (!c.opens) {
            EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Dies ist keine Tovarin-Datenbank: ") + path)) << messages[0].toStdString();
            EXPECT_EQ(fileBytes(path), noise);
            continue;
        }
        EXPECT_TRUE(messages[0].startsWith(damaged + path)) << messages[0].toStdString();
        EXPECT_EQ(styles[0], int(vbYesNo | vbExclamation));
        EXPECT_EQ(count("MainFiles"), QStringLiteral("300"));
        EXPECT_EQ(QFile(path).size() % 512 == 0, c.compacted);
        EXPECT_EQ(QFile::exists(file(c.name) + QStringLiteral(".OLD")), c.compacted);
        CloseDB();
    }
}

// The ways a catalogue of 1 KB pages is damaged while its first page still opens with the key.
enum class Damage { MiddlePageZeroed, CutByOnePage, SecondPageZeroed };

void damageFile(const QString& path, Damage damage)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const qint64 pages = f.size() / 1024;
    switch (damage) {
    case Damage::MiddlePageZeroed:
        ASSERT_TRUE(f.seek(pages / 2 * 1024));
        f.write(QByteArray(1024, '\0'));
        break;
    case Damage::CutByOnePage:
        ASSERT_TRUE(f.resize((pages - 1) * 1024));
        break;
    case Damage::SecondPageZeroed:
        ASSERT_TRUE(f.seek(1024));
        f.write(QByteArray(1024, '\0'));
        break;
    }
}

struct DamageCase {
    const char* name;
    Damage damage;
};
constexpr DamageCase kDamageCases[] = {{"middle page zeroed", Damage::MiddlePageZeroed},
                                       {"cut by one page", Damage::CutByOnePage},
                                       {"second page zeroed", Damage::SecondPageZeroed}};

// A catalogue damaged inside (whole pages, first page sound) is named damaged, not foreign, and
// offered for compaction. Answered No, it is browsed for reading only and left byte for byte
// as it was, also when closed with a log of an earlier session beside it.
TEST_F(CatalogueTest, DamagedCatalogueRefusedCompactionIsReadAndNeverWritten)
{
    for (const DamageCase& c : kDamageCases) {
        SCOPED_TRACE(c.name);
        messages.clear();
        styles.clear();
        answer = vbNo;
        const QString path = file(c.name) + QStringLiteral(".MDB");
        catalogueWithRows(path, 3000);
        {
            // An earlier session ended without copying its log into the file: rows in History.
            DbError e;
            auto writer = Database::Open(path, kProgramKey, &e);
            ASSERT_TRUE(writer);
            ASSERT_FALSE(writer->StartWriting());
            ASSERT_FALSE(writer->Execute(QStringLiteral("Insert Into History (MainFiles_ID, tsStarted) Values (5, 46000)")));
            ASSERT_TRUE(QFile::copy(path + QStringLiteral("-wal"), file("log")));
            writer->Close();
            ASSERT_TRUE(QFile::copy(file("log"), path + QStringLiteral("-wal")));
            QFile::remove(file("log"));
        }
        damageFile(path, c.damage);
        const QByteArray before = fileBytes(path);

        ASSERT_TRUE(ConnectDB(path));
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Die Datenbank ist beschädigt: ") + path + QStringLiteral("\r\n")))
            << messages[0].toStdString();
        EXPECT_TRUE(messages[0].contains(QStringLiteral("Soll sie jetzt komprimiert werden?"))) << messages[0].toStdString();
        EXPECT_EQ(styles[0], int(vbYesNo | vbExclamation));
        EXPECT_TRUE(goDB->IsReadOnly());
        EXPECT_EQ(count("History"), QStringLiteral("1"));
        for (const char* sql : {"Select * From MainFiles order by tPath", "Select tFile From MainFiles order by tFile desc"})
            if (auto rs = goDB->OpenRecordset(QString::fromUtf8(sql))) rs->MoveLast();
        EXPECT_TRUE(goDB->Execute(QStringLiteral("Insert Into Category (ID, tCategory) Values (1, 'neu')")));
        EXPECT_TRUE(goDB->Execute(QStringLiteral("CREATE INDEX Extra ON MainFiles (lSize)")));
        ASSERT_FALSE(goDB->BeginTrans());
        EXPECT_TRUE(goDB->Execute(QStringLiteral("Delete * from MainFiles where ID < 10")));
        EXPECT_TRUE(goDB->CommitTrans());
        CloseDB();
        EXPECT_TRUE(fileBytes(path) == before) << "the damaged file was written to";
        EXPECT_EQ(messages.size(), 1);
    }
}

// Answered Yes, the damaged catalogue is compacted into a copy of every row that can still be
// read, which opens for writing; the damaged file is kept as ".OLD".
TEST_F(CatalogueTest, DamagedCatalogueIsCompactedIntoACopyOfWhatIsReadable)
{
    for (const DamageCase& c : {kDamageCases[0], kDamageCases[1]}) {
        SCOPED_TRACE(c.name);
        messages.clear();
        answer = vbYes;
        const QString path = file(c.name) + QStringLiteral(".MDB");
        catalogueWithRows(path, 3000);
        damageFile(path, c.damage);
        const QByteArray damaged = fileBytes(path);

        ASSERT_TRUE(ConnectDB(path));
        ASSERT_EQ(messages.size(), 1) << messages.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Die Datenbank ist beschädigt: "))) << messages[0].toStdString();
        EXPECT_FALSE(goDB->IsReadOnly());
        EXPECT_FALSE(goDB->QuickCheck());
        const int rows = count("MainFiles").toInt();
        EXPECT_GE(rows, 2900);
        EXPECT_LE(rows, 3000);
        QString where = QStringLiteral("tItem='Version'");
        EXPECT_EQ(LookupField(QStringLiteral("mConfig"), QStringLiteral("Config"), where), QStringLiteral("1.0"));
        // New rows take numbers above every one the damaged file had given out.
        ASSERT_FALSE(goDB->Execute(QStringLiteral("Insert Into MainFiles (tFile, tPath) Values ('neu', '/p/neu')")));
        where = QStringLiteral("tFile='neu'");
        EXPECT_EQ(LookupField(QStringLiteral("ID"), QStringLiteral("MainFiles"), where), QStringLiteral("3001"));
        expectWriteAheadLog();
        CloseDB();
        // Kept with every page as it was; only its first page names its journal anew.
        const QByteArray kept = fileBytes(file(c.name) + QStringLiteral(".OLD"));
        EXPECT_EQ(kept.size(), damaged.size());
        EXPECT_TRUE(kept.mid(1024) == damaged.mid(1024));
    }
}

// A catalogue checked beside the window (a large one) takes no write before the check is done:
// a write waits for it. Damage the check finds, or a statement meets, gives the notice once,
// when the event loop is back, and the catalogue is read only from then on.
TEST_F(CatalogueTest, DamageFoundAfterOpeningGivesTheNoticeOnceAndStopsEveryWrite)
{
    SetForegroundCheckLimit(0);
    const auto limit = qScopeGuard([] { SetForegroundCheckLimit(8 * 1024 * 1024); });
    answer = vbNo;
    const QString good = file("good.MDB");
    catalogueWithRows(good, 2000);
    ASSERT_TRUE(ConnectDB(good));
    EXPECT_FALSE(goDB->Execute(QStringLiteral("Insert Into Category (ID, tCategory) Values (1, 'neu')")));
    QCoreApplication::processEvents();
    CloseDB();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();

    const QString path = file("cat.MDB");
    catalogueWithRows(path, 3000);
    damageFile(path, Damage::MiddlePageZeroed);
    const QByteArray before = fileBytes(path);
    ASSERT_TRUE(ConnectDB(path));
    EXPECT_TRUE(messages.isEmpty());
    // The write waits for the check, which finds the damage.
    EXPECT_EQ(goDB->Execute(QStringLiteral("Insert Into Category (ID, tCategory) Values (1, 'neu')")).number, int(dbErrNotUpdatable));
    EXPECT_TRUE(goDB->IsReadOnly());
    EXPECT_TRUE(messages.isEmpty());
    QCoreApplication::processEvents();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Die Datenbank ist beschädigt: ") + path)) << messages[0].toStdString();
    // Reads that meet the damage again give no second notice.
    if (auto rs = goDB->OpenRecordset(QStringLiteral("Select * From MainFiles order by tPath"))) rs->MoveLast();
    QCoreApplication::processEvents();
    EXPECT_EQ(messages.size(), 1);
    CloseDB();
    EXPECT_TRUE(fileBytes(path) == before) << "the damaged file was written to";
}

// A compaction stopped before its copy took the catalogue's name leaves the full-size copy and
// its journal beside it; the next opening removes them.
TEST_F(CatalogueTest, OpeningRemovesACopyLeftByAStoppedCompaction)
{
    const QString path = file("cat.MDB");
    catalogueWithRows(path, 5);
    writeFile(file("cat.MDR"), QByteArray(64 * 1024, 'x'));
    writeFile(file("cat.MDR-journal"), "journal");
    ASSERT_TRUE(ConnectDB(path));
    EXPECT_FALSE(QFile::exists(file("cat.MDR")));
    EXPECT_FALSE(QFile::exists(file("cat.MDR-journal")));
    EXPECT_TRUE(messages.isEmpty());
}

// A catalogue the user cannot write opens for browsing with one notice; nothing is written to
// it, not even the journal mode.
TEST_F(CatalogueTest, CatalogueThatCannotBeWrittenOpensForReadingWithANotice)
{
    const QString path = file("cat.MDB");
    catalogueWithRows(path, 4);
    // One in the write-ahead mode it is kept in, one in the journal mode compaction leaves.
    ASSERT_FALSE(Database::Compact(path, file("rollback.MDB"), kProgramKey));
    Database::SetOpenReadOnly(true);
    for (const QString& name : {path, file("rollback.MDB")}) {
        SCOPED_TRACE(name.toStdString());
        messages.clear();
        const QByteArray before = fileBytes(name);
        ASSERT_TRUE(ConnectDB(name));
        ASSERT_EQ(messages.size(), 1);
        EXPECT_EQ(messages[0], QStringLiteral("Die Datenbank kann nicht geschrieben werden und ist nur zum Lesen geöffnet: ") + name);
        EXPECT_EQ(styles.last(), int(vbInformation));
        EXPECT_TRUE(goDB->IsReadOnly());
        EXPECT_EQ(count("MainFiles"), QStringLiteral("4"));
        EXPECT_TRUE(goDB->Execute(QStringLiteral("Insert Into Category (ID, tCategory) Values (1, 'neu')")));
        CloseDB();
        EXPECT_TRUE(fileBytes(name) == before) << "the file was written to";
    }
}

// Whether the catalogue has an index of `table` on `columns` ("(MainFiles_ID)"), whatever its name.
bool hasIndexOn(Database& db, const QString& table, const QString& columns)
{
    auto rs = db.OpenRecordset(QStringLiteral("Select sql From sqlite_master Where type='index' And tbl_name='") + table
                                   + QLatin1Char('\''),
                               dbOpenSnapshot, dbForwardOnly);
    if (!rs) return false;
    for (; !rs->IsEOF(); rs->MoveNext())
        if (rs->Fields(QStringLiteral("sql")).Value().text().contains(columns)) return true;
    return false;
}

bool hasHistoryFileIndex(Database& db) { return hasIndexOn(db, QStringLiteral("History"), QStringLiteral("(MainFiles_ID)")); }
// The history view's order: the files by their last start.
bool hasLastStartIndex(Database& db)
{
    return hasIndexOn(db, QStringLiteral("MainFiles"), QStringLiteral("(tsLastStarted)"));
}
// The categories view's order: the files with a category by name.
bool hasNameCategoryIndex(Database& db)
{
    return hasIndexOn(db, QStringLiteral("MainFiles"), QStringLiteral("(tFile, ID, Category_ID)"));
}
// The file list's sorts by its small columns, and the selections by file type.
bool hasSortAndTypeIndexes(Database& db)
{
    return hasIndexOn(db, QStringLiteral("MainFiles"), QStringLiteral("(ID, lSize, iModel, iOS, iBasic, iVideo, tsCreated,"))
           && hasIndexOn(db, QStringLiteral("MainFiles"), QStringLiteral("(iFileType, ID, tFile)"));
}

// The history view joins History by MainFiles_ID and lists the files by their last start; the
// categories view lists the files with a category by name; the file list sorts by its small
// columns and the selections by file type. A new catalogue has the indexes for it; an older one gets them when it is opened for writing or
// compacted, and one opened for reading opens all the same and is not written to.
TEST_F(CatalogueTest, HistoryIndexComesWithNewCataloguesAndIsAddedToOlderOnes)
{
    DbError e;
    auto created = CreateCatalogue(file("new.MDB"), kProgramKey, &e);
    ASSERT_TRUE(created);
    EXPECT_TRUE(hasHistoryFileIndex(*created));
    EXPECT_TRUE(hasLastStartIndex(*created));
    EXPECT_TRUE(hasNameCategoryIndex(*created));
    EXPECT_TRUE(hasSortAndTypeIndexes(*created));
    created->Close();

    const QString older = file("older.MDB");
    catalogueWithRows(older, 3);
    {
        auto db = Database::Open(older, kProgramKey, &e);
        ASSERT_TRUE(db);
        ASSERT_FALSE(db->Execute(QStringLiteral("Insert Into History (MainFiles_ID, tsStarted) Values (2, 46000.5)")));
        auto rs = db->OpenRecordset(QStringLiteral("Select name From sqlite_master Where type='index' And tbl_name='History'"));
        ASSERT_TRUE(rs);
        for (; !rs->IsEOF(); rs->MoveNext()) {
            const QString name = rs->Fields(QStringLiteral("name")).Value().text();
            if (name != QLatin1String("History_C1")) {
                ASSERT_FALSE(db->Execute(QStringLiteral("DROP INDEX ") + name));
            }
        }
        rs->Close();
        ASSERT_FALSE(db->Execute(QStringLiteral("DROP INDEX IF EXISTS MainFiles_C5")));
        ASSERT_FALSE(db->Execute(QStringLiteral("DROP INDEX IF EXISTS MainFiles_C6")));
        ASSERT_FALSE(db->Execute(QStringLiteral("DROP INDEX IF EXISTS MainFiles_C7")));
        ASSERT_FALSE(db->Execute(QStringLiteral("DROP INDEX IF EXISTS MainFiles_C8")));
        ASSERT_FALSE(hasSortAndTypeIndexes(*db));
        ASSERT_FALSE(hasHistoryFileIndex(*db));
        ASSERT_FALSE(hasLastStartIndex(*db));
        ASSERT_FALSE(hasNameCategoryIndex(*db));
        db->Close();
    }
    for (const char* copy : {"readonly.MDB", "opened.MDB", "compacted.MDB"})
        ASSERT_TRUE(QFile::copy(older, file(copy)));

    Database::SetOpenReadOnly(true);
    const QByteArray before = fileBytes(file("readonly.MDB"));
    ASSERT_TRUE(ConnectDB(file("readonly.MDB")));
    EXPECT_FALSE(hasHistoryFileIndex(*goDB));
    EXPECT_FALSE(hasLastStartIndex(*goDB));
    EXPECT_FALSE(hasNameCategoryIndex(*goDB));
    EXPECT_FALSE(hasSortAndTypeIndexes(*goDB));
    EXPECT_EQ(count("History"), QStringLiteral("1"));
    CloseDB();
    EXPECT_TRUE(fileBytes(file("readonly.MDB")) == before) << "the file was written to";
    Database::SetOpenReadOnly(false);

    ASSERT_TRUE(ConnectDB(file("opened.MDB")));
    EXPECT_TRUE(hasHistoryFileIndex(*goDB));
    EXPECT_TRUE(hasLastStartIndex(*goDB));
    EXPECT_TRUE(hasNameCategoryIndex(*goDB));
    EXPECT_TRUE(hasSortAndTypeIndexes(*goDB));
    EXPECT_EQ(count("History"), QStringLiteral("1"));
    CloseDB();

    gtDBPath = file("compacted.MDB");
    ASSERT_TRUE(CompactDB());
    for (const char* side : {"compacted.MDB-wal", "compacted.MDB-journal"})
        EXPECT_FALSE(QFile::exists(file(side))) << side;
    auto compacted = Database::Open(gtDBPath, kProgramKey, &e);
    ASSERT_TRUE(compacted);
    EXPECT_TRUE(hasHistoryFileIndex(*compacted));
    EXPECT_TRUE(hasLastStartIndex(*compacted));
    EXPECT_TRUE(hasNameCategoryIndex(*compacted));
    EXPECT_TRUE(hasSortAndTypeIndexes(*compacted));
    compacted->Close();
    EXPECT_EQ(messages.size(), 1);   // the read-only notice alone
}

// The same with real permissions: a file without write permission, and a catalogue in a
// folder the user cannot write (where the engine cannot keep its journal). Root may write
// anything, so the test says nothing when run as root.
TEST_F(CatalogueTest, CatalogueWithoutWritePermissionOpensForReading)
{
    if (geteuid() == 0) GTEST_SKIP() << "root writes files without write permission";
    const QFileDevice::Permissions readOnly = QFileDevice::ReadOwner | QFileDevice::ReadUser | QFileDevice::ExeOwner | QFileDevice::ExeUser;
    struct Case {
        const char* name;
        const char* folder;
        const char* locked;   // the file or folder made read-only
    } const kCases[] = {{"file", "a", "a/cat.MDB"}, {"folder", "b", "b"}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        messages.clear();
        const QString folder = file(c.folder);
        ASSERT_TRUE(QDir().mkpath(folder));
        gtDBPath = folder + QStringLiteral("/cat.MDB");
        catalogueWithRows(gtDBPath, 4);
        const QString locked = file(c.locked);
        ASSERT_TRUE(QFile::setPermissions(locked, readOnly));
        const auto unlock = qScopeGuard([&] {
            QFile::setPermissions(locked, readOnly | QFileDevice::WriteOwner | QFileDevice::WriteUser);
        });
        ASSERT_TRUE(ConnectDB(gtDBPath));
        ASSERT_EQ(messages.size(), 1);
        EXPECT_EQ(messages[0], QStringLiteral("Die Datenbank kann nicht geschrieben werden und ist nur zum Lesen geöffnet: ") + gtDBPath);
        EXPECT_TRUE(goDB->IsReadOnly());
        EXPECT_EQ(count("MainFiles"), QStringLiteral("4"));
        CloseDB();
        EXPECT_FALSE(CompactDB());
        ASSERT_EQ(messages.size(), 2);
        EXPECT_TRUE(messages[1].startsWith(QStringLiteral("Fehler beim Komprimieren der Datenbank: ")));
        EXPECT_TRUE(QFile::exists(gtDBPath));
        EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/cat.MDR")));
    }
}

// When the compacted file cannot take the catalogue's name, the previous file gets it back.
TEST_F(CatalogueTest, ReplacementThatCannotTakeTheNameLeavesThePreviousFile)
{
    const QString path = file("cat.MDB");
    writeFile(path, "previous catalogue");
    EXPECT_FALSE(ReplaceKeepingOld(path, file("missing.MDR"), file("cat.OLD")).isEmpty());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("previous catalogue"));
    EXPECT_FALSE(QFile::exists(file("cat.OLD")));
}

// A catalogue name without an extension keeps the temporary and the kept file beside it, even
// when a folder name holds a dot.
TEST_F(CatalogueTest, CompactNameWithoutExtensionStaysInItsFolder)
{
    ASSERT_TRUE(QDir().mkpath(file("x.dir")));
    gtDBPath = CreateDBFile(file("x.dir/katalog.MDB"));
    ASSERT_TRUE(QFile::rename(gtDBPath, file("x.dir/katalog")));
    gtDBPath = file("x.dir/katalog");
    ASSERT_TRUE(CompactDB());
    EXPECT_TRUE(QFile::exists(file("x.dir/katalog.OLD")));
    EXPECT_FALSE(QFile::exists(file("x.OLD")));
    EXPECT_TRUE(ConnectDB(gtDBPath));
}

TEST(SqlTextBuilders, AddWhereAndGetLikeClause)
{
    QString op;
    QString where = AddWhere(QString(), QStringLiteral("A=1"), op);
    EXPECT_EQ(where, QStringLiteral(" where A=1"));
    EXPECT_EQ(op, QStringLiteral("And"));
    where = AddWhere(where, QStringLiteral("("), op);
    EXPECT_EQ(where, QStringLiteral(" where A=1 And ("));
    where = AddWhere(where, QStringLiteral("B=2"), op);
    EXPECT_EQ(where, QStringLiteral(" where A=1 And (  B=2"));
    EXPECT_EQ(op, QString());
    op = QStringLiteral("Or");
    EXPECT_EQ(AddWhere(where, QString(), op), where);

    EXPECT_EQ(GetLikeClause(QStringLiteral("F.tFile like"), QStringLiteral("abc")), QStringLiteral("F.tFile like'*abc*'"));
    EXPECT_EQ(GetLikeClause(QStringLiteral("F.tFile like"), QStringLiteral("ab*")), QStringLiteral("F.tFile like'ab*'"));
    EXPECT_EQ(GetLikeClause(QStringLiteral("F.tFile like"), QString()), QString());
    // Apart from "*", what the user types matches itself.
    EXPECT_EQ(GetLikeClause(QStringLiteral("F.tFile like"), QStringLiteral("#1 [a]?")),
              QStringLiteral("F.tFile like'*[#]1 [[]a][?]*'"));
    EXPECT_EQ(GetLikeClause(QStringLiteral("F.tFile like"), QStringLiteral("a*#")), QStringLiteral("F.tFile like'a*[#]'"));
}

// The texts of the main window's views run on a real catalogue and give what the lists show.
TEST_F(CatalogueTest, ViewTextsRunOnACatalogue)
{
    ASSERT_TRUE(ConnectDB(newCatalogue("views")));
    const char* const rows[] = {
        "Insert Into Category (ID, tCategory) Values (1, 'Spiele')",
        "Insert Into MainFiles (tFile, tPath, tUnpackPath, iFileType, lSize, Category_ID, tsLastStarted) Values"
        " ('Boulder.atr', '/a/Boulder.atr', Null, 1, 92176, 1, 46365.75),"
        " ('River.xex', '/a/games.zip', 'x\\River.xex', 11, 8000, Null, Null)",
        "Insert Into History (MainFiles_ID, tsStarted) Values (1, 46365.75), (1, 46365.25)",
    };
    for (const char* sql : rows) ASSERT_FALSE(goDB->Execute(QString::fromUtf8(sql)));
    const QString select = QStringLiteral(
        "iFileType AS iTyp,IIF(isNull(tUnpackpath),0,27) as IsArchiv,ucase(Right(tFile,3)) as [Filetyp],"
        "tFile as [Datei],lSize as [Größe],tPath as [Dateipfad],tUnpackpath as [Archivpfad],lStartCount as [Zähler]");
    auto rs = goDB->OpenRecordset(QStringLiteral("SELECT F.ID,") + select
                                  + QStringLiteral(",C.tCategory as [Kategorie] From (MainFiles as F  Left Join Category"
                                                   " as C on F.Category_ID=C.ID) where F.tFile like'*r*' order by 1"));
    ASSERT_TRUE(rs) << goDB->LastError().description.toStdString();
    ASSERT_EQ(rs->RecordCount(), 2);
    EXPECT_EQ(rs->Fields("Filetyp").Value(), Variant("ATR"));
    EXPECT_EQ(rs->Fields("IsArchiv").Value(), Variant(int32_t(0)));
    EXPECT_EQ(rs->Fields("Kategorie").Value(), Variant("Spiele"));
    EXPECT_EQ(rs->Fields("Größe").Type(), int(dbLong));
    rs->MoveNext();
    EXPECT_EQ(rs->Fields("IsArchiv").Value(), Variant(int32_t(27)));
    EXPECT_TRUE(rs->Fields("Kategorie").Value().isNull());

    // History: one tree node per calendar day; int() keeps an evening start on its own day.
    rs = goDB->OpenRecordset(QStringLiteral(
        "SELECT distinct(int(cDate(tsStarted))),-1,29,Format(tsStarted,'dd.MM.yyyy') from History order by 1 desc"));
    ASSERT_TRUE(rs);
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->Fields(0).Name(), QStringLiteral("Expr1000"));
    EXPECT_EQ(rs->Fields(3).Value(), Variant("09.12.2026"));
    auto level = goDB->CreateQueryDef(QString(), QStringLiteral(
        "Parameters xxx Value;Select F.ID, int(cDate(tsStarted)),") + select
        + QStringLiteral(",H.tsStarted as [Zuletzt gestartet] From (MainFiles as F ) Inner Join History as H on F.ID ="
                         " H.MainFiles_ID  where not isnull(F.tsLastStarted)  And int(cDate(tsStarted))=xxx"
                         " order by F.tsLastStarted desc"));
    ASSERT_TRUE(level) << goDB->LastError().description.toStdString();
    level->Parameters(QStringLiteral("xxx")).Value = Variant("46365");
    rs = level->OpenRecordset();
    ASSERT_TRUE(rs) << level->LastError().description.toStdString();
    EXPECT_EQ(rs->RecordCount(), 2);
    EXPECT_EQ(rs->Fields("Zuletzt gestartet").Type(), int(dbDate));

    ASSERT_FALSE(goDB->Execute(QStringLiteral(
        "Update MainFiles Set tsLastStarted=#12/09/2026 02:05:09 pm#,lStartCount=val('' & lStartCount) + 1 Where ID=2")));
    QString where = QStringLiteral("ID=2");
    EXPECT_EQ(LookupField(QStringLiteral("lStartCount"), QStringLiteral("MainFiles"), where), QStringLiteral("1"));
    ASSERT_FALSE(goDB->Execute(QStringLiteral("Delete * from History where int(cDate(tsStarted))=46365")));
    EXPECT_EQ(goDB->RecordsAffected(), 2);
}

// A refused file is left exactly as it was: no journal switch, no side files, not one byte.
TEST_F(CatalogueTest, RefusedFilesAreLeftUntouched)
{
    // Another program's SQLite file in rollback mode (a compacted copy is in rollback mode).
    DbError e;
    auto other = Database::Create(file("other.tmp"), QByteArray(), &e);
    ASSERT_TRUE(other);
    ASSERT_FALSE(other->Execute(QStringLiteral("CREATE TABLE Notes (ID INTEGER PRIMARY KEY, tText TEXT)")));
    other->Close();
    ASSERT_FALSE(Database::Compact(file("other.tmp"), file("other.db"), QByteArray()));
    // A catalogue of a newer version, also in rollback mode.
    auto newer = CreateCatalogue(file("newer.tmp"), "Tovarin.Katalog.8bit", &e);
    ASSERT_TRUE(newer);
    ASSERT_FALSE(newer->Execute(QStringLiteral("Insert Into Config (tItem, mConfig) Values ('Version', '9.0')")));
    newer->Close();
    ASSERT_FALSE(Database::Compact(file("newer.tmp"), file("newer.MDB"), "Tovarin.Katalog.8bit"));
    writeFile(file("empty.MDB"), QByteArray());

    for (const char* name : {"empty.MDB", "other.db", "newer.MDB"}) {
        SCOPED_TRACE(name);
        const QString path = file(name);
        const QByteArray before = fileBytes(path);
        ASSERT_EQ(before.isEmpty(), QByteArrayView(name) == "empty.MDB");
        EXPECT_FALSE(ConnectDB(path));
        EXPECT_TRUE(fileBytes(path) == before) << "the file was written to";
        EXPECT_FALSE(QFile::exists(path + QStringLiteral("-wal")));
        EXPECT_FALSE(QFile::exists(path + QStringLiteral("-journal")));
    }
    EXPECT_FALSE(goDB);
    EXPECT_TRUE(prompts.isEmpty());
}

// A file that lacks tables or columns of the schema is refused at once, naming what is missing,
// instead of failing later on the first query that needs them.
TEST_F(CatalogueTest, CatalogueMissingTablesOrColumnsIsRefusedNamingThem)
{
    DbError e;
    auto db = Database::Create(file("partial.MDB"), QByteArray(), &e);
    ASSERT_TRUE(db);
    for (const char* sql : {
             "CREATE TABLE MainFiles (ID INTEGER PRIMARY KEY, tFile TEXT, tPath TEXT, tUnpackPath TEXT, lSize INTEGER,"
             " iBasic SMALLINT, iModel SMALLINT, iOS SMALLINT, iVideo SMALLINT, tMemo TEXT, tParam TEXT,"
             " Category_ID INTEGER, tsCreated DATETIME, tsLastStarted DATETIME, lStartCount INTEGER)",
             "CREATE TABLE Config (ID INTEGER PRIMARY KEY, tItem TEXT, mConfig TEXT, tsCreated DATETIME)",
             "CREATE TABLE Category (ID INTEGER PRIMARY KEY, tCategory TEXT)",
             "Insert Into Config (tItem, mConfig) Values ('Version', '1.0')"})
        ASSERT_FALSE(db->Execute(QString::fromUtf8(sql)));
    EXPECT_EQ(MissingCatalogueParts(*db), (QStringList{QStringLiteral("MainFiles.iFileType"), QStringLiteral("History")}));
    db->Close();

    EXPECT_FALSE(ConnectDB(file("partial.MDB")));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Dies ist keine Tovarin-Datenbank: ") + file("partial.MDB")));
    EXPECT_TRUE(messages[0].contains(QStringLiteral("MainFiles.iFileType, History")));
    EXPECT_FALSE(goDB);

    auto complete = CreateCatalogue(file("complete.MDB"), QByteArray(), &e);
    ASSERT_TRUE(complete);
    EXPECT_TRUE(MissingCatalogueParts(*complete).isEmpty());
}

TEST(CatalogueVersions, CompareAsNumbers)
{
    struct Case { const char* stored; const char* program; int result; };
    const Case cases[] = {
        {"1.10", "1.9", 1}, {"1.9", "1.10", -1}, {"1.0", "1.0", 0}, {"1.0.0", "1.0", 0}, {"01.00", "1", 0},
        {"2", "1.99", 1}, {"99999999999999999999999.1", "1.0", 1}, {"1.0", "1.0.1", -1},
        {" 9.9", "1.0", 2}, {"", "1.0", 2}, {"1..2", "1.0", 2}, {"1.0 ", "1.0", 2}, {"v1", "1.0", 2}, {"1.0", "", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.stored) + " vs " + c.program);
        EXPECT_EQ(CompareVersions(QString::fromUtf8(c.stored), QString::fromUtf8(c.program)), c.result);
    }
}

// The stored version is read as a number: an older one with more digits opens, a text that is
// no version (or Null) is refused.
TEST_F(CatalogueTest, ConnectReadsTheVersionAsNumbers)
{
    struct Case { const char* version; bool opens; };
    const Case cases[] = {{"0.10", true}, {"1.0.0", true}, {"1.00", true}, {"1.10", false}, {" 9.9", false},
                          {"", false}, {nullptr, false}};
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version ? c.version : "Null");
        const QString path = newCatalogue(QStringLiteral("v%1").arg(++n).toUtf8().constData());
        ASSERT_TRUE(ConnectDB(path));
        ASSERT_FALSE(goDB->Execute(c.version ? QStringLiteral("Update Config Set mConfig='%1'").arg(QString::fromUtf8(c.version))
                                             : QStringLiteral("Update Config Set mConfig=Null")));
        CloseDB();
        messages.clear();
        EXPECT_EQ(ConnectDB(path), c.opens);
        EXPECT_EQ(messages.size(), c.opens ? 0 : 1);
        CloseDB();
    }
}
