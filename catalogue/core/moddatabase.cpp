#include "moddatabase.h"

#include "frminputbox.h"
#include "modfiles.h"
#include "modglobals.h"
#include "modlang.h"
#include "modmain.h"
#include "platform/db/filecheck.h"
#include "platform/db/filekind.h"
#include "platform/gui/msgbox.h"
#include "platform/runtime/convert.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QRegularExpression>
#include <QScopeGuard>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace tv {

std::shared_ptr<Database> goDB;

const QByteArray kProgramKey = QByteArrayLiteral("Tovarin.Katalog.8bit");

namespace {

// The key the current (or last) catalogue was opened with, so that compaction keeps it.
QString gKeyPath;
QByteArray gKey;

DbError writeSchema(Database& db)
{
    for (const char* sql : kCatalogueSchema)
        if (DbError e = db.Execute(QString::fromLatin1(sql))) return e;
    auto rs = db.OpenRecordset(QStringLiteral("Select * From Config"), dbOpenDynaset, dbAppendOnly);
    if (!rs) return db.LastError();
    DbError e = rs->AddNew();
    if (!e) e = rs->Fields(QStringLiteral("tItem")).SetValue(Variant("Version"));
    if (!e) e = rs->Fields(QStringLiteral("mConfig")).SetValue(Variant("1.0"));
    if (!e) e = rs->Fields(QStringLiteral("tsCreated")).SetValue(Variant::fromDate(Now()));
    if (!e) e = rs->Update();
    rs->Close();
    return e;
}

// Adds the indexes an older catalogue lacks. They only speed up queries: a catalogue that
// cannot take them (a full disk) keeps working without them, so a failure is not reported.
void addMissingIndexes(Database& db)
{
    for (const char* sql : kAddedIndexes) db.Execute(QString::fromLatin1(sql));
}

// The columns of one CREATE TABLE text of the schema: the first word of each part.
QStringList schemaColumns(const QString& createTable)
{
    const qsizetype open = createTable.indexOf(QLatin1Char('('));
    QStringList columns;
    for (const QString& part : createTable.mid(open + 1, createTable.lastIndexOf(QLatin1Char(')')) - open - 1)
                                   .split(QLatin1Char(',')))
        columns << part.trimmed().section(QLatin1Char(' '), 0, 0);
    return columns;
}

// The parts of a version text ("1.10" gives 1 and 10), without leading zeros; empty when the
// text is no version (digits separated by single dots, nothing else).
QStringList versionParts(const QString& text)
{
    static const QRegularExpression version(QStringLiteral("^\\d+(\\.\\d+)*$"));
    if (!version.match(text).hasMatch()) return {};
    QStringList parts = text.split(QLatin1Char('.'));
    for (QString& p : parts) {
        qsizetype zeros = 0;
        while (zeros < p.size() - 1 && p[zeros] == QLatin1Char('0')) ++zeros;
        p.remove(0, zeros);
    }
    return parts;
}

// Files up to this size are checked before they open: the quick check reads every page, about
// a second for each 30 MB, and a larger catalogue would open that much later.
qint64 gForegroundCheckBytes = 8 * 1024 * 1024;

std::function<void(const QString&, const DbError&)> gDamageHandler;

QString damagedText(const QString& path, const QString& description)
{
    return Translate(QStringLiteral("Die Datenbank ist beschädigt: ")) + path + QStringLiteral("\r\n") + description;
}

// The files a compaction of `path` writes beside it: the new copy and the previous file kept.
// They replace the catalogue's extension; a name without one (a dot in a folder name is none)
// gets theirs added, so both stay beside the catalogue.
struct CompactionFiles {
    QString temp, kept;
};
CompactionFiles compactionFiles(const QString& path)
{
    const int dot = int(path.lastIndexOf(QLatin1Char('.')));
    const QString base = dot > path.lastIndexOf(QLatin1Char('/')) ? path.left(dot + 1) : path + QLatin1Char('.');
    return {base + QStringLiteral("MDR"), base + QStringLiteral("OLD")};
}

void showNotACatalogue(const QString& path, const DbError& e)
{
    MsgBox(Translate(QStringLiteral("Dies ist keine Tovarin-Datenbank: ")) + path + QStringLiteral("\r\n") + e.description,
           vbCritical, kAppTitle);
}

std::function<void(CompactStep)> gCompactStepHook;

void stepDone(CompactStep step)
{
    if (gCompactStepHook) gCompactStepHook(step);
}

QString fileError(const QString& path, const QString& reason) { return path + QStringLiteral(": ") + reason; }

// Removes a file left by an earlier run with the journal files the engine may have left
// beside it; empty text, or the reason it could not.
QString removeLeftover(const QString& path)
{
    for (const QString& name : {path, path + QStringLiteral("-journal"), path + QStringLiteral("-wal"), path + QStringLiteral("-shm")}) {
        QFile file(name);
        if (file.exists() && !file.remove()) return fileError(name, file.errorString());
    }
    return QString();
}

// Compacts the closed catalogue at `path` into "<base>.MDR" and gives it the catalogue's name,
// keeping the previous file as "<base>.OLD"; false after a message.
bool compactFile(const QString& path)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    auto fail = [](const QString& description) {
        QApplication::restoreOverrideCursor();
        MsgBox(FailureText(QStringLiteral("Fehler beim Komprimieren der Datenbank: "), description), vbOKOnly, kAppTitle);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        return false;
    };
    const auto [temp, kept] = compactionFiles(path);
    // Compaction switches the catalogue's journal and writes two files beside it: a file or a
    // folder that cannot be written is refused before anything is touched.
    if (!Database::MayWrite(path))
        return fail(Translate(QStringLiteral("Die Datenbank oder ihr Ordner kann nicht geschrieben werden: ")) + path);
    if (const QString error = removeLeftover(temp); !error.isEmpty()) return fail(error);
    // The key the catalogue was opened with; a catalogue not opened in this run gets the keys
    // that need no password.
    QList<QByteArray> keys = {kProgramKey, QByteArray()};
    if (gKeyPath == path) keys = {gKey};
    DbError e = MakeDbError(dbErrNeedsPassword);
    int used = 0;
    for (; used < keys.size(); ++used)
        if ((e = Database::Compact(path, temp, keys[used])).number != dbErrNeedsPassword) break;
    if (e) {
        removeLeftover(temp);
        return fail(e.description);
    }
    // The copy is still in its single-file journal, which writing the indexes keeps.
    if (auto copy = Database::Open(temp, keys[used], &e)) {
        addMissingIndexes(*copy);
        copy->Close();
    }
    stepDone(CompactStep::CopyWritten);
    const QString error = ReplaceKeepingOld(path, temp, kept);
    if (!error.isEmpty()) {
        removeLeftover(temp);
        return fail(error);
    }
    return true;
}

} // namespace

