// Imports a generated folder of 10,000 files (every type; 1,000 of them inside 100 ZIP
// archives, every fifth archive holding a nested ZIP) into a new catalogue, and compares
// the time with its reference: plain 7za runs over the same archives, one after the other
// (each outer archive, then its nested one from the unpacked copy), plus the same rows
// inserted straight through the engine's C interface into the same schema in one
// transaction. Each of five runs times the import and then its reference, so that both see
// the machine in the same state; the ratio is taken per run, and its median is printed with
// its spread (the lowest and the highest of the five), as are the times.

#include "catalogue/core/modglobals.h"
#include "catalogue/core/modmain.h"
#include "catalogue/import/clsfilemanager.h"
#include "catalogue/import/filetype.h"
#include "catalogue/import/frmprocess.h"
#include "catalogue/import/unpacker.h"
#include "platform/db/backgroundreads.h"
#include "platform/gui/msgbox.h"
#include "platform/system/files.h"
#include "platform/system/process.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

constexpr int kPlainFiles = 9000;
constexpr int kArchives = 100;
constexpr int kFilesPerArchive = 10;
constexpr int kRuns = 5;

const char* const kExtensions[] = {"ATR", "COM", "EXE", "CAS", "PRO", "DCM", "BAS", "XFD", "BIN", "ROM",
                                   "XEX", "TXT", "NFO", "DIZ", "PDF", "BMP", "GIF", "JPG", "PNG", "TIFF"};

struct Row {
    QString name, path, chain;
    int type;
    qint64 size;
};

struct BenchFiles {
    QString root;
    std::vector<QString> archives;                   // outer archives
    std::vector<std::pair<int, QString>> nested;     // archive index, nested member name
    std::vector<Row> rows;                           // what the import catalogues
};

QByteArray Content(int n, const char* ext)
{
    QByteArray data(200 + (n * 37) % 1800, char('a' + n % 26));
    if (qstrcmp(ext, "ATR") == 0) {
        data[0] = char(0x96);
        data[1] = char(0x02);
    }
    return data;
}

QString WriteOne(const QString& folder, int n)
{
    const char* ext = kExtensions[n % std::size(kExtensions)];
    const QString name = QStringLiteral("F%1.%2").arg(n, 5, 10, QLatin1Char('0')).arg(QLatin1String(ext));
    QDir().mkpath(folder);
    QFile f(folder + QLatin1Char('/') + name);
    if (!f.open(QIODevice::WriteOnly)) std::abort();
    f.write(Content(n, ext));
    return name;
}

bool Zip(const QString& archive, const QString& folder)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(QStringLiteral("zip"), {QStringLiteral("-q"), QStringLiteral("-r"), archive, QStringLiteral(".")});
    return p.waitForFinished(60000) && p.exitCode() == 0;
}

BenchFiles Generate(const QString& root)
{
    BenchFiles c;
    c.root = root + QStringLiteral("/files");
    int n = 0;
    for (; n < kPlainFiles; ++n) {
        const QString folder = c.root + QStringLiteral("/D%1").arg(n / 300);
        const QString name = WriteOne(folder, n);
        const char* ext = kExtensions[n % std::size(kExtensions)];
        c.rows.push_back({name, folder + '/' + name, QString(), tv::FileTypeOfExtension(QLatin1String(ext)),
                          Content(n, ext).size()});
    }
    for (int a = 0; a < kArchives; ++a) {
        const QString src = root + QStringLiteral("/src%1").arg(a);
        const bool nested = a % 5 == 0;
        const QString archive = c.root + QStringLiteral("/Z/Z%1.ZIP").arg(a, 3, 10, QLatin1Char('0'));
        QDir().mkpath(c.root + QStringLiteral("/Z"));
        for (int i = 0; i < kFilesPerArchive; ++i, ++n) {
            const bool inner = nested && i >= kFilesPerArchive / 2;
            const QString name = WriteOne(src + (inner ? QStringLiteral("/in") : QString()), n);
            const char* ext = kExtensions[n % std::size(kExtensions)];
            c.rows.push_back({name, archive, (inner ? QStringLiteral("NEST.ZIP\\") : QString()) + name,
                              tv::FileTypeOfExtension(QLatin1String(ext)), Content(n, ext).size()});
        }
        if (nested) {
            if (!Zip(src + QStringLiteral("/NEST.ZIP"), src + QStringLiteral("/in"))) std::abort();
            QDir(src + QStringLiteral("/in")).removeRecursively();
            c.nested.push_back({a, QStringLiteral("NEST.ZIP")});
        }
        if (!Zip(archive, src)) std::abort();
        c.archives.push_back(archive);
    }
    return c;
}

