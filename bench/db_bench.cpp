// Benchmark of the catalogue database layer against the engine's own C interface.
//
// Builds a catalogue of 100,000 generated files (names, paths, archives, categories, start
// history) and times, as medians over repeated runs, what the program does most: opening the
// main file view, a name search, FindFirst, row windows for the grid, Requery, and 10,000
// single-file inserts as the import makes them. The reference runs the same translated SQL
// on a raw connection to the same file, reading every column of every row. Output lines:
//   figure <name> <median seconds>
//   ratio <name> <layer / reference>

#include "benchcatalogue.h"
#include "catalogue/core/moddatabase.h"
#include "platform/db/database.h"
#include "platform/db/engine.h"
#include "platform/db/jetfunctions.h"
#include "platform/db/jetsql.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace tv;

namespace {

constexpr int kFiles = 100000;
constexpr int kInserts = 10000;
const QByteArray kKey = QByteArrayLiteral("bench-key");

const QString kSelect = QStringLiteral(
    "iFileType AS iTyp,IIF(isNull(tUnpackpath),0,27) as IsArchiv,ucase(Right(tFile,3)) as [Filetyp],"
    "tFile as [Datei],lSize as [Größe],tPath as [Dateipfad],iModel as [Model],iOS as [OS],iBasic as [Basic],"
    "iVideo as [Video],tMemo as [Bemerkung],tUnpackpath as [Archivpfad],F.tsCreated as [Erstellt],"
    "lStartCount as [Zähler],C.tCategory as [Kategorie]");
// The main view with the category column: 16 columns over the join of files and categories.
const QString kMainView = QStringLiteral("SELECT F.ID,") + kSelect
                          + QStringLiteral(" From (MainFiles as F  Left Join Category as C on F.Category_ID=C.ID)");

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double timeRuns(int runs, const std::function<void()>& body)
{
    std::vector<double> seconds;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        body();
        seconds.push_back(double(t.nsecsElapsed()) / 1e9);
    }
    return median(seconds);
}

void report(const char* name, double layer, double reference)
{
    std::printf("figure %s %.6f\n", name, layer);
    std::printf("figure %s_reference %.6f\n", name, reference);
    std::printf("ratio %s %.3f\n", name, reference > 0 ? layer / reference : 0.0);
    std::fflush(stdout);
}

void check(const DbError& e, const char* what)
{
    if (!e) return;
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(e.description));
    std::exit(1);
}

// The raw reference: one connection of the same engine with the same functions.
class Raw {
public:
    explicit Raw(const QString& path)
    {
        sqlite3_open_v2(path.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_key(db_, kKey.constData(), int(kKey.size()));
        RegisterJetFunctions(db_);
        // The same syncing as the layer's connections, so that the insert figures compare.
        sqlite3_exec(db_, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    }
    ~Raw() { sqlite3_close(db_); }

    // Runs a Jet text translated once, reading every column of up to `limit` rows.
    long long run(const QString& jet, int limit = -1)
    {
        const QByteArray sql = TranslateJetSql(jet).sql.toUtf8();
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db_, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "raw: %s\n", sqlite3_errmsg(db_));
            std::exit(1);
        }
        long long touched = 0;
        const int columns = sqlite3_column_count(stmt);
        int rows = 0;
        while ((limit < 0 || rows < limit) && sqlite3_step(stmt) == SQLITE_ROW) {
            ++rows;
            for (int c = 0; c < columns; ++c) {
                switch (sqlite3_column_type(stmt, c)) {
                case SQLITE_INTEGER: touched += sqlite3_column_int64(stmt, c); break;
                case SQLITE_FLOAT: touched += static_cast<long long>(sqlite3_column_double(stmt, c)); break;
                case SQLITE_TEXT: sqlite3_column_text(stmt, c); touched += sqlite3_column_bytes(stmt, c); break;
                default: break;
                }
            }
        }
        sqlite3_finalize(stmt);
        return touched;
    }

    sqlite3* db_ = nullptr;
};

Variant orNull(const QString& s) { return s.isEmpty() ? Variant::null() : Variant(s); }