std::shared_ptr<Database> CreateCatalogue(const QString& path, const QByteArray& key, DbError* error)
{
    auto db = Database::Create(path, key, error);
    if (!db) return nullptr;
    *error = writeSchema(*db);
    if (*error) {
        db->Close();
        return nullptr;
    }
    return db;
}

QString CreateDB()
{
    const QString start = gtDBPath.isEmpty() ? gtAppPath : GetFolderPart(gtDBPath);
    const QString answer = ShowSaveDialog(QStringLiteral("Neue Datenbank erstellen"),
                                          Translate(QStringLiteral("Datenbank")) + QStringLiteral("|*.MDB"), start,
                                          QString());
    return CreateDBFile(answer);
}

QString CreateDBFile(const QString& answer)
{
    if (answer.isEmpty()) return QString();
    gtDialogPath = GetFolderPart(answer);
    QString path = answer;
    if (path.right(4).compare(QLatin1String(".MDB"), Qt::CaseInsensitive) != 0) path += QStringLiteral(".MDB");
    DbError e;
    auto db = CreateCatalogue(path, kProgramKey, &e);
    if (!db) {
        if (e.number == dbErrDatabaseExists)
            MsgBox(Translate(QStringLiteral("Der Datenbankname ist schon vorhanden!")), vbExclamation, QStringLiteral("Error"));
        else
            MsgBox(FailureText(QStringLiteral("Fehler beim Erstellen der Datenbank: "), e.description), vbCritical,
                   QStringLiteral("Error"));
        return QString();
    }
    db->Close();
    return path;
}