// Processor seconds of this process (`who` RUSAGE_SELF) or of its finished children
// (RUSAGE_CHILDREN): the import's own work apart from the unpacker's.
double CpuSeconds(int who)
{
    rusage u{};
    getrusage(who, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Plain 7za runs: every outer archive, then every nested one from the unpacked copy.
double Time7za(const BenchFiles& c, const QString& scratch)
{
    QElapsedTimer t;
    t.start();
    for (size_t i = 0; i < c.archives.size(); ++i) {
        const QString dest = scratch + QStringLiteral("/R%1").arg(i);
        QDir().mkpath(dest);
        tv::UnpackCommand cmd = tv::MakeUnpackCommand(c.archives[i], QString(), dest);
        if (tv::RunUnpacker(cmd, dest, 600000) != tv::UnpackRun::Done) std::abort();
        for (const auto& [index, member] : c.nested)
            if (size_t(index) == i) {
                const QString inner = dest + QStringLiteral("/N");
                QDir().mkpath(inner);
                cmd = tv::MakeUnpackCommand(dest + '/' + member, QString(), inner);
                if (tv::RunUnpacker(cmd, inner, 600000) != tv::UnpackRun::Done) std::abort();
            }
    }
    return t.elapsed() / 1000.0;
}

} // namespace

#include "catalogue/core/moddatabase.h"

#include <sqlite3.h>
// SQLite's own SQLITE_TRANSIENT macro is an old-style cast; the same value, spelled for C++.
static const sqlite3_destructor_type kSqliteTransient =
    reinterpret_cast<sqlite3_destructor_type>(static_cast<intptr_t>(-1));

namespace {

const QByteArray kBenchKey("import-bench-key");

// A program folder with the unpacker and a new, open catalogue.
void NewCatalogue(const QString& appFolder)
{
    tv::InitProgramPaths(appFolder);
    tv::InitProgramValues();
    QDir().mkpath(tv::gtTempPath);
    QDir().mkpath(tv::gtToolsPath);
    QFile::link(QStringLiteral("/usr/bin/7za"), tv::gtToolsPath + QStringLiteral("7za"));
    tv::DbError error;
    tv::goDB = tv::CreateCatalogue(appFolder + QStringLiteral("/Bench.MDB"), kBenchKey, &error);
    if (!tv::goDB) std::abort();
    // As the program reads the catalogue it shows: long reads beside the window.
    tv::UseBackgroundReads();
    tv::goDB->SetReadInBackground(true);
}

// The engine's import of the whole folder into a new catalogue, as the add-folder job
// drives it: every file through LoadFile with the import-list flag.
double TimeImport(const BenchFiles& c, const QString& appFolder)
{
    NewCatalogue(appFolder);
    tv::clsFileManager fm;
    int added = 0;
    QObject::connect(&fm, &tv::clsFileManager::ShowMessage, [&added](const QString&, int type) {
        if (type > 0) ++added;
    });
    // As the job window runs it: its lookups stay on the catalogue's connection.
    const tv::ReadsWhereAsked lookups;
    QElapsedTimer t;
    t.start();
    fm.InitCount();
    fm.InitSearch();
    // As the add-folder job walks: a folder's archives are handed to the unpackers ahead of
    // its files.
    const std::function<void(const QString&)> addFolder = [&](const QString& folder) {
        std::vector<tv::FolderEntry> entries;
        tv::ListFolder(folder, entries);
        const tv::UnpackAhead::Group ahead = fm.UnpackAheadOf(entries, false, QString(), 1);
        for (const tv::FolderEntry& e : entries) {
            if (e.isFolder) addFolder(e.path);
            else if (!e.isLink) fm.LoadFile(e.name, e.path, 1, QString(), false, 0);
        }
    };
    addFolder(c.root);
    fm.CommitBatch();
    fm.CountFiles();
    const double seconds = t.elapsed() / 1000.0;
    tv::CloseDB();
    if (added != int(c.rows.size()) || fm.FileCount != int(c.rows.size())) {
        std::fprintf(stderr, "import catalogued %d of %d files\n", fm.FileCount, int(c.rows.size()));
        std::abort();
    }
    return seconds;
}

// The same rows written straight into the same schema in one transaction, with the pragmas
// the catalogue uses.
double TimeRawInserts(const BenchFiles& c, const QString& file)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(file.toUtf8().constData(), &db) != SQLITE_OK) std::abort();
    sqlite3_key(db, kBenchKey.constData(), int(kBenchKey.size()));
    sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    for (const char* ddl : tv::kCatalogueSchema) {
        const std::string plain = QString::fromUtf8(ddl).remove(QStringLiteral(" COLLATE TVTEXT")).toStdString();
        if (sqlite3_exec(db, plain.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) std::abort();
    }
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO MainFiles (ID, tFile, tPath, iFileType, lSize, tsCreated, tUnpackPath)"
                       " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)",
                       -1, &insert, nullptr);
    QElapsedTimer t;
    t.start();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    int id = 0;
    for (const Row& r : c.rows) {
        const QByteArray name = r.name.toUtf8(), path = r.path.toUtf8(), chain = r.chain.toUtf8();
        sqlite3_bind_int(insert, 1, ++id);
        sqlite3_bind_text(insert, 2, name.constData(), int(name.size()), kSqliteTransient);
        sqlite3_bind_text(insert, 3, path.constData(), int(path.size()), kSqliteTransient);
        sqlite3_bind_int(insert, 4, r.type);
        sqlite3_bind_int64(insert, 5, r.size);
        sqlite3_bind_double(insert, 6, 46000.5);
        if (chain.isEmpty()) sqlite3_bind_null(insert, 7);
        else sqlite3_bind_text(insert, 7, chain.constData(), int(chain.size()), kSqliteTransient);
        if (sqlite3_step(insert) != SQLITE_DONE) std::abort();
        sqlite3_reset(insert);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    const double seconds = t.elapsed() / 1000.0;
    sqlite3_finalize(insert);
    sqlite3_close(db);
    return seconds;
}

// What the user waits for: the add-folder job in its window, shown, with its list of added
// files and its running count.
double TimeJobWindow(const BenchFiles& c, const QString& appFolder)
{
    NewCatalogue(appFolder);
    tv::clsFileManager fm;
    fm.InitCount();
    tv::frmProcess job;
    job.Action = tv::frmProcess::actAddFolder;
    job.StartPath = c.root;
    job.mFileManager = &fm;
    job.Form_Load();
    job.show();
    QElapsedTimer t;
    t.start();
    job.Form_Activate();
    const double seconds = t.elapsed() / 1000.0;
    job.hide();
    tv::CloseDB();
    if (fm.FileCount != int(c.rows.size())) {
        std::fprintf(stderr, "the job catalogued %d of %d files\n", fm.FileCount, int(c.rows.size()));
        std::abort();
    }
    return seconds;
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    tv::SetMsgBoxHook([](const QString& prompt, int, const QString&) {
        std::fprintf(stderr, "message box: %s\n", qPrintable(prompt));
        return 6;
    });
    QTemporaryDir work;
    const BenchFiles c = Generate(work.path());
    std::vector<double> import, unpack, inserts, importSelf, importChildren, unpackChildren;
    for (int run = 0; run < kRuns; ++run) {
        const QString dir = work.path() + QStringLiteral("/run%1").arg(run);
        const double self = CpuSeconds(RUSAGE_SELF), children = CpuSeconds(RUSAGE_CHILDREN);
        import.push_back(TimeImport(c, dir + QStringLiteral("/app")));
        importSelf.push_back(CpuSeconds(RUSAGE_SELF) - self);
        importChildren.push_back(CpuSeconds(RUSAGE_CHILDREN) - children);
        const double before7za = CpuSeconds(RUSAGE_CHILDREN);
        unpack.push_back(Time7za(c, dir + QStringLiteral("/ref")));
        unpackChildren.push_back(CpuSeconds(RUSAGE_CHILDREN) - before7za);
        inserts.push_back(TimeRawInserts(c, dir + QStringLiteral("/raw.db")));
    }
    const double jobS = TimeJobWindow(c, work.path() + QStringLiteral("/job/app"));
    std::vector<double> ratios;
    for (int run = 0; run < kRuns; ++run) ratios.push_back(import[size_t(run)] / (unpack[size_t(run)] + inserts[size_t(run)]));
    // The median, then the lowest and the highest of the runs.
    const auto spread = [](const char* kind, const char* name, const std::vector<double>& v, int decimals) {
        const auto [low, high] = std::minmax_element(v.begin(), v.end());
        std::printf("%s %s %.*f\n", kind, name, decimals, Median(v));
        std::printf("%s %s_lowest %.*f\n", kind, name, decimals, *low);
        std::printf("%s %s_highest %.*f\n", kind, name, decimals, *high);
    };
    spread("figure", "import_10000_files", import, 3);
    spread("figure", "import_reference_7za", unpack, 3);
    spread("figure", "import_reference_sqlite_inserts", inserts, 3);
    std::printf("figure import_cpu_program %.3f\n", Median(importSelf));
    std::printf("figure import_cpu_unpacker %.3f\n", Median(importChildren));
    std::printf("figure import_reference_cpu_7za %.3f\n", Median(unpackChildren));
    std::printf("figure import_job_window_10000_files %.3f\n", jobS);
    std::printf("rate import_files_per_second %.0f\n", double(c.rows.size()) / Median(import));
    spread("ratio", "import_vs_reference", ratios, 2);
    return 0;
}