void buildCatalogue(Database& db)
{
    for (const char* sql : kCatalogueSchema) check(db.Execute(QString::fromLatin1(sql)), sql);
    for (int c = 1; c <= 20; ++c)
        check(db.Execute(QStringLiteral("Insert Into Category (ID, tCategory) Values (%1, 'Kategorie %1')").arg(c)),
              "category");
    auto insert = db.CreateQueryDef(QString(), QStringLiteral(
        "PARAMETERS pFile Text, pPath Text, pUnpack Text, pType Short, pSize Long, pCat Long, pCreated DateTime,"
        " pStarted DateTime, pCount Long; Insert Into MainFiles (tFile, tPath, tUnpackPath, iFileType, lSize,"
        " Category_ID, tsCreated, tsLastStarted, lStartCount) Values (pFile, pPath, pUnpack, pType, pSize, pCat,"
        " pCreated, pStarted, pCount)"));
    auto history = db.CreateQueryDef(QString(), QStringLiteral(
        "PARAMETERS pID Long, pStarted DateTime; Insert Into History (MainFiles_ID, tsStarted) Values (pID, pStarted)"));
    if (!insert || !history) check(db.LastError(), "query definitions");
    BenchFileGenerator g(20);
    check(db.Execute(QStringLiteral("BEGIN")), "begin");
    for (int n = 1; n <= kFiles; ++n) {
        const BenchFile f = n == kFiles ? BenchFile{QStringLiteral("Zzyzx Finale.atr"),
                                                                QStringLiteral("/home/atari/Z/Zzyzx Finale.atr"),
                                                                {}, 1, 92176, 1, 45000, 0, 0}
                                              : g.next(n);
        BindBenchFile(*insert, f);
        check(insert->Execute(), "insert");
        for (int s = 0; s < (f.count > 0 ? 3 : 0); ++s) {
            history->Parameters(0).Value = int32_t(n);
            history->Parameters(1).Value = Variant::fromDate(f.started - s * 1.3);
            check(history->Execute(), "history");
        }
    }
    check(db.Execute(QStringLiteral("COMMIT")), "commit");
}

// One file as the import adds it: duplicate check, then an append-only recordset.
void importOne(Database& db, const BenchFile& f, int id)
{
    QString path = f.path;
    path.replace(QLatin1Char('\''), QLatin1String("''"));
    auto dup = db.OpenRecordset(QStringLiteral("Select Top 1 ID From MainFiles where tPath='") + path
                                + QStringLiteral("'"), dbOpenSnapshot);
    if (!dup) check(db.LastError(), "duplicate check");
    auto rs = db.OpenRecordset(QStringLiteral("Select * From MainFiles"), dbOpenDynaset, dbAppendOnly);
    if (!rs) check(db.LastError(), "append");
    check(rs->AddNew(), "AddNew");
    rs->Fields(QStringLiteral("ID")).SetValue(int32_t(id));
    rs->Fields(QStringLiteral("tFile")).SetValue(f.name);
    rs->Fields(QStringLiteral("tPath")).SetValue(f.path);
    rs->Fields(QStringLiteral("tUnpackPath")).SetValue(orNull(f.unpack));
    rs->Fields(QStringLiteral("iFileType")).SetValue(int16_t(f.type));
    rs->Fields(QStringLiteral("lSize")).SetValue(int32_t(f.size));
    rs->Fields(QStringLiteral("iBasic")).SetValue(int16_t(0));
    rs->Fields(QStringLiteral("iModel")).SetValue(int16_t(0));
    rs->Fields(QStringLiteral("iOS")).SetValue(int16_t(0));
    rs->Fields(QStringLiteral("iVideo")).SetValue(int16_t(0));
    rs->Fields(QStringLiteral("tsCreated")).SetValue(Variant::fromDate(46365.5));
    check(rs->Update(), "Update");
    rs->Close();
}

void rawImportOne(sqlite3* db, sqlite3_stmt* insert, const BenchFile& f, int id)
{
    QString path = f.path;
    path.replace(QLatin1Char('\''), QLatin1String("''"));
    const QByteArray dupSql = (QStringLiteral("SELECT ID FROM MainFiles WHERE tPath='") + path
                               + QStringLiteral("' LIMIT 1")).toUtf8();
    sqlite3_stmt* dup = nullptr;
    sqlite3_prepare_v2(db, dupSql.constData(), -1, &dup, nullptr);
    sqlite3_step(dup);
    sqlite3_finalize(dup);
    const QByteArray name = f.name.toUtf8(), p = f.path.toUtf8(), unpack = f.unpack.toUtf8();
    sqlite3_bind_int(insert, 1, id);
    sqlite3_bind_text(insert, 2, name.constData(), int(name.size()), kSqliteTransient);
    sqlite3_bind_text(insert, 3, p.constData(), int(p.size()), kSqliteTransient);
    if (f.unpack.isEmpty()) sqlite3_bind_null(insert, 4);
    else sqlite3_bind_text(insert, 4, unpack.constData(), int(unpack.size()), kSqliteTransient);
    sqlite3_bind_int(insert, 5, f.type);
    sqlite3_bind_int(insert, 6, f.size);
    for (int i = 7; i <= 10; ++i) sqlite3_bind_int(insert, i, 0);
    sqlite3_bind_double(insert, 11, 46365.5);
    sqlite3_step(insert);
    sqlite3_reset(insert);
}

} // namespace