bool ConnectDB(const QString& path)
{
    // A file that is plainly no catalogue is refused before any key or password is tried.
    switch (ProbeDbFile(path)) {
    case DbFileKind::Access:
        MsgBox(Translate(QStringLiteral("Dies ist eine Access-Datenbank. Tovarin kann sie nicht öffnen: ")) + path,
               vbCritical, kAppTitle);
        return false;
    case DbFileKind::Other:
        showNotACatalogue(path, DbError{dbErrEngine, Translate(QStringLiteral("Unbekanntes Dateiformat"))});
        return false;
    case DbFileKind::MayBeCatalogue:
        break;
    }
    QByteArray key = kProgramKey;
    DbError e;
    // The catalogue being browsed reads its long lists beside the window.
    constexpr bool kReadInBackground = true;
    auto db = Database::Open(path, key, &e, kReadInBackground);
    if (!db && e.number == dbErrNeedsPassword) {
        key.clear();
        db = Database::Open(path, key, &e, kReadInBackground);
    }
    if (!db && e.number == dbErrNeedsPassword) {
        const QString password = InputText(Translate(QStringLiteral("Die Datenbank '")) + path
                                               + Translate(QStringLiteral("' ist Kennwortgeschützt. Bitte geben Sie das Kennwort ein:")),
                                           QStringLiteral("Tovarin"), QString());
        // An empty password is no key: the file was already tried without one.
        key = password.toUtf8();
        if (!key.isEmpty()) db = Database::Open(path, key, &e, kReadInBackground);
    }
    if (!db) {
        // The first page opened with a key, but not even the list of tables behind it reads.
        if (IsDamageError(e, false)) {
            MsgBox(damagedText(path, e.description), vbCritical, kAppTitle);
            return false;
        }
        showNotACatalogue(path, e);
        return false;
    }
    // Nothing is written to a catalogue until the engine's quick check of every page passed. A
    // large one is checked beside the window, which meanwhile reads it; a write waits for the
    // check, and damage it finds is reported as a failing statement's is. A file cut short
    // (a copy broken off, a full disk) is checked at once.
    const bool cutShort = !IsWholePages(path);
    const bool inBackground = !cutShort && QFileInfo(path).size() > gForegroundCheckBytes;
    if (!inBackground) db->CheckBeforeWriting();
    // Until every check passed nothing is written: a refused file is left as it was.
    auto refuse = [&](const DbError& error) {
        showNotACatalogue(path, error);
        db->Close();
        return false;
    };
    auto rs = db->OpenRecordset(QStringLiteral("Select * From Config where tItem='Version' order by ID desc"));
    const bool hasVersionRow = rs && !rs->IsEOF();
    const Variant version = hasVersionRow ? rs->Fields(QStringLiteral("mConfig")).Value() : Variant::null();
    if (rs) rs->Close();
    const int newer = hasVersionRow ? CompareVersions(version.text(), gtVersion) : 0;
    if (newer == 1) {
        MsgBox(Translate(QStringLiteral("Please update the Tovarin to run this database!")), vbCritical, kAppTitle);
        db->Close();
        return false;
    }
    const QStringList missing = MissingCatalogueParts(*db);
    if (!missing.isEmpty())
        return refuse(DbError{dbErrNoCurrentRecord,
                              Translate(QStringLiteral("Es fehlen Tabellen oder Spalten: ")) + missing.join(QStringLiteral(", "))});
    // A version row lost to damage is no sign of another kind of file.
    const bool damaged = db->IsDamaged();
    if (!hasVersionRow && !damaged) return refuse(MakeDbError(dbErrNoCurrentRecord));
    if (newer == 2)
        return refuse(DbError{dbErrNoCurrentRecord,
                              Translate(QStringLiteral("Ungültige Version: ")) + QLatin1Char('\'') + version.text() + QLatin1Char('\'')});
    removeLeftover(compactionFiles(path).temp);
    if (!damaged) {
        // Should the journal mode not switch, writes go on in the file's own journal mode.
        db->StartWriting();
        // A file cut short gets its indexes from the compaction offered below, not by more writes.
        if (!db->IsReadOnly() && !cutShort && !inBackground) addMissingIndexes(*db);
    }
    if (inBackground) {
        // The indexes wait for the check too; by then the catalogue may have been closed.
        std::weak_ptr<Database> checked = db;
        db->CheckBeforeWriting(true, [checked](const DbError& fault) {
            if (const auto current = checked.lock(); current && current == goDB && !fault && !current->IsReadOnly())
                addMissingIndexes(*current);
        });
    }
    CloseDB();
    goDB = db;
    gKeyPath = path;
    gKey = key;
    // Damage found later (by the check beside the window or a failing statement) gets the same
    // notice, once, when the event loop is back: the catalogue is read only from that moment.
    db->SetDamageHandler([path](const DbError& fault) {
        QTimer::singleShot(0, qApp, [path, fault] {
            if (!goDB || goDB->Name() != path) return;
            if (gDamageHandler) gDamageHandler(path, fault);
            else OfferToCompactDamaged(path, fault.description);
        });
    });

    const QString readableText = Translate(QStringLiteral("Die Datenbank ist beschädigt, ihre Zeilen sind aber lesbar: ")) + path;
    // A file that cannot be written is still browsed and started from; the user learns it once,
    // here, and the writes that fail later (a start's record among them) stay quiet.
    if (!Database::MayWrite(path) || (db->IsReadOnly() && !damaged)) {
        QString notice;
        if (damaged) notice = damagedText(path, db->Damage().description) + QStringLiteral("\r\n");
        else if (cutShort) notice = readableText + QStringLiteral("\r\n");
        MsgBox(notice + Translate(QStringLiteral("Die Datenbank kann nicht geschrieben werden und ist nur zum Lesen geöffnet: ")) + path,
               vbInformation, kAppTitle);
        return true;
    }
    if (!damaged && !cutShort) return true;
    // Compaction writes every readable row into a whole new file. It is offered once: a file
    // it could not mend opens as it is, for reading only when it is damaged.
    static bool compacting = false;
    const QString notice = damaged ? damagedText(path, db->Damage().description) : readableText;
    if (compacting) {
        MsgBox(notice, vbExclamation, kAppTitle);
        return true;
    }
    if (!(damaged ? OfferToCompactDamaged(path, db->Damage().description)
                  : MsgBox(notice + QStringLiteral("\r\n\r\n") + Translate(QStringLiteral("Soll sie jetzt komprimiert werden?")),
                           vbYesNo | vbExclamation, kAppTitle) == vbYes))
        return true;
    compacting = true;
    const auto done = qScopeGuard([] { compacting = false; });
    CloseDB();
    compactFile(path);
    return ConnectDB(path);
}

bool OfferToCompactDamaged(const QString& path, const QString& description)
{
    return MsgBox(damagedText(path, description) + QStringLiteral("\r\n\r\n")
                      + Translate(QStringLiteral("Soll sie jetzt komprimiert werden? Dabei kommen alle lesbaren Zeilen in eine neue "
                                                 "Datei; die bisherige bleibt als .OLD erhalten."))
                      + QStringLiteral("\r\n")
                      + Translate(QStringLiteral("Ohne Komprimieren wird sie nur zum Lesen geöffnet.")),
                  vbYesNo | vbExclamation, kAppTitle)
           == vbYes;
}

void SetCatalogueDamagedHandler(std::function<void(const QString&, const DbError&)> handler)
{
    gDamageHandler = std::move(handler);
}

void SetForegroundCheckLimit(qint64 bytes) { gForegroundCheckBytes = bytes; }

int CompareVersions(const QString& stored, const QString& program)
{
    const QStringList a = versionParts(stored);
    const QStringList b = versionParts(program);
    if (a.isEmpty() || b.isEmpty()) return 2;
    for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i) {
        const QString x = a.value(i, QStringLiteral("0"));
        const QString y = b.value(i, QStringLiteral("0"));
        // Without leading zeros a longer number is the larger one; equal lengths compare by digits.
        if (x.size() != y.size()) return x.size() > y.size() ? 1 : -1;
        if (const int c = x.compare(y)) return c > 0 ? 1 : -1;
    }
    return 0;
}