int main()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.MDB"));
    DbError e;
    auto db = Database::Create(path, kKey, &e);
    check(e, "create");
    QElapsedTimer build;
    build.start();
    buildCatalogue(*db);
    std::printf("figure build_catalogue %.6f\n", double(build.nsecsElapsed()) / 1e9);
    Raw raw(path);
    const int runs = 7;

    std::shared_ptr<Recordset> rs;
    const double open = timeRuns(runs, [&] {
        rs = db->OpenRecordset(kMainView);
        if (!rs) check(db->LastError(), "main view");
        rs->MoveLast();
    });
    report("main_view_open", open, timeRuns(runs, [&] { raw.run(kMainView); }));
    std::printf("figure main_view_rows %d\n", rs->RecordCount());

    const QString search = kMainView + QStringLiteral(" where F.tFile like'*dash*'");
    report("like_search", timeRuns(runs, [&] {
               auto found = db->OpenRecordset(search);
               if (!found) check(db->LastError(), "search");
           }),
           timeRuns(runs, [&] { raw.run(search); }));

    const QString criteria = QStringLiteral("[Datei] like 'zzyzx*'");
    report("find_first", timeRuns(runs, [&] {
               check(rs->FindFirst(criteria), "FindFirst");
               if (rs->NoMatch()) check(MakeDbError(dbErrNoCurrentRecord), "FindFirst found nothing");
           }),
           timeRuns(runs, [&] { raw.run(kMainView + QStringLiteral(" where F.tFile like 'zzyzx*'"), 1); }));

    const int window = 60;
    struct Place { const char* name; int position; };
    for (const Place& p : {Place{"get_rows_start", 0}, Place{"get_rows_middle", kFiles / 2},
                           Place{"get_rows_end", kFiles - window}}) {
        report(p.name, timeRuns(runs, [&] {
                   check(rs->SetAbsolutePosition(p.position), "AbsolutePosition");
                   rs->GetRows(window);
               }),
               timeRuns(runs, [&] {
                   raw.run(kMainView + QStringLiteral(" LIMIT %1 OFFSET %2").arg(window).arg(p.position));
               }));
    }

    report("requery", timeRuns(runs, [&] { check(rs->Requery(), "Requery"); }),
           timeRuns(runs, [&] { raw.run(kMainView); }));
    rs->Close();

    BenchFileGenerator g(20);
    std::vector<BenchFile> files;
    for (int i = 0; i < kInserts; ++i) files.push_back(g.next(kFiles + i));
    const double layerInserts = timeRuns(3, [&] {
        for (int i = 0; i < kInserts; ++i) importOne(*db, files[size_t(i)], kFiles + 1 + i);
        check(db->Execute(QStringLiteral("Delete * from MainFiles where ID > %1").arg(kFiles)), "cleanup");
    });
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(raw.db_,
                       "INSERT INTO MainFiles (ID, tFile, tPath, tUnpackPath, iFileType, lSize, iBasic, iModel, iOS,"
                       " iVideo, tsCreated) VALUES (?,?,?,?,?,?,?,?,?,?,?)",
                       -1, &insert, nullptr);
    const double rawInserts = timeRuns(3, [&] {
        for (int i = 0; i < kInserts; ++i) rawImportOne(raw.db_, insert, files[size_t(i)], kFiles + 1 + i);
        sqlite3_exec(raw.db_, "DELETE FROM MainFiles WHERE ID > 100000", nullptr, nullptr, nullptr);
    });
    sqlite3_finalize(insert);
    report("import_10000_inserts", layerInserts, rawInserts);
    db->Close();
    return 0;
}