QStringList MissingCatalogueParts(Database& db)
{
    QStringList missing;
    for (const char* sql : kCatalogueSchema) {
        const QString text = QString::fromLatin1(sql);
        if (!text.startsWith(QLatin1String("CREATE TABLE "))) continue;
        const QString table = text.section(QLatin1Char(' '), 2, 2);
        auto rs = db.OpenRecordset(QStringLiteral("Select * From ") + table + QStringLiteral(" Where 1=0"),
                                   dbOpenSnapshot, dbForwardOnly);
        if (!rs) {
            missing << table;
            continue;
        }
        for (const QString& column : schemaColumns(text))
            if (!rs->HasField(column)) missing << table + QLatin1Char('.') + column;
        rs->Close();
    }
    return missing;
}

void CloseDB()
{
    if (!goDB) return;
    goDB->Close();
    goDB.reset();
}

bool CompactDB() { return compactFile(gtDBPath); }

void SetCompactStepHook(std::function<void(CompactStep)> hook) { gCompactStepHook = std::move(hook); }

QString ReplaceKeepingOld(const QString& path, const QString& replacement, const QString& kept)
{
    // The catalogue keeps its name throughout: the previous file gets its second name first (a
    // hard link, or a copy where the file system has none), then the replacement takes the name
    // in one rename. Whenever the program stops, the old or the new file has the name.
    QFile keptFile(kept);
    if (keptFile.exists() && !keptFile.remove()) return fileError(kept, keptFile.errorString());
    stepDone(CompactStep::OldRemoved);
    if (::link(QFile::encodeName(path).constData(), QFile::encodeName(kept).constData()) != 0) {
        const QString linkError = qt_error_string(errno);
        QFile current(path);
        if (!current.copy(kept)) {
            QFile::remove(kept);   // a copy broken off
            return fileError(kept, linkError);
        }
    }
    stepDone(CompactStep::OldKept);
    if (::rename(QFile::encodeName(replacement).constData(), QFile::encodeName(path).constData()) != 0) {
        const QString reason = fileError(path, qt_error_string(errno));
        QFile::remove(kept);   // the previous file still has its own name
        return reason;
    }
    stepDone(CompactStep::Replaced);
    return QString();
}

QString LookupField(const QString& expression, const QString& table, QString& whereText)
{
    if (!whereText.isEmpty() && !whereText.trimmed().startsWith(QLatin1String("where"), Qt::CaseInsensitive))
        whereText = QStringLiteral("where ") + whereText;
    if (!goDB) return QString();
    auto rs = goDB->OpenRecordset(QStringLiteral("Select ") + expression + QStringLiteral(" As FldValue From ") + table
                                      + QLatin1Char(' ') + whereText,
                                  dbOpenSnapshot, dbForwardOnly);
    if (!rs || rs->IsEOF()) return QString();
    const QString value = rs->Fields(QStringLiteral("FldValue")).Value().text();
    rs->Close();
    return value;
}

QString AddWhere(const QString& whereText, const QString& condition, QString& op)
{
    if (condition.isEmpty()) return whereText;
    if (op.isEmpty()) op = QStringLiteral("And");
    if (whereText.isEmpty()) return QStringLiteral(" where ") + condition;
    if (whereText.endsWith(QLatin1Char('('))) op.clear();
    return whereText + QLatin1Char(' ') + op + QLatin1Char(' ') + condition;
}

QString LikeText(const QString& text, bool literalStar)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('?') || c == QLatin1Char('#') || c == QLatin1Char('[')
            || (literalStar && c == QLatin1Char('*')))
            out += QLatin1Char('[') + c + QLatin1Char(']');
        else
            out += c;
    }
    return out;
}

QString GetLikeClause(const QString& fieldText, const QString& searchText)
{
    if (searchText.isEmpty()) return QString();
    const QString literal = LikeText(searchText);
    if (literal.contains(QLatin1Char('*'))) return fieldText + QLatin1Char('\'') + literal + QLatin1Char('\'');
    return fieldText + QStringLiteral("'*") + literal + QStringLiteral("*'");
}

} // namespace tv
